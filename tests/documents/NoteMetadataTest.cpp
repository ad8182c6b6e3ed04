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

using platform::readAttribute;
using platform::writeAttribute;

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray attribute(const QString& path, const char* name) {
    const auto value = readAttribute(path, QString::fromLatin1(name), 65536);
    return value ? *value : QByteArray("<none>");
}

class LocalMetadataTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        path = folder.path() + "/Groceries.md";
        ASSERT_TRUE(writeBytes(path, "# Groceries\n"));
        note = FileRepresentation::forPath(path);
        note->displayName = "Groceries"; // as the first-line prefetch left it
    }
    QTemporaryDir folder;
    QString path;
    FileRep note;
    platform::ManualDispatcher dispatcher;
    NoteMetadata metadata{dispatcher};
};

TEST_F(LocalMetadataTest, ReadTakesTheTwoAttributesAndLeavesTheLockAlone) {
    ASSERT_TRUE(writeAttribute(path, "displayName", "Shopping list").ok);
    ASSERT_TRUE(writeAttribute(path, "text.selectedRange", "{12, 5}").ok);
    note->isImmutable = true;
    metadata.readEAFromURL(*note);
    EXPECT_EQ(note->displayName, std::optional<QString>("Shopping list"));
    EXPECT_EQ(note->textSelectedRange, std::optional<QString>("{12, 5}"));
    EXPECT_TRUE(note->isImmutable);
}

TEST_F(LocalMetadataTest, OtherNamesEmptyValuesAndNonUtf8ValuesGiveNothing) {
    ASSERT_TRUE(writeAttribute(path, "displayname", "wrong case").ok);
    ASSERT_TRUE(writeAttribute(path, "com.example.displayName", "foreign").ok);
    ASSERT_TRUE(writeAttribute(path, "xdg.tags", "Red").ok);
    ASSERT_TRUE(writeAttribute(path, "text.selectedRange", "").ok);
    ASSERT_TRUE(writeAttribute(path, "displayName", "Caf\xe9").ok); // Latin-1, not UTF-8
    metadata.readEAFromURL(*note);
    EXPECT_EQ(note->displayName, std::optional<QString>("Groceries"));
    EXPECT_EQ(note->textSelectedRange, std::nullopt);
}

TEST_F(LocalMetadataTest, ADisplayNameOverAHundredBytesIsWrittenButNotReadBack) {
    const QString fits = QString(50, QChar(0xE9));          // 100 UTF-8 bytes
    const QString tooLong = QString(50, QChar(0xE9)) + "x"; // 101
    note->displayName = fits;
    note->displayNameChanged = true;
    metadata.writeEAToURL(*note);
    note->displayName = "other";
    metadata.readEAFromURL(*note);
    EXPECT_EQ(note->displayName, std::optional<QString>(fits));

    note->displayName = tooLong;
    note->displayNameChanged = true;
    metadata.writeEAToURL(*note);
    EXPECT_EQ(attribute(path, "displayName"), tooLong.toUtf8()); // on disk in full
    note->displayName = "from the first line";
    metadata.readEAFromURL(*note);
    EXPECT_EQ(note->displayName, std::optional<QString>("from the first line"));
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
    EXPECT_EQ(platform::listAttributes(path)->size(), 2);
}

TEST_F(LocalMetadataTest, MissingFilesAndRecordsWithoutAUrlAreHarmless) {
    ASSERT_TRUE(QFile::remove(path));
    note->displayNameChanged = true;
    note->textSelectedRange = "{1, 1}";
    note->textSelectedRangeChanged = true;
    metadata.writeEAToURL(*note); // the errors are ignored; the flags clear either way
    EXPECT_FALSE(note->displayNameChanged);
    EXPECT_FALSE(note->textSelectedRangeChanged);
    metadata.readEAFromURL(*note);
    EXPECT_EQ(note->displayName, std::optional<QString>("Groceries"));

    FileRepresentation bare;
    bare.displayNameChanged = true;
    metadata.readEAFromURL(bare);
    metadata.writeEAToURL(bare);
    EXPECT_FALSE(bare.displayNameChanged);
}

class CloudMetadataTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        container = folder.path() + "/Documents";
        ASSERT_TRUE(QDir().mkpath(container + "/Recipes/Old"));
        platform::setUbiquityContainerPath(container);
        storeFile = folder.path() + "/store.json";
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
    QString storeFile;
    std::shared_ptr<platform::KeyValueStore> store;
    platform::ManualDispatcher dispatcher;
    NoteMetadata metadata{dispatcher};
};

TEST_F(CloudMetadataTest, EntryKeysArePathsBelowTheContainer) {
    EXPECT_EQ(NoteMetadata::keyValueKey(QUrl::fromLocalFile(container + "/Recipes/Bread.md")),
              std::optional<QString>("Recipes/Bread.md"));
    EXPECT_EQ(NoteMetadata::keyValueKey(QUrl::fromLocalFile(container + "/Bread.md")),
              std::optional<QString>("Bread.md"));
    EXPECT_EQ(NoteMetadata::keyValueKey(QUrl::fromLocalFile(container)), std::nullopt);
    EXPECT_EQ(NoteMetadata::keyValueKey(QUrl::fromLocalFile(folder.path() + "/Elsewhere.md")), std::nullopt);
    EXPECT_EQ(NoteMetadata::keyValueKey(QUrl::fromLocalFile(container + "Old/Bread.md")), std::nullopt);
    EXPECT_EQ(NoteMetadata::keyValueKey(QUrl()), std::nullopt);
}

