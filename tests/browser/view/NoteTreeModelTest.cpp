// What the model tells about each row: names, pictures and their sides, date lines, and the tops.

#include "BrowserPaneSupport.h"
#include "browser/view/DateConvert.h"

#include <QFileIconProvider>

namespace quillet::testing {
namespace {

QImage pictureOf(const QModelIndex& index) {
    return index.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
}
QImage providerPicture(QAbstractFileIconProvider::IconType type) {
    return QFileIconProvider().icon(type).pixmap(16).toImage();
}

TEST_F(BrowserPaneTest, EntriesShowNamesPicturesAndDateLines) {
    const FileRep beta = record(QStringLiteral("Beta.md"));
    const QModelIndex row = rowOf(QStringLiteral("Beta.md"));
    EXPECT_EQ(row.data(NoteTreeModel::IconSizeRole).toInt(), 38);
    EXPECT_EQ(rowOf(QStringLiteral("Folder")).data(NoteTreeModel::IconSizeRole).toInt(), 21);
    EXPECT_EQ(pictureOf(rowOf(QStringLiteral("Folder"))), providerPicture(QAbstractFileIconProvider::Folder));
    EXPECT_EQ(row.data(NoteTreeModel::DetailTextRole).toString(), dateConvert(*beta->lastModified));
    EXPECT_EQ(row.data(Qt::SizeHintRole).toSize().height(), 34);

    beta->UTI = QStringLiteral("public.css");
    EXPECT_EQ(row.data(NoteTreeModel::IconSizeRole).toInt(), 28);
    beta->UTI = QStringLiteral("public.python-script");
    EXPECT_EQ(row.data(NoteTreeModel::IconSizeRole).toInt(), 28);

    // A note not yet downloaded, a note without a date, a note without a display name.
    beta->downloaded = false;
    EXPECT_EQ(row.data(NoteTreeModel::DetailTextRole).toString(), QStringLiteral("Downloading..."));
    beta->lastModified.reset();
    EXPECT_FALSE(row.data(NoteTreeModel::DetailTextRole).isValid());
    beta->displayName = QString();
    beta->filename = QStringLiteral("file name");
    EXPECT_EQ(row.data().toString(), QStringLiteral("file name"));
}

TEST_F(BrowserPaneTest, TopsComeInOrderWithTheirPictures) {
    write(QStringLiteral("../Opened/Note.md"), "x\n", 100);
    auto cloud = FileRepresentation::forPath(dir.filePath(QStringLiteral("Cloud")));
    cloud->displayName = QStringLiteral("iCloud");
    cloud->top = cloud->directory = cloud->iCloud = true;
    cloud->children.emplace();
    browser->noteTree().setICloudTop(cloud);
    browser->noteTree().setLocalFolderURL(QUrl::fromLocalFile(dir.filePath(QStringLiteral("Opened"))));

    ASSERT_NE(providerPicture(QAbstractFileIconProvider::Network),
              providerPicture(QAbstractFileIconProvider::Folder));
    ASSERT_EQ(model()->rowCount(), 3);
    EXPECT_EQ(model()->index(0, 0).data().toString(), QStringLiteral("iCloud"));
    EXPECT_EQ(model()->index(1, 0).data().toString(), QStringLiteral("Opened"));
    EXPECT_EQ(model()->index(2, 0).data().toString(), QStringLiteral("On My Mac"));
    EXPECT_EQ(pictureOf(model()->index(0, 0)), providerPicture(QAbstractFileIconProvider::Network));
    EXPECT_EQ(pictureOf(model()->index(1, 0)), providerPicture(QAbstractFileIconProvider::Network));
    EXPECT_EQ(pictureOf(model()->index(2, 0)), providerPicture(QAbstractFileIconProvider::Folder));
    EXPECT_TRUE(view()->isExpanded(model()->index(2, 0))); // kept over the reload

    // Half a second later the opened folder's first note is selected and opened.
    dispatcher.advance(platform::seconds(0.5));
    EXPECT_EQ(selectedName(), "Note");
    EXPECT_EQ(host.takeCalls(), Calls{"open Note"});
}

} // namespace
} // namespace quillet::testing
