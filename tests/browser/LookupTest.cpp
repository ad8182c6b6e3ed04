#include "BrowserTestSupport.h"
#include "browser/NoteTree.h"
#include "platform/Containers.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using testing::record;

QUrl url(const char* path) {
    return QUrl::fromLocalFile(QString::fromUtf8(path));
}

// A library by hand: "On This Computer" at /home/u/Docs, an opened folder at /work/Notes and, when
// asked for, a cloud top at /cloud.
class LookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.setLocalContainer(url("/home/u/Docs"));
        tree.queryLocalTop(); // a container that does not exist: an empty top
        local = tree.localTop();
        recipes = record("/home/u/Docs/Recipes", "Recipes", 4, true);
        bread = record("/home/u/Docs/Recipes/Bread.md", "Bread", 3);
        soup = record("/home/u/Docs/Recipes/Soup.md", "Soup", 2);
        recipes->children = FileRepList{bread, soup};
        diary = record("/home/u/Docs/Diary.md", "Diary", 1);
        local->children = FileRepList{recipes, diary};
    }
    void TearDown() override { platform::setUbiquityContainerPath(std::nullopt); }

    void addCloud(FileRepList children) {
        platform::setUbiquityContainerPath(QStringLiteral("/cloud"));
        cloud = testing::top("/cloud", "iCloud", std::move(children));
        cloud->iCloud = true;
        tree.setICloudTop(cloud);
    }

    QTemporaryDir dir;
    platform::UserDefaults defaults{dir.filePath("defaults.ini")};
    platform::ManualDispatcher dispatcher;
    NoteTree tree{defaults, dispatcher};
    FileRep local, recipes, bread, soup, diary, cloud;
};

TEST_F(LookupTest, RootsAndTops) {
    EXPECT_EQ(testing::namesOf(tree.roots()), QStringList{"On This Computer"});
    EXPECT_TRUE(local->top && local->directory && !local->iCloud && local->downloaded == true);
    addCloud({});
    tree.setLocalFolderURL(url("/work/Notes"));
    EXPECT_EQ(testing::namesOf(tree.roots()), (QStringList{"iCloud", "Notes", "On This Computer"}));

    EXPECT_EQ(tree.findTopFromFileURL(url("/home/u/Docs/Recipes/Bread.md")), local);
    EXPECT_EQ(tree.findTopFromFileURL(url("/work/Notes/a.md")), tree.localFolderTop());
    EXPECT_EQ(tree.findTopFromFileURL(url("/elsewhere/a.md")), tree.localFolderTop());
    EXPECT_EQ(tree.findTopFromFileURL(url("/home/u/Docs2/a.md")), tree.localFolderTop());
    EXPECT_EQ(tree.findTopFromFileURL(url("/cloud/Recipes/Bread.md")), cloud);
    tree.setLocalFolderURL(std::nullopt);
    EXPECT_EQ(tree.findTopFromFileURL(url("/elsewhere/a.md")), local);
    EXPECT_EQ(testing::namesOf(tree.roots()), (QStringList{"iCloud", "On This Computer"}));
}

TEST_F(LookupTest, FindRecordsAndParents) {
    EXPECT_EQ(tree.findFileRep(url("/home/u/Docs/Recipes/Soup.md")), soup);
    EXPECT_EQ(tree.findFileRep(url("/home/u/Docs/Recipes/")), recipes);
    EXPECT_EQ(tree.findFileRep(url("/home/u/Docs")), local);
    EXPECT_EQ(tree.findFileRep(url("/home/u/Docs/Missing.md")), nullptr);
    EXPECT_EQ(NoteTree::findFileRep(url("/home/u/Docs/Diary.md"), recipes), nullptr);
    EXPECT_EQ(NoteTree::findFileRep(QUrl(), local), nullptr);

    EXPECT_EQ(tree.findParentFileRep(url("/home/u/Docs/Recipes/Bread.md")), recipes);
    EXPECT_EQ(tree.findParentFileRep(url("/home/u/Docs/Diary.md")), local);
    EXPECT_EQ(tree.findParentFileRep(url("/home/u/Docs")), nullptr); // a top has no parent
    EXPECT_EQ(NoteTree::findParentFileRep(url("/"), local), nullptr);
}

