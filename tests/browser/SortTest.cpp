#include "BrowserTestSupport.h"
#include "browser/NoteTree.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using testing::namesOf;
using testing::record;

TEST(Sorting, NameOrderIsPlainComparisonWithCapitalsFirst) {
    FileRepList list = {record("/t/z", "Zeta", 1), record("/t/a", "alpha", 2), record("/t/b", "Beta", 3),
                        record("/t/b2", "Beta", 9)};
    sortChildren(list, pickedSortDescriptors(kSortModeName));
    EXPECT_EQ(namesOf(list), (QStringList{"Beta", "Beta", "Zeta", "alpha"}));
    EXPECT_EQ(list[0]->path(), QStringLiteral("/t/b2")); // equal names: newest first
}

TEST(Sorting, DateOrderIsNewestFirstThenByName) {
    FileRepList list = {record("/t/1", "b", 5), record("/t/2", "c", 7), record("/t/3", "a", 5)};
    sortChildren(list, pickedSortDescriptors(kSortModeDate));
    EXPECT_EQ(namesOf(list), (QStringList{"c", "a", "b"}));
    EXPECT_TRUE(pickedSortDescriptors(QStringLiteral("Size")).empty());
    EXPECT_EQ(enumerationSortDescriptors(QStringLiteral("Size")), enumerationSortDescriptors(kSortModeDate));
}

TEST(Sorting, OnlyTwoLevelsAreSorted) {
    FileRep folder = record("/t/f", "f", 1, true);
    FileRep inner = record("/t/f/g", "g", 1, true);
    inner->children = FileRepList{record("/t/f/g/z", "z", 1), record("/t/f/g/a", "a", 1)};
    folder->children = FileRepList{record("/t/f/y", "y", 1), inner, record("/t/f/b", "b", 1)};
    FileRepList list = {record("/t/x", "x", 1), folder};
    sortChildren(list, pickedSortDescriptors(kSortModeName));
    EXPECT_EQ(namesOf(list), (QStringList{"f", "x"}));
    EXPECT_EQ(namesOf(*folder->children), (QStringList{"b", "g", "y"}));
    EXPECT_EQ(namesOf(*inner->children), (QStringList{"z", "a"}));
}

class SortMenuTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    platform::UserDefaults defaults{dir.filePath("defaults.ini")};
    platform::ManualDispatcher dispatcher;
    testing::RecordingView view;
};

TEST_F(SortMenuTest, PickingAModeSortsEveryTopAndRemembersIt) {
    NoteTree tree(defaults, dispatcher);
    EXPECT_EQ(tree.sortMode(), kSortModeDate); // nothing stored yet
    tree.setView(&view);
    const FileRep cloud =
        testing::top("/cloud", "iCloud", {record("/cloud/b", "b", 1), record("/cloud/a", "a", 2)});
    tree.setICloudTop(cloud);
    tree.setLocalContainer(QUrl::fromLocalFile(dir.path()));
    tree.queryLocalTop();
    tree.localTop()->children = FileRepList{record("/l/Zeta", "Zeta", 1), record("/l/alpha", "alpha", 2),
                                            record("/l/Beta", "Beta", 3)};

    tree.sortMenuDidSelect(kSortModeName);
    EXPECT_EQ(namesOf(*tree.localTop()->children), (QStringList{"Beta", "Zeta", "alpha"}));
    EXPECT_EQ(namesOf(*cloud->children), (QStringList{"a", "b"}));
    EXPECT_EQ(view.calls.back(), "updateTable");
    EXPECT_EQ(defaults.string(platform::defaults_keys::kLastSortMode), kSortModeName);
    EXPECT_EQ(NoteTree(defaults, dispatcher).sortMode(), kSortModeName);

    tree.sortMenuDidSelect(kSortModeDate);
    EXPECT_EQ(namesOf(*tree.localTop()->children), (QStringList{"Beta", "alpha", "Zeta"}));

    view.calls.clear();
    tree.sortMenuDidSelect(QStringLiteral("Kind"));
    EXPECT_EQ(tree.sortMode(), kSortModeDate);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(defaults.string(platform::defaults_keys::kLastSortMode), kSortModeDate);
}

} // namespace
} // namespace quillet
