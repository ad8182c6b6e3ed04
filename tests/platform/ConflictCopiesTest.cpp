#include "platform/ConflictCopies.h"

#include "PlatformTestSupport.h"
#include "platform/SyncFolder.h"

#include <QSysInfo>
#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

using testing::TempFolder;
using testing::writeBytes;

TEST(ConflictCopies, TheEnginesNamesGiveTheOriginalTheDateAndTheDevice) {
    struct Case {
        const char* name;
        const char* original;
        const char* date;
        const char* device;
    };
    const Case cases[] = {
        {"Diary.sync-conflict-20261207-161500-ABCDEF2.md", "Diary.md", "2026-12-07T16:15:00", "ABCDEF2"},
        {"v1.2.sync-conflict-20260101-000001-ZZZZZZZ", "v1.2", "2026-01-01T00:00:01", "ZZZZZZZ"},
        {"My note (conflicted copy 2026-12-07 161500).md", "My note.md", "2026-12-07T16:15:00", ""},
        {"a (b) (conflicted copy alice 2026-03-04 050607).txt", "a (b).txt", "2026-03-04T05:06:07", "alice"},
        {"Old_conflict-20250102-030405.md", "Old.md", "2025-01-02T03:04:05", ""},
    };
    for (const Case& c : cases) {
        const auto parsed = parseConflictCopyName(QString::fromUtf8(c.name));
        ASSERT_TRUE(parsed) << c.name;
        EXPECT_EQ(parsed->originalName, QString::fromUtf8(c.original));
        EXPECT_EQ(parsed->date, QDateTime::fromString(QString::fromLatin1(c.date), Qt::ISODate)) << c.name;
        EXPECT_EQ(parsed->device, QString::fromUtf8(c.device));
    }
    for (const char* name : {"Diary.md", "Diary.sync-conflict-20261207-161500-abcdef2.md",
                             "Diary.sync-conflict-20261399-161500-ABCDEF2.md", "x (conflicted copy).md",
                             ".Diary.md.syncthing.tmp", "Note_conflict-2025.md"})
        EXPECT_FALSE(isConflictCopyName(QString::fromUtf8(name))) << name;
}

TEST(ConflictCopies, TheCopiesOfANoteAreFoundBesideItOldestFirst) {
    TempFolder folder;
    for (const char* name : {"Diary.md", "Diary.sync-conflict-20261207-161500-BBBBBBB.md",
                             "Diary (conflicted copy 2026-12-06 101010).md",
                             "Diary2.sync-conflict-20261207-161500-BBBBBBB.md", "Other.md"})
        ASSERT_TRUE(writeBytes(folder.file(QString::fromUtf8(name)), "x"));
    QStringList found;
    for (const ConflictCopy& copy : conflictCopiesOf(folder.file("Diary.md")))
        found << QFileInfo(copy.path).fileName();
    EXPECT_EQ(found, (QStringList{"Diary (conflicted copy 2026-12-06 101010).md",
                                  "Diary.sync-conflict-20261207-161500-BBBBBBB.md"}));
}

TEST(ConflictCopies, ThisComputerAndTheSyncedFolderComeFromTheDefaultsOrTheOverrides) {
    TempFolder folder;
    ASSERT_TRUE(QDir().mkpath(folder.file("Synced/Documents")));
    overrideSyncFolderPath(folder.file("Synced"));
    overrideThisDeviceID(QStringLiteral("abcdef2-GHIJKLM-NOPQRST-UVWXYZ2-3456723-4567234-5672345-6723456"));
    EXPECT_TRUE(isSyncedItem(folder.file("Synced/Documents/Note.md")));
    EXPECT_FALSE(isSyncedItem(folder.file("SyncedNot/Note.md")));
    EXPECT_FALSE(isSyncedItem(folder.file("Synced")));

    ConflictCopyName copy{"Note.md", QDateTime::currentDateTime(), "ABCDEF2"};
    EXPECT_TRUE(savedByThisComputer(copy));
    copy.device = "ZZZZZZZ";
    EXPECT_FALSE(savedByThisComputer(copy));
    copy.device = QSysInfo::machineHostName();
    EXPECT_TRUE(savedByThisComputer(copy));
    copy.device.clear(); // the engine copies only the local file it could not upload
    EXPECT_TRUE(savedByThisComputer(copy));

    overrideSyncFolderPath(QString());
    EXPECT_FALSE(isSyncedItem(folder.file("Synced/Documents/Note.md")));
    overrideSyncFolderPath(std::nullopt);
    overrideThisDeviceID(std::nullopt);
}

} // namespace
} // namespace quillet::platform