TEST_F(LookupTest, FindItemComparesByValue) {
    EXPECT_EQ(NoteTree::findItem(soup, local), recipes);
    EXPECT_EQ(NoteTree::parentForItem(diary, local), local);

    FileRep twin = record("/home/u/Docs/Recipes/Soup.md", "Soup", 2);
    EXPECT_EQ(NoteTree::findItem(twin, local), recipes);
    twin->isImmutable = true; // one value differs: no longer the same record
    EXPECT_EQ(NoteTree::findItem(twin, local), nullptr);
    EXPECT_EQ(NoteTree::findItem(nullptr, local), nullptr);
    EXPECT_EQ(NoteTree::findItem(local, local), nullptr);
}

TEST(RecordValue, EveryKeyTakesPart) {
    FileRep a = record("/x/a.md", "a", 1);
    FileRep b = record("/x/a.md", "a", 1);
    EXPECT_TRUE(a->sameValueAs(*b));
    b->setHasSearchTarget(true);
    EXPECT_FALSE(a->sameValueAs(*b));
    a->setHasSearchTarget(true);
    a->setSearchResults(std::make_shared<SearchResults>(SearchResults{{{1, 2}, {0, 9}, {0, 9}, "fragment"}}));
    EXPECT_FALSE(a->sameValueAs(*b));
    b->setSearchResults(std::make_shared<SearchResults>(*a->searchResults()));
    EXPECT_TRUE(a->sameValueAs(*b));
    a->children.emplace();
    EXPECT_FALSE(a->sameValueAs(*b)); // an empty "children" is not an absent one
}

TEST_F(LookupTest, ASiblingIsAnEarlierNoteThenALaterOneThenOneFromTheTops) {
    FileRep pie = record("/home/u/Docs/Recipes/Pie.md", "Pie", 1);
    FileRep sub = record("/home/u/Docs/Recipes/Old", "Old", 1, true);
    recipes->children = FileRepList{bread, sub, soup, pie};
    EXPECT_EQ(tree.findSiblingFileRep(url("/home/u/Docs/Recipes/Pie.md")), soup);
    EXPECT_EQ(tree.findSiblingFileRep(url("/home/u/Docs/Recipes/Soup.md")), bread);
    EXPECT_EQ(tree.findSiblingFileRep(url("/home/u/Docs/Recipes/Bread.md")), soup); // scan from index 1

    recipes->children = FileRepList{sub, bread};
    EXPECT_EQ(tree.findSiblingFileRep(url("/home/u/Docs/Recipes/Bread.md")), diary);
    EXPECT_EQ(tree.findSiblingFileRep(url("/home/u/Docs/Gone.md")), diary); // not listed anywhere
    EXPECT_EQ(tree.findSiblingFileRep(url("/home/u/Docs/Diary.md")), nullptr);
    FileRep cloudNote = record("/cloud/Idea.md", "Idea", 1);
    addCloud({record("/cloud/Folder", "Folder", 1, true), cloudNote});
    EXPECT_EQ(tree.findSiblingFileRep(url("/home/u/Docs/Diary.md")), cloudNote);
    EXPECT_EQ(tree.findSiblingFileRep(url("/cloud/Idea.md")), diary);

    // Never from the opened folder.
    QTemporaryDir folder;
    testing::writeFile(folder.filePath("Other.md"));
    tree.setLocalFolderURL(QUrl::fromLocalFile(folder.path()));
    ASSERT_EQ(tree.localFolderTop()->children->size(), 1u);
    local->children = FileRepList{};
    tree.setICloudTop(nullptr);
    EXPECT_EQ(tree.findSiblingFileRep(QUrl::fromLocalFile(folder.filePath("Gone.md"))), nullptr);
}

} // namespace
} // namespace quillet
