#include "platform/ExtendedAttributes.h"

#include "PlatformTestSupport.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/xattr.h>

namespace quillet::platform {
namespace {

using testing::TempFolder;
using testing::writeBytes;

// The same calls on real attributes and on the side file that stands in where there are none.
class ExtendedAttributesTest : public ::testing::TestWithParam<AttributeStorage> {
protected:
    void SetUp() override { ASSERT_TRUE(writeBytes(note, "# Bread\n")); }
    Result<QByteArray> read(const char* name, std::size_t buffer) {
        return readAttribute(note, name, buffer, GetParam());
    }
    Status write(const char* name, const QByteArray& value) {
        return writeAttribute(note, name, value, GetParam());
    }

    TempFolder folder;
    QString note = folder.file("Bread.md");
};

TEST_P(ExtendedAttributesTest, WritesListsReadsAndRemovesByPlainNames) {
    ASSERT_TRUE(write("displayName", "Shopping list").ok);
    ASSERT_TRUE(write("text.selectedRange", "{12, 5}").ok);
    ASSERT_TRUE(write("displayName", "Bread").ok); // replaces
    const auto names = listAttributes(note, GetParam());
    ASSERT_TRUE(names.ok());
    EXPECT_EQ(QSet<QString>(names->begin(), names->end()),
              (QSet<QString>{"displayName", "text.selectedRange"}));
    EXPECT_EQ(*read("displayName", 100), QByteArray("Bread"));

    ASSERT_TRUE(removeAttribute(note, "displayName", GetParam()).ok);
    EXPECT_EQ(read("displayName", 100).status.errorCode, ENODATA);
    EXPECT_EQ(removeAttribute(note, "displayName", GetParam()).errorCode, ENODATA);

    const QString missing = folder.file("gone.md");
    EXPECT_FALSE(listAttributes(missing, GetParam()).ok());
    EXPECT_EQ(writeAttribute(missing, "displayName", "x", GetParam()).errorCode, ENOENT);
    EXPECT_FALSE(QFile::exists(attributeSideFilePath(missing)));
}

TEST_P(ExtendedAttributesTest, AValueIsReadOnlyIntoABufferItFits) {
    // Sizes around the buffer's, and the empty value into no buffer at all.
    for (const auto& [size, buffer] :
         {std::pair(100, 100), std::pair(101, 100), std::pair(0, 0), std::pair(1, 0)}) {
        const QByteArray value(size, 'v');
        ASSERT_TRUE(write("displayName", value).ok);
        const auto got = read("displayName", buffer);
        if (size <= buffer) {
            ASSERT_TRUE(got.ok()) << size;
            EXPECT_EQ(*got, value);
        } else {
            EXPECT_EQ(got.status.errorCode, ERANGE) << size;
            EXPECT_EQ(*read("displayName", 200), value); // still there whole
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Storage, ExtendedAttributesTest,
                         ::testing::Values(AttributeStorage::automatic, AttributeStorage::sideFile),
                         [](const auto& info) {
                             return info.param == AttributeStorage::automatic ? "Xattr" : "SideFile";
                         });

TEST(ExtendedAttributes, RealAttributesAreInTheUserNamespaceAndNeedNoSideFile) {
    TempFolder folder;
    const QString note = folder.file("n.md");
    ASSERT_TRUE(writeBytes(note, "n"));
    ASSERT_TRUE(writeAttribute(note, "displayName", "Title").ok);
    const QByteArray native = QFile::encodeName(note);
    char value[16] = {};
    EXPECT_EQ(::getxattr(native.constData(), "user.displayName", value, sizeof value), 5);
    EXPECT_STREQ(value, "Title");
    // Where this process may set attributes of another namespace, they are not listed.
    if (::setxattr(native.constData(), "trusted.quillet", "t", 1, 0) == 0) {
        EXPECT_EQ(*listAttributes(note), QStringList{"displayName"});
    }
    EXPECT_FALSE(QFile::exists(attributeSideFilePath(note)));
}

TEST(ExtendedAttributes, SideFileIsHiddenBesideTheNoteCopiedAndNeverOverwrittenWhenCorrupt) {
    TempFolder folder;
    const QString note = folder.file("Bread.md");
    const QString copy = folder.file("Copy.md");
    ASSERT_TRUE(writeBytes(note, "n") && writeBytes(copy, "c"));
    ASSERT_EQ(attributeSideFilePath(note), folder.file(".Bread.md.attributes"));
    ASSERT_TRUE(writeAttribute(note, "displayName", "B", AttributeStorage::sideFile).ok);
    ASSERT_TRUE(writeAttribute(note, "text.locked", "1").ok);
    ASSERT_TRUE(copyAttributes(note, copy).ok);
    EXPECT_EQ(*readAttribute(copy, "displayName", 100, AttributeStorage::sideFile), QByteArray("B"));
    EXPECT_EQ(*readAttribute(copy, "text.locked", 100), QByteArray("1"));
    ASSERT_TRUE(removeAttribute(note, "displayName", AttributeStorage::sideFile).ok);
    EXPECT_FALSE(QFile::exists(attributeSideFilePath(note))); // gone with its last value

    ASSERT_TRUE(writeBytes(attributeSideFilePath(note), "\xff{not json"));
    EXPECT_FALSE(readAttribute(note, "displayName", 100, AttributeStorage::sideFile).ok());
    EXPECT_FALSE(listAttributes(note, AttributeStorage::sideFile).ok());
    EXPECT_FALSE(writeAttribute(note, "displayName", "x", AttributeStorage::sideFile).ok);
    EXPECT_EQ(testing::readBytes(attributeSideFilePath(note)), QByteArray("\xff{not json"));
}

} // namespace
} // namespace quillet::platform