TEST_F(CloudMetadataTest, WriteStoresTheChangedFieldsUnderTheRelativePath) {
    FileRep bread = cloudNote("Recipes/Bread.md");
    bread->textSelectedRange = "{12, 5}";
    bread->textSelectedRangeChanged = true;
    bread->displayName = "Bread";
    bread->displayNameChanged = true;
    bread->isImmutable = true;
    bread->isImmutableChanged = true;
    metadata.writeEAToCloudKV(*bread);
    EXPECT_FALSE(bread->textSelectedRangeChanged || bread->displayNameChanged || bread->isImmutableChanged);

    platform::KeyValueStore onDisk(storeFile); // synchronised: the file holds it
    const auto entry = onDisk.dictionary("Recipes/Bread.md");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(
        *entry,
        (QVariantMap{{"text.selectedRange", "{12, 5}"}, {"displayName", "Bread"}, {"text.locked", true}}));
    EXPECT_FALSE(onDisk.dictionary("Bread.md").has_value());

    // Only changed fields are written; unchanged ones keep the stored value.
    bread->displayName = "Not written";
    bread->isImmutable = false;
    bread->isImmutableChanged = true;
    metadata.writeEAToCloudKV(*bread);
    const auto after = store->dictionary("Recipes/Bread.md");
    EXPECT_EQ(after->value("displayName"), "Bread");
    EXPECT_EQ(after->value("text.locked"), QVariant(false));
}

TEST_F(CloudMetadataTest, AnEntryIsStoredEvenWhenNothingChanged) {
    FileRep plain = cloudNote("Plain.md");
    metadata.writeEAToCloudKV(*plain);
    EXPECT_EQ(platform::KeyValueStore(storeFile).dictionary("Plain.md"),
              std::optional<QVariantMap>(QVariantMap()));
}

TEST_F(CloudMetadataTest, ReadTakesWhatTheEntryHolds) {
    FileRep bread = cloudNote("Recipes/Bread.md");
    bread->displayName = "From first line";
    bread->textSelectedRange = "{1, 0}";
    store->setObject("Recipes/Bread.md", QVariantMap{{"text.locked", true}});
    store->synchronize();
    metadata.readEAFromCloudKV(*bread);
    EXPECT_TRUE(bread->isImmutable);
    EXPECT_EQ(bread->displayName, std::optional<QString>("From first line"));
    EXPECT_EQ(bread->textSelectedRange, std::optional<QString>("{1, 0}"));

    store->setObject("Recipes/Bread.md",
                     QVariantMap{{"displayName", "Rye"}, {"text.selectedRange", "{4, 2}"}});
    metadata.readEAFromCloudKV(*bread);
    EXPECT_FALSE(bread->isImmutable); // "text.locked" absent reads as NO
    EXPECT_EQ(bread->displayName, std::optional<QString>("Rye"));
    EXPECT_EQ(bread->textSelectedRange, std::optional<QString>("{4, 2}"));

    FileRep missing = cloudNote("Nothing.md");
    missing->isImmutable = true;
    metadata.readEAFromCloudKV(*missing); // no entry: unchanged
    EXPECT_TRUE(missing->isImmutable);
}

TEST_F(CloudMetadataTest, ReadsAnotherDevicesChangesAtOnce) {
    platform::KeyValueStore otherDevice(storeFile);
    otherDevice.setObject("Recipes/Bread.md", QVariantMap{{"displayName", "Sourdough"}});
    ASSERT_TRUE(otherDevice.synchronize().ok);
    FileRep bread = cloudNote("Recipes/Bread.md");
    metadata.readEAFromCloudKV(*bread); // synchronises first
    EXPECT_EQ(bread->displayName, std::optional<QString>("Sourdough"));
}

TEST_F(CloudMetadataTest, LocalNotesAreNotTheStoresBusiness) {
    platform::setUbiquityContainerPath(std::nullopt);
    FileRep local = FileRepresentation::forPath(container + "/Recipes/Bread.md");
    local->displayName = "Bread";
    local->displayNameChanged = true;
    metadata.writeEAToCloudKV(*local);
    EXPECT_TRUE(local->displayNameChanged); // nothing done at all
    EXPECT_TRUE(store->dictionaryRepresentation().isEmpty());
}

TEST_F(CloudMetadataTest, OutsideChangesUnlockNotesTwoLevelsDeep) {
    FileRep top = FileRepresentation::forPath(container);
    top->top = true;
    top->directory = true;
    FileRep first = cloudNote("First.md");
    FileRep bread = cloudNote("Recipes/Bread.md");
    FileRep cake = cloudNote("Recipes/Old/Cake.md");
    top->children = FileRepList{first, cloudFolder("Recipes", {bread, cloudFolder("Recipes/Old", {cake})})};
    for (const FileRep& note : {first, bread, cake}) {
        note->isImmutable = true;
        note->isImmutableChanged = true;
        metadata.writeEAToCloudKV(*note);
    }
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

    // A store entry removed elsewhere reads as unlocked too.
    bread->isImmutable = true;
    otherDevice.remove("Recipes/Bread.md");
    ASSERT_TRUE(otherDevice.synchronize().ok);
    ASSERT_TRUE(store->synchronize().ok);
    EXPECT_FALSE(bread->isImmutable);
}

} // namespace
} // namespace quillet
