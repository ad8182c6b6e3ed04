// What the model tells about each row: the records newest first, names, date lines, and the tops
// in their order with their pictures.

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

TEST_F(BrowserPaneTest, EntriesAreTheRecordsWithTheirNamesAndDateLines) {
    EXPECT_EQ(namesUnder(top()), (QStringList{"Alpha", "Beta", "Folder"}));
    const FileRep beta = record("Beta.md");
    const QModelIndex row = rowOf("Beta.md");
    EXPECT_EQ(row.data(NoteTreeModel::DetailTextRole).toString(), dateConvert(*beta->lastModified));

    // A note not yet downloaded, a note without a date, a note without a display name.
    beta->downloaded = false;
    EXPECT_EQ(row.data(NoteTreeModel::DetailTextRole).toString(), "Downloading...");
    beta->lastModified.reset();
    EXPECT_FALSE(row.data(NoteTreeModel::DetailTextRole).isValid());
    beta->displayName = QString();
    beta->filename = "file name";
    EXPECT_EQ(row.data().toString(), "file name");
}

TEST_F(BrowserPaneTest, TopsComeInOrderWithTheirPictures) {
    write("../Opened/Note.md", "x\n", 100);
    auto cloud = testing::top(dir.filePath("Cloud"), "iCloud");
    cloud->iCloud = true;
    browser->noteTree().setICloudTop(cloud);
    browser->noteTree().setLocalFolderURL(QUrl::fromLocalFile(dir.filePath("Opened")));

    EXPECT_EQ(namesUnder({}), (QStringList{"iCloud", "Opened", "On This Computer"}));
    ASSERT_NE(providerPicture(QAbstractFileIconProvider::Network),
              providerPicture(QAbstractFileIconProvider::Folder));
    EXPECT_EQ(pictureOf(model()->index(0, 0)), providerPicture(QAbstractFileIconProvider::Network));
    EXPECT_EQ(pictureOf(model()->index(1, 0)), providerPicture(QAbstractFileIconProvider::Network));
    EXPECT_EQ(pictureOf(top()), providerPicture(QAbstractFileIconProvider::Folder));
    EXPECT_TRUE(view()->isExpanded(top())); // kept over the reload

    // Half a second later the opened folder's first note is selected and opened.
    dispatcher.advance(platform::seconds(0.5));
    EXPECT_EQ(selectedName(), "Note");
    EXPECT_EQ(host.takeCalls(), Calls{"open Note"});
}

} // namespace
} // namespace quillet::testing
