// Drag and drop in the browser: notes dragged out as files, moved or copied within the tree,
// and files dropped in from the file manager.

#include "BrowserPaneSupport.h"
#include "browser/view/NoteOutlineView.h"

#include <QDropEvent>
#include <QMimeData>

namespace quillet::testing {
namespace {

class DragDropTest : public RowCommandsTest {
protected:
    std::unique_ptr<QMimeData> dragOf(const QString& relative) {
        return std::unique_ptr<QMimeData>(model()->mimeData({rowOf(relative)}));
    }
    bool canDrop(const QMimeData* data, const QModelIndex& target, Qt::DropAction action = Qt::MoveAction) {
        return model()->canDropMimeData(data, action, -1, 0, target);
    }
    bool drop(const QMimeData* data, Qt::DropAction action, int row, const QModelIndex& target) {
        return model()->dropMimeData(data, action, row, 0, target);
    }
    // Files outside the library, as the file manager drags them.
    std::unique_ptr<QMimeData> outsideFiles(const QStringList& names) {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString& name : names)
            urls << QUrl::fromLocalFile(outside.filePath(name));
        data->setUrls(urls);
        return data;
    }

    QTemporaryDir outside;
};

TEST_F(DragDropTest, ANoteIsDraggedOutAsItsFileAndItsTextReadWhenAsked) {
    const auto data = dragOf("Note.md");
    ASSERT_TRUE(data);
    EXPECT_EQ(data->urls(), QList<QUrl>{QUrl::fromLocalFile(at("Note.md"))});
    EXPECT_TRUE(data->hasText());
    EXPECT_EQ(browser->noteTree().draggingSourceItems(), FileRepList{record("Note.md")});
    write("Note.md", "changed after the drag began\n");
    EXPECT_EQ(data->text(), "changed after the drag began\n");

    // Folders and tops alone start no drag; other applications are offered a copy only.
    EXPECT_FALSE(dragOf("Folder"));
    EXPECT_FALSE(model()->mimeData({top()}));
    EXPECT_EQ(model()->supportedDragActions(), Qt::CopyAction);
}

TEST_F(DragDropTest, NotesMoveWithinTheTreeOrCopyWithTheCopyModifier) {
    const auto data = dragOf("Note.md");
    EXPECT_FALSE(canDrop(data.get(), rowOf("Other.md")));
    EXPECT_FALSE(drop(data.get(), Qt::MoveAction, -1, rowOf("Other.md")));
    EXPECT_TRUE(canDrop(data.get(), rowOf("Folder")));
    // Its own folder takes a copy, not a move (the root stands for "On This Computer").
    EXPECT_FALSE(canDrop(data.get(), top()));
    EXPECT_FALSE(canDrop(data.get(), QModelIndex()));
    EXPECT_TRUE(canDrop(data.get(), top(), Qt::CopyAction));

    EXPECT_TRUE(drop(data.get(), Qt::MoveAction, -1, rowOf("Folder")));
    EXPECT_TRUE(drop(data.get(), Qt::CopyAction, 2, top()));
    view()->expand(rowOf("Folder"));
    const auto inner = dragOf("Folder/Inner.md");
    EXPECT_TRUE(drop(inner.get(), Qt::MoveAction, 1, QModelIndex()));
    EXPECT_EQ(commands.takeCalls(), (Calls{"move Note to Folder at 0 deleting", "copy Note.md to On This Computer at 2 open",
                                           "move Inner to On This Computer at 0 deleting"}));

    EXPECT_EQ(NoteOutlineView::dropActionFor(true, Qt::ControlModifier), Qt::CopyAction);
    EXPECT_EQ(NoteOutlineView::dropActionFor(true, Qt::NoModifier), Qt::MoveAction);
    EXPECT_EQ(NoteOutlineView::dropActionFor(false, Qt::NoModifier), Qt::CopyAction);
}

TEST_F(DragDropTest, TheFirstNoteStyleSheetOrScriptFromOutsideIsCopiedIn) {
    writeFile(outside.filePath("picture.png"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 12));
    QDir(outside.path()).mkdir("Folder.md");
    writeFile(outside.filePath("readme.md"), "# readme\n");
    writeFile(outside.filePath("plain.txt"), "plain\n");
    writeFile(outside.filePath("style.css"), "p {}\n");
    writeFile(outside.filePath("tool.py"), "pass\n");

    const auto nothingTaken = outsideFiles({"picture.png", "Folder.md", "missing.md"});
    EXPECT_FALSE(canDrop(nothingTaken.get(), rowOf("Folder"), Qt::CopyAction));
    EXPECT_FALSE(drop(nothingTaken.get(), Qt::CopyAction, 0, rowOf("Folder")));

    const auto mixed = outsideFiles({"picture.png", "Folder.md", "readme.md", "plain.txt"});
    EXPECT_FALSE(canDrop(mixed.get(), rowOf("Note.md"), Qt::CopyAction));
    ASSERT_TRUE(canDrop(mixed.get(), rowOf("Folder"), Qt::CopyAction));
    EXPECT_TRUE(drop(mixed.get(), Qt::CopyAction, 1, rowOf("Folder")));
    for (const char* name : {"plain.txt", "style.css", "tool.py"})
        EXPECT_TRUE(drop(outsideFiles({name}).get(), Qt::CopyAction, -1, top()));
    EXPECT_EQ(commands.takeCalls(), (Calls{"copy readme.md to Folder at 1 open", "copy plain.txt to On This Computer at -1 open",
                                           "copy style.css to On This Computer at -1 open",
                                           "copy tool.py to On This Computer at -1 open"}));

    // The copy's failure is the drop's.
    commands.copySucceeds = false;
    EXPECT_FALSE(drop(mixed.get(), Qt::CopyAction, 0, rowOf("Folder")));
}

TEST_F(DragDropTest, AFileDroppedOnAFolderRowIsCopiedEvenWhenTheFileManagerProposesAMove) {
    writeFile(outside.filePath("readme.md"), "# readme\n");
    const auto data = outsideFiles({"readme.md"});
    const QPoint at = view()->visualRect(rowOf("Folder")).center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, offered, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view()->viewport(), &enter);
    QDragMoveEvent move(at, offered, data.get(), Qt::LeftButton, Qt::NoModifier);
    move.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(view()->viewport(), &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(move.dropAction(), Qt::CopyAction);
    QDropEvent dropped(QPointF(at), offered, data.get(), Qt::LeftButton, Qt::NoModifier);
    dropped.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(view()->viewport(), &dropped);
    EXPECT_EQ(dropped.dropAction(), Qt::CopyAction);
    EXPECT_EQ(commands.takeCalls(), Calls{"copy readme.md to Folder at -1 open"});
}

} // namespace
} // namespace quillet::testing
