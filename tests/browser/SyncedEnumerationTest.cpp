#include "browser/SyncedEnumeration.h"

#include "BrowserTestSupport.h"
#include "platform/SyncFolderScan.h"
#include "platform/TypeIdentifiers.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using platform::SyncItem;
using testing::namesOf;

const QString kRoot = QStringLiteral("/sync/Documents");

SyncItem item(const QString& relative, bool folder = false, qint64 seconds = 100) {
    SyncItem result;
    result.path = kRoot + "/" + relative;
    result.isDirectory = folder;
    result.contentDate = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    if (relative.endsWith(".png")) result.typeIdentifier = "public.png";
    if (relative.endsWith(".css")) result.typeIdentifier = platform::kCssTypeIdentifier;
    return result;
}

class SyncedEnumerationTest : public ::testing::Test {
protected:
    // One pass over the items; true when it changed the tree.
    bool pass(const std::vector<SyncItem>& items) {
        mark += 1;
        top->seqNum = mark;
        SyncedEnumeration enumeration(items, "Name");
        enumeration.readDisplayNameInChildren = [this](FileRepList& children) {
            for (const FileRep& child : children)
                if (child->updated && !child->children) {
                    child->updated = false;
                    namesFetched << *child->relativePath;
                }
        };
        enumeration.lockedInStore = [this](const QString& key) { return lockedKeys.contains(key); };
        enumeration.enumerateMetadataItems(mark, 0, top);
        const bool removed = enumeration.deleteUnusedChild(mark, top);
        return enumeration.changed() || removed;
    }
    FileRep at(const QString& relative) { return NoteTreeLookup::find(top, kRoot + "/" + relative); }
    struct NoteTreeLookup {
        static FileRep find(const FileRep& from, const QString& path) {
            if (from->path() == path) return from;
            for (const FileRep& child : from->children.value_or(FileRepList()))
                if (FileRep found = find(child, path)) return found;
            return nullptr;
        }
    };

    FileRep top = makeSyncedTop(kRoot, "Synced");
    double mark = 0;
    QStringList namesFetched;
    QStringList lockedKeys;
};

TEST_F(SyncedEnumerationTest, BuildsTheSubtreeFromTheFlatListAndKeepsRecordsFromPassToPass) {
    // Intermediate folders without results of their own are made as well.
    ASSERT_TRUE(pass({item("a/b/n.md"), item("m.md"), item("picture.png"), item("style.css")}));
    EXPECT_EQ(namesOf(*top->children), QStringList({"a", "m", "style.css"}));
    EXPECT_EQ(namesOf(*at("a")->children), QStringList({"b"}));
    const FileRep note = at("a/b/n.md");
    ASSERT_TRUE(note);
    EXPECT_EQ(note->relativePath, QString("a/b/n.md"));
    EXPECT_EQ(at("a/b")->relativePath, QString("a/b"));
    EXPECT_TRUE(note->iCloud && at("a")->iCloud && at("a")->directory);
    EXPECT_EQ(note->UTI, QString(platform::kMarkdownTypeIdentifier));
    EXPECT_EQ(note->downloaded, true);
    EXPECT_TRUE(namesFetched.contains("a/b/n.md") && namesFetched.contains("m.md"));

    // Nothing new: no change, and the same records.
    namesFetched.clear();
    EXPECT_FALSE(
        pass({item("a", true), item("a/b", true), item("a/b/n.md"), item("m.md"), item("style.css")}));
    EXPECT_EQ(at("a/b/n.md"), note);
    EXPECT_TRUE(namesFetched.isEmpty());

    // A changed date fetches the name again; a removed note goes, its emptied folder stays.
    ASSERT_TRUE(pass({item("a", true), item("a/b", true), item("m.md", false, 200), item("style.css")}));
    EXPECT_EQ(namesFetched, QStringList({"m.md"}));
    EXPECT_EQ(at("a/b/n.md"), nullptr);
    ASSERT_TRUE(at("a/b"));
    EXPECT_FALSE(at("a/b")->hasChildren());
}

TEST_F(SyncedEnumerationTest, NotesBeingWrittenLockedOrJustAddedHereKeepTheirState) {
    SyncItem writing = item("w.md");
    writing.downloaded = false;
    SyncItem locked = item("l.md");
    locked.isImmutable = true;
    pass({item("k.md"), locked, writing});
    EXPECT_EQ(at("w.md")->downloaded, false);
    EXPECT_TRUE(at("l.md")->isImmutable && at("l.md")->isImmutableChanged);
    EXPECT_FALSE(at("k.md")->isImmutable);

    // Locked on another machine: the store says so before the file does. A note still being
    // written asks for its name at every pass until it has landed.
    lockedKeys << "k.md";
    namesFetched.clear();
    EXPECT_TRUE(pass({item("k.md"), item("l.md"), writing}));
    EXPECT_TRUE(at("k.md")->isImmutable);
    EXPECT_FALSE(at("l.md")->isImmutable);
    EXPECT_EQ(namesFetched, QStringList({"w.md"}));

    // A record an operation added after the scan stays while its file exists.
    QTemporaryDir disk;
    testing::writeFile(disk.path() + "/made.md");
    top->children->push_back(FileRepresentation::forPath(disk.path() + "/made.md"));
    top->children->push_back(FileRepresentation::forPath(disk.path() + "/gone.md"));
    pass({item("k.md")});
    EXPECT_EQ(namesOf(*top->children).size(), 2);
    EXPECT_TRUE(NoteTreeLookup::find(top, disk.path() + "/made.md"));
    EXPECT_FALSE(NoteTreeLookup::find(top, disk.path() + "/gone.md"));
}

} // namespace
} // namespace quillet
