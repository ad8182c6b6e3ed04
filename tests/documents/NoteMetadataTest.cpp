#include "documents/NoteMetadata.h"

#include "platform/Containers.h"
#include "platform/ExtendedAttributes.h"
#include "platform/ManualDispatcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillet {
namespace {

using platform::writeAttribute;

QByteArray attribute(const QString& path, const char* name) {
    const auto value = platform::readAttribute(path, QString::fromLatin1(name), 65536);
    return value ? *value : QByteArray("<none>");
}

class LocalMetadataTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.path() + "/Groceries.md";
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        note = FileRepresentation::forPath(path);
        note->displayName = "Groceries"; // as the first-line prefetch left it
    }
    QTemporaryDir folder;
    QString path;
    FileRep note;
    platform::ManualDispatcher dispatcher;
    NoteMetadata metadata{dispatcher};
};

TEST_F(LocalMetadataTest, ReadTakesOnlyItsOwnUsableAttributes) {
    ASSERT_TRUE(writeAttribute(path, "displayName", "Shopping list").ok);
    ASSERT_TRUE(writeAttribute(path, "text.selectedRange", "{12, 5}").ok);
    ASSERT_TRUE(writeAttribute(path, "displayname", "wrong case").ok);
    ASSERT_TRUE(writeAttribute(path, "com.example.displayName", "foreign").ok);
    note->isImmutable = true;
    metadata.readEAFromURL(*note);
    EXPECT_EQ(note->displayName, std::optional<QString>("Shopping list"));
    EXPECT_EQ(note->textSelectedRange, std::optional<QString>("{12, 5}"));
    EXPECT_TRUE(note->isImmutable);

    // Empty or non-UTF-8 values leave what the note had.
    ASSERT_TRUE(writeAttribute(path, "text.selectedRange", "").ok);
    ASSERT_TRUE(writeAttribute(path, "displayName", "Caf\xe9").ok);
    note->displayName = "Groceries";
    note->textSelectedRange = std::nullopt;
    metadata.readEAFromURL(*note);
    EXPECT_EQ(note->displayName, std::optional<QString>("Groceries"));
    EXPECT_EQ(note->textSelectedRange, std::nullopt);
}

TEST_F(LocalMetadataTest, ADisplayNameOverAHundredBytesIsWrittenButNotReadBack) {
    for (const QString& name : {QString(50, QChar(0xE9)), QString(50, QChar(0xE9)) + "x"}) { // 100, 101 bytes
        note->displayName = name;
        note->displayNameChanged = true;
        metadata.writeEAToURL(*note);
        EXPECT_EQ(attribute(path, "displayName"), name.toUtf8());
        note->displayName = "from the first line";
        metadata.readEAFromURL(*note);
        EXPECT_EQ(note->displayName, name.size() == 50 ? name : QString("from the first line"));
    }
}

TEST_F(LocalMetadataTest, WriteOnlyWhatChangedAndClearTheFlags) {
    ASSERT_TRUE(writeAttribute(path, "displayName", "on disk").ok);
    note->displayName = "in memory, unchanged";
    note->textSelectedRange = "{3, 4}";
    note->textSelectedRangeChanged = true;
    metadata.writeEAToURL(*note);
    EXPECT_EQ(attribute(path, "text.selectedRange"), QByteArray("{3, 4}"));
    EXPECT_EQ(attribute(path, "displayName"), QByteArray("on disk"));
    EXPECT_FALSE(note->textSelectedRangeChanged);

    // A changed but empty selection writes nothing and still clears its flag.
    note->textSelectedRange = "";
    note->textSelectedRangeChanged = true;
    metadata.writeEAToURL(*note);
    EXPECT_EQ(attribute(path, "text.selectedRange"), QByteArray("{3, 4}"));
    EXPECT_FALSE(note->textSelectedRangeChanged);

    // Errors of a missing file are ignored; the flags clear either way.
    ASSERT_TRUE(QFile::remove(path));
    note->displayNameChanged = true;
    metadata.writeEAToURL(*note);
    EXPECT_FALSE(note->displayNameChanged);
    metadata.readEAFromURL(*note);
    EXPECT_EQ(note->displayName, std::optional<QString>("in memory, unchanged"));
    FileRepresentation bare; // no file at all
    bare.displayNameChanged = true;
    metadata.readEAFromURL(bare);
    metadata.writeEAToURL(bare);
    EXPECT_FALSE(bare.displayNameChanged);
}

class CloudMetadataTest : public ::testing::Test {
protected:
    void SetUp() override {
        container = folder.path() + "/Documents";
        ASSERT_TRUE(QDir().mkpath(container + "/Recipes/Old"));
        platform::setUbiquityContainerPath(container);
        store = std::make_shared<platform::KeyValueStore>(storeFile);
        metadata.setKeyValueStore(store);
    }
    void TearDown() override { platform::setUbiquityContainerPath(std::nullopt); }

    FileRep cloudNote(const QString& relative) {
        FileRep rep = FileRepresentation::forPath(container + "/" + relative);
        rep->iCloud = true;
        return rep;
    }
    FileRep cloudFolder(const QString& relative, FileRepList children) {
        FileRep rep = cloudNote(relative);
        rep->directory = true;
        rep->children = std::move(children);
        return rep;
    }

    QTemporaryDir folder;
    QString container;
    QString storeFile = folder.path() + "/store.json";
    std::shared_ptr<platform::KeyValueStore> store;
    platform::ManualDispatcher dispatcher;
    NoteMetadata metadata{dispatcher};
};

