#include "browser/PathComponents.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

const QStringList kNone = {QStringLiteral("<none>")};

QStringList delta(const char16_t* path, const char16_t* base) {
    return deltaPath(QStringView(path), QStringView(base)).value_or(kNone);
}

TEST(PathComponents, DeltaBelowABase) {
    EXPECT_EQ(delta(u"/a/b/c", u"/a"), (QStringList{"b", "c"}));
    EXPECT_EQ(delta(u"/a/b/c/", u"/a/"), (QStringList{"b", "c"}));
    EXPECT_EQ(delta(u"/a/b", u"/a/b"), QStringList());
    EXPECT_EQ(delta(u"Recipes/Bread.md", u"Recipes"), (QStringList{"Bread.md"}));
    EXPECT_EQ(delta(u"/a/b/c", u"/x"), kNone);
    EXPECT_EQ(delta(u"/a/bc/d", u"/a/b"), kNone);
    EXPECT_EQ(delta(u"/a", u"/a/b"), kNone);
    EXPECT_EQ(delta(u"a/b", u"/a"), kNone);
    EXPECT_TRUE(isPathInside(u"/home/u/Documents", u"/home/u/Documents"));
    EXPECT_FALSE(isPathInside(u"/home/u/Documents2/a.md", u"/home/u/Documents"));
    EXPECT_FALSE(isPathInside(u"/a", u""));
}

TEST(PathComponents, NamesAndExtensions) {
    EXPECT_EQ(pathComponents(u"/a//b/"), (QStringList{"/", "a", "b"}));
    EXPECT_EQ(lastPathComponent(u"/a/b.md"), QStringLiteral("b.md"));
    EXPECT_EQ(lastPathComponent(u"/a/folder/"), QStringLiteral("folder"));
    EXPECT_EQ(deletingLastPathComponent(u"/a/b.md"), QStringLiteral("/a"));
    EXPECT_EQ(deletingLastPathComponent(u"/a"), QStringLiteral("/"));
    EXPECT_EQ(deletingLastPathComponent(u"/"), QString());
    EXPECT_EQ(deletingLastPathComponent(u"name"), QString());
    EXPECT_EQ(pathExtension(u"notes.tar.md"), QStringLiteral("md"));
    EXPECT_EQ(pathExtension(u"/a.b/c"), QString());
    EXPECT_EQ(pathExtension(u".profile"), QString());
    EXPECT_EQ(pathExtension(u"Tool.app/"), QStringLiteral("app"));
    EXPECT_EQ(lastComponentWithoutExtension(u"/a/notes.tar.md"), QStringLiteral("notes.tar"));
    EXPECT_EQ(lastComponentWithoutExtension(u"/a.b/README"), QStringLiteral("README"));
    EXPECT_EQ(lastComponentWithoutExtension(u"iChats"), QStringLiteral("iChats"));
}

} // namespace
} // namespace quillet
