#include "platform/KeyValueStore.h"

#include "PlatformTestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

const QVariantMap kBread{{"text.selectedRange", "{12, 5}"}, {"displayName", "Bread"}, {"text.locked", true}};

TEST(KeyValueStore, ChangesReachTheFileAtSynchronisationAndSurviveAReload) {
    TempFolder folder;
    const QString file = folder.file("store.json");
    KeyValueStore store(file);
    store.setObject("Recipes/Bread.md", kBread);
    EXPECT_EQ(store.dictionary("Recipes/Bread.md"), std::optional<QVariantMap>(kBread));
    EXPECT_FALSE(QFile::exists(file)); // nothing written before synchronize()
    ASSERT_TRUE(store.synchronize().ok);

    const QJsonObject json = QJsonDocument::fromJson(readBytes(file)).object();
    EXPECT_TRUE(json.value("Recipes/Bread.md").toObject().value("text.locked").isBool());

    KeyValueStore reloaded(file);
    const auto entry = reloaded.dictionary("Recipes/Bread.md");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(*entry, kBread);
    EXPECT_EQ(entry->value("text.locked").typeId(), QMetaType::Bool);
    EXPECT_EQ(reloaded.dictionary("Bread.md"), std::nullopt);

    reloaded.remove("Recipes/Bread.md");
    ASSERT_TRUE(reloaded.synchronize().ok);
    EXPECT_TRUE(KeyValueStore(file).dictionaryRepresentation().isEmpty());
}

TEST(KeyValueStore, ChangesFromOutsideAreTakenInAndReported) {
    TempFolder folder;
    const QString file = folder.file("store.json");
    KeyValueStore here(file);
    KeyValueStore otherDevice(file);
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
    ASSERT_TRUE(here.synchronize().ok);
    EXPECT_EQ(calls, 1); // nothing new
}

TEST(KeyValueStore, AFileThatIsNotJsonIsLeftAloneAndReported) {
    TempFolder folder;
    const QString file = folder.file("store.json");
    ASSERT_TRUE(writeBytes(file, "[not an object"));
    KeyValueStore store(file);
    EXPECT_TRUE(store.dictionaryRepresentation().isEmpty());
    store.setObject("a.md", QVariantMap{{"displayName", "A"}});
    const Status status = store.synchronize();
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.description.isEmpty());
    EXPECT_EQ(readBytes(file), QByteArray("[not an object"));
    EXPECT_EQ(store.dictionary("a.md")->value("displayName"), "A"); // kept for a later try

    ASSERT_TRUE(writeBytes(file, "{}"));
    ASSERT_TRUE(store.synchronize().ok);
    EXPECT_TRUE(KeyValueStore(file).dictionary("a.md").has_value());
}

TEST(KeyValueStore, AnInvalidValueRemovesTheKeyAndNonMapsAreNoDictionary) {
    TempFolder folder;
    KeyValueStore store(folder.file("s.json"));
    store.setObject("n", 3);
    EXPECT_EQ(store.object("n").toInt(), 3);
    EXPECT_EQ(store.dictionary("n"), std::nullopt);
    store.setObject("n", QVariant());
    EXPECT_FALSE(store.object("n").isValid());
}

} // namespace
} // namespace quillet::platform