TEST_F(CloudMetadataTest, EntryKeysArePathsBelowTheContainer) {
    const auto key = [](const QString& path) { return NoteMetadata::keyValueKey(QUrl::fromLocalFile(path)); };
    EXPECT_EQ(key(container + "/Recipes/Bread.md"), std::optional<QString>("Recipes/Bread.md"));
    EXPECT_EQ(key(container + "/Bread.md"), std::optional<QString>("Bread.md"));
    EXPECT_EQ(key(container), std::nullopt);
    EXPECT_EQ(key(folder.path() + "/Elsewhere.md"), std::nullopt);
    EXPECT_EQ(key(container + "Old/Bread.md"), std::nullopt);
    EXPECT_EQ(NoteMetadata::keyValueKey(QUrl()), std::nullopt);
}

TEST_F(CloudMetadataTest, WriteStoresTheChangedFieldsUnderTheRelativePath) {
    FileRep bread = cloudNote("Recipes/Bread.md");
    bread->textSelectedRange = "{12, 5}";
    bread->displayName = "Bread";
    bread->isImmutable = true;
    bread->textSelectedRangeChanged = bread->displayNameChanged = bread->isImmutableChanged = true;
    metadata.writeEAToCloudKV(*bread);
    EXPECT_FALSE(bread->textSelectedRangeChanged || bread->displayNameChanged || bread->isImmutableChanged);
    EXPECT_EQ(
        platform::KeyValueStore(storeFile).dictionary("Recipes/Bread.md"), // synchronised
        (QVariantMap{{"text.selectedRange", "{12, 5}"}, {"displayName", "Bread"}, {"text.locked", true}}));

    // Unchanged fields keep the stored value; an entry is stored even when nothing changed.
    bread->displayName = "Not written";
    bread->isImmutable = false;
    bread->isImmutableChanged = true;
    metadata.writeEAToCloudKV(*bread);
    EXPECT_EQ(store->dictionary("Recipes/Bread.md")->value("displayName"), "Bread");
    EXPECT_EQ(store->dictionary("Recipes/Bread.md")->value("text.locked"), QVariant(false));
    metadata.writeEAToCloudKV(*cloudNote("Plain.md"));
    EXPECT_EQ(platform::KeyValueStore(storeFile).dictionary("Plain.md"),
              std::optional<QVariantMap>(QVariantMap()));

    // Local notes are not the store's business.
    platform::setUbiquityContainerPath(std::nullopt);
    bread->displayNameChanged = true;
    metadata.writeEAToCloudKV(*bread);
    EXPECT_TRUE(bread->displayNameChanged);
}

TEST_F(CloudMetadataTest, ReadTakesWhatTheEntryHoldsAfterSynchronising) {
    FileRep bread = cloudNote("Recipes/Bread.md");
    bread->displayName = "From first line";
    bread->textSelectedRange = "{1, 0}";
    platform::KeyValueStore otherDevice(storeFile);
    otherDevice.setObject("Recipes/Bread.md", QVariantMap{{"text.locked", true}});
    ASSERT_TRUE(otherDevice.synchronize().ok);
    metadata.readEAFromCloudKV(*bread);
    EXPECT_TRUE(bread->isImmutable);
    EXPECT_EQ(bread->displayName, std::optional<QString>("From first line"));
    EXPECT_EQ(bread->textSelectedRange, std::optional<QString>("{1, 0}"));

    store->setObject("Recipes/Bread.md",
                     QVariantMap{{"displayName", "Rye"}, {"text.selectedRange", "{4, 2}"}});
    metadata.readEAFromCloudKV(*bread);
    EXPECT_FALSE(bread->isImmutable); // "text.locked" absent reads as unlocked
    EXPECT_EQ(bread->displayName, std::optional<QString>("Rye"));
    EXPECT_EQ(bread->textSelectedRange, std::optional<QString>("{4, 2}"));

    FileRep missing = cloudNote("Nothing.md");
    missing->isImmutable = true;
    metadata.readEAFromCloudKV(*missing); // no entry: unchanged
    EXPECT_TRUE(missing->isImmutable);
}

TEST_F(CloudMetadataTest, OutsideChangesUnlockNotesTwoLevelsDeep) {
    FileRep top = FileRepresentation::forPath(container);
    top->top = top->directory = true;
    FileRep first = cloudNote("First.md"), bread = cloudNote("Recipes/Bread.md"),
            cake = cloudNote("Recipes/Old/Cake.md");
    top->children = FileRepList{first, cloudFolder("Recipes", {bread, cloudFolder("Recipes/Old", {cake})})};
    for (const FileRep& note : {first, bread, cake})
        note->isImmutable = true;
    int refreshes = 0;
    metadata.observeOutsideChanges([&] { return top; }, [&] { ++refreshes; });

    platform::KeyValueStore otherDevice(storeFile);
    for (const char* key : {"First.md", "Recipes/Bread.md", "Recipes/Old/Cake.md"})
        otherDevice.setObject(key, QVariantMap{{"text.locked", false}});
    ASSERT_TRUE(otherDevice.synchronize().ok);
    ASSERT_TRUE(store->synchronize().ok); // delivers the change
    EXPECT_FALSE(first->isImmutable);
    EXPECT_FALSE(bread->isImmutable);
    EXPECT_TRUE(cake->isImmutable); // three folders deep: kept until opened again
    EXPECT_EQ(refreshes, 0);        // the browser refresh waits for the main queue
    dispatcher.runPending();
    EXPECT_EQ(refreshes, 1);

    // An entry removed elsewhere reads as unlocked too.
    bread->isImmutable = true;
    otherDevice.remove("Recipes/Bread.md");
    ASSERT_TRUE(otherDevice.synchronize().ok);
    ASSERT_TRUE(store->synchronize().ok);
    EXPECT_FALSE(bread->isImmutable);
}

} // namespace
} // namespace quillet
