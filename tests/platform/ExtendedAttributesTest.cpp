#include "platform/ExtendedAttributes.h"

#include "PlatformTestSupport.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/xattr.h>

namespace quillet::platform {
namespace {

using testing::TempFolder;
using testing::writeBytes;

class ExtendedAttributesTest : public ::testing::TestWithParam<AttributeStorage> {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        note = folder.file("Bread.md");
        ASSERT_TRUE(writeBytes(note, "# Bread\n"));
    }
    AttributeStorage storage() const { return GetParam(); }

    TempFolder folder;
    QString note;
};

TEST_P(ExtendedAttributesTest, WritesListsReadsAndRemovesByPlainNames) {
    ASSERT_TRUE(writeAttribute(note, "displayName", "Shopping list", storage()).ok);
    ASSERT_TRUE(writeAttribute(note, "text.selectedRange", "{12, 5}", storage()).ok);
    ASSERT_TRUE(writeAttribute(note, "displayName", "Bread", storage()).ok); // replaces

    const auto names = listAttributes(note, storage());
    ASSERT_TRUE(names.ok()) << names.status.description.toStdString();
    EXPECT_EQ(QSet<QString>(names->begin(), names->end()),
              (QSet<QString>{"displayName", "text.selectedRange"}));

    const auto name = readAttribute(note, "displayName", 100, storage());
    ASSERT_TRUE(name.ok());
    EXPECT_EQ(*name, QByteArray("Bread"));

    ASSERT_TRUE(removeAttribute(note, "displayName", storage()).ok);
    const auto gone = readAttribute(note, "displayName", 100, storage());
    EXPECT_FALSE(gone.ok());
    EXPECT_EQ(gone.status.errorCode, ENODATA);
    EXPECT_EQ(removeAttribute(note, "displayName", storage()).errorCode, ENODATA);
}

TEST_P(ExtendedAttributesTest, AValueLongerThanTheBufferIsWrittenButNotRead) {
    const QByteArray exactly100(100, 'a');
    const QByteArray over100(101, 'b');
    ASSERT_TRUE(writeAttribute(note, "displayName", exactly100, storage()).ok);
    ASSERT_TRUE(writeAttribute(note, "text.selectedRange", over100, storage()).ok);

    const auto fits = readAttribute(note, "displayName", 100, storage());
    ASSERT_TRUE(fits.ok());
    EXPECT_EQ(*fits, exactly100);
    const auto tooLong = readAttribute(note, "text.selectedRange", 100, storage());
    EXPECT_FALSE(tooLong.ok());
    EXPECT_EQ(tooLong.status.errorCode, ERANGE);
    EXPECT_FALSE(tooLong.status.description.isEmpty());
    // With a larger buffer the same value is there.
    const auto whole = readAttribute(note, "text.selectedRange", 200, storage());
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(*whole, over100);
}

TEST_P(ExtendedAttributesTest, EmptyValuesAndZeroBuffers) {
    ASSERT_TRUE(writeAttribute(note, "displayName", QByteArray(), storage()).ok);
    const auto empty = readAttribute(note, "displayName", 0, storage());
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty->isEmpty());
    ASSERT_TRUE(writeAttribute(note, "displayName", "x", storage()).ok);
    EXPECT_EQ(readAttribute(note, "displayName", 0, storage()).status.errorCode, ERANGE);
}

TEST_P(ExtendedAttributesTest, AMissingFileFailsEveryCall) {
    const QString missing = folder.file("gone.md");
    EXPECT_FALSE(listAttributes(missing, storage()).ok());
    EXPECT_FALSE(readAttribute(missing, "displayName", 100, storage()).ok());
    const Status written = writeAttribute(missing, "displayName", "x", storage());
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.errorCode, ENOENT);
    EXPECT_FALSE(QFile::exists(attributeSideFilePath(missing)));
}

INSTANTIATE_TEST_SUITE_P(Storage, ExtendedAttributesTest,
                         ::testing::Values(AttributeStorage::automatic, AttributeStorage::sideFile),
                         [](const auto& info) {
                             return info.param == AttributeStorage::automatic ? "Xattr" : "SideFile";
                         });

TEST(ExtendedAttributes, UseTheUserNamespaceAndIgnoreOthers) {
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
        const auto names = listAttributes(note);
        ASSERT_TRUE(names.ok());
        EXPECT_EQ(*names, QStringList{"displayName"});
    }
    EXPECT_FALSE(QFile::exists(attributeSideFilePath(note))); // real attributes: no side file
}

TEST(ExtendedAttributes, SideFileIsHiddenBesideTheNoteAndGoesWithTheLastValue) {
    TempFolder folder;
    const QString note = folder.file("Bread.md");
    ASSERT_TRUE(writeBytes(note, "n"));
    EXPECT_EQ(attributeSideFilePath(note), folder.file(".Bread.md.attributes"));
    ASSERT_TRUE(writeAttribute(note, "displayName", "B", AttributeStorage::sideFile).ok);
    EXPECT_TRUE(QFile::exists(folder.file(".Bread.md.attributes")));
    ASSERT_TRUE(removeAttribute(note, "displayName", AttributeStorage::sideFile).ok);
    EXPECT_FALSE(QFile::exists(folder.file(".Bread.md.attributes")));
}

TEST(ExtendedAttributes, ACorruptSideFileIsAnErrorNotACrash) {
    TempFolder folder;
    const QString note = folder.file("n.md");
    ASSERT_TRUE(writeBytes(note, "n"));
    ASSERT_TRUE(writeBytes(attributeSideFilePath(note), "\xff{not json"));
    EXPECT_FALSE(readAttribute(note, "displayName", 100, AttributeStorage::sideFile).ok());
    EXPECT_FALSE(listAttributes(note, AttributeStorage::sideFile).ok());
    EXPECT_FALSE(writeAttribute(note, "displayName", "x", AttributeStorage::sideFile).ok);
    EXPECT_EQ(testing::readBytes(attributeSideFilePath(note)), QByteArray("\xff{not json")); // left alone
}

TEST(ExtendedAttributes, CopyCarriesAttributesAndSideFileValues) {
    TempFolder folder;
    const QString from = folder.file("a.md");
    const QString to = folder.file("b.md");
    ASSERT_TRUE(writeBytes(from, "a"));
    ASSERT_TRUE(writeBytes(to, "b"));
    ASSERT_TRUE(writeAttribute(from, "displayName", "A").ok);
    ASSERT_TRUE(writeAttribute(from, "text.selectedRange", "{1, 0}", AttributeStorage::sideFile).ok);
    ASSERT_TRUE(writeAttribute(to, "displayName", "old").ok);

    ASSERT_TRUE(copyAttributes(from, to).ok);
    EXPECT_EQ(*readAttribute(to, "displayName", 100), QByteArray("A"));
    EXPECT_EQ(*readAttribute(to, "text.selectedRange", 100, AttributeStorage::sideFile),
              QByteArray("{1, 0}"));
}

} // namespace
} // namespace quillet::platform
