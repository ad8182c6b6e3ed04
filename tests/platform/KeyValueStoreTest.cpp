#include "platform/KeyValueStore.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

using testing::readBytes;
using testing::writeBytes;

TEST(KeyValueStore, ChangesReachTheFileAtSynchronisationWithTheirTypes) {
    testing::TempFolder folder;
    const QString file = folder.file("store.json");
    const QVariantMap bread{
        {"text.selectedRange", "{12, 5}"}, {"displayName", "Bread"}, {"text.locked", true}};
    KeyValueStore store(file);
    store.setObject("Recipes/Bread.md", bread);
    store.setObject("n", 3);
    EXPECT_EQ(store.dictionary("n"), std::nullopt); // not a map
    store.setObject("n", QVariant());               // removes
    EXPECT_FALSE(QFile::exists(file));              // nothing written before synchronize()
    ASSERT_TRUE(store.synchronize().ok);

    KeyValueStore reloaded(file);
    EXPECT_EQ(reloaded.dictionary("Recipes/Bread.md"), std::optional<QVariantMap>(bread));
    EXPECT_EQ(reloaded.dictionary("Recipes/Bread.md")->value("text.locked").typeId(), QMetaType::Bool);
    EXPECT_FALSE(reloaded.object("n").isValid());
    reloaded.remove("Recipes/Bread.md");
    ASSERT_TRUE(reloaded.synchronize().ok);
    EXPECT_TRUE(KeyValueStore(file).dictionaryRepresentation().isEmpty());
}

TEST(KeyValueStore, ChangesFromOutsideAreTakenInAndReported) {
    testing::TempFolder folder;
    const QString file = folder.file("store.json");
    KeyValueStore here(file), otherDevice(file);
    QStringList reported;
    int calls = 0;
    here.setChangeHandler([&](const QStringList& keys) {
        reported = keys;
        ++calls;
    });
    here.setObject("mine.md", QVariantMap{{"displayName", "Mine"}});
    ASSERT_TRUE(here.synchronize().ok);
    EXPECT_EQ(calls, 0); // our own write is not a change from outside

    ASSERT_TRUE(otherDevice.synchronize().ok);
    otherDevice.setObject("theirs.md", QVariantMap{{"text.locked", false}});
    otherDevice.setObject("mine.md", QVariantMap{{"displayName", "Theirs"}});
    ASSERT_TRUE(otherDevice.synchronize().ok);
    here.setObject("mine.md", QVariantMap{{"displayName", "Mine again"}}); // not yet synchronised
    ASSERT_TRUE(here.synchronize().ok);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(reported, QStringList{"theirs.md"});
    EXPECT_EQ(here.dictionary("theirs.md")->value("text.locked"), QVariant(false));
    EXPECT_EQ(here.dictionary("mine.md")->value("displayName"), "Mine again"); // the later local write wins
    ASSERT_TRUE(otherDevice.synchronize().ok);
    EXPECT_EQ(otherDevice.dictionary("mine.md")->value("displayName"), "Mine again");
}

TEST(KeyValueStore, AFileThatIsNotJsonIsLeftAloneAndReported) {
    testing::TempFolder folder;
    const QString file = folder.file("store.json");
    ASSERT_TRUE(writeBytes(file, "[not an object"));
    KeyValueStore store(file);
    store.setObject("a.md", QVariantMap{{"displayName", "A"}});
    EXPECT_FALSE(store.synchronize().ok);
    EXPECT_EQ(readBytes(file), QByteArray("[not an object"));
    ASSERT_TRUE(writeBytes(file, "{}"));
    ASSERT_TRUE(store.synchronize().ok); // kept for a later try
    EXPECT_TRUE(KeyValueStore(file).dictionary("a.md").has_value());
}

// Both machines wrote the file at once; the engine kept the loser's as a conflict copy.
TEST(KeyValueStore, ASyncConflictCopyIsMergedInThenRemoved) {
    testing::TempFolder folder;
    const QString file = folder.file("store.json");
    const QString loser = folder.file("store.sync-conflict-20261207-161500-BBBBBBB.json");
    const QString broken = folder.file("store (conflicted copy 2026-12-07 161501).json");
    KeyValueStore store(file);
    QStringList reported;
    store.setChangeHandler([&](const QStringList& keys) { reported = keys; });
    ASSERT_TRUE(writeBytes(file, R"({"a.md":{"displayName":"A","text.locked":true},"b.md":{"displayName":"B"}})"));
    ASSERT_TRUE(writeBytes(loser, R"({"a.md":{"displayName":"A2","text.selectedRange":"{1, 0}"},"c.md":{"displayName":"C"}})"));
    ASSERT_TRUE(writeBytes(broken, "{half"));
    const auto age = [](const QString& path) {
        QFile aged(path);
        ASSERT_TRUE(aged.open(QIODevice::ReadWrite));
        ASSERT_TRUE(aged.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    };
    age(file);
    store.setObject("d.md", QVariantMap{{"displayName", "D"}});
    ASSERT_TRUE(store.synchronize().ok);

    // The copy is newer: its fields win where both have one; every entry and field is kept.
    const QVariantMap expectedA{{"displayName", "A2"}, {"text.locked", true}, {"text.selectedRange", "{1, 0}"}};
    KeyValueStore reloaded(file);
    EXPECT_EQ(reloaded.dictionary("a.md"), std::optional<QVariantMap>(expectedA));
    for (const char* key : {"b.md", "c.md", "d.md"}) EXPECT_TRUE(reloaded.dictionary(key)) << key;
    EXPECT_EQ(store.dictionary("c.md")->value("displayName"), "C");
    reported.sort();
    EXPECT_EQ(reported, (QStringList{"a.md", "b.md", "c.md"}));
    EXPECT_FALSE(QFile::exists(loser));
    EXPECT_EQ(readBytes(broken), QByteArray("{half")); // not a store: left for the user

    // An older copy adds what it alone has and changes nothing else.
    ASSERT_TRUE(writeBytes(loser, R"({"a.md":{"displayName":"Stale"},"e.md":{"displayName":"E"}})"));
    age(loser);
    ASSERT_TRUE(store.synchronize().ok);
    EXPECT_EQ(KeyValueStore(file).dictionary("a.md"), std::optional<QVariantMap>(expectedA));
    EXPECT_TRUE(KeyValueStore(file).dictionary("e.md"));
    EXPECT_FALSE(QFile::exists(loser));
}

} // namespace
} // namespace quillet::platform
