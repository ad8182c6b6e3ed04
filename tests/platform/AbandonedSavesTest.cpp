#include "platform/AbandonedSaves.h"

#include "PlatformTestSupport.h"
#include "platform/PosixFiles.h"
#include "platform/SaveFileNames.h"
#include "platform/TextFiles.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace quillet::platform {
namespace {

using save_files::Stage;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

QStringList everything(const TempFolder& folder) {
    QStringList names = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Sets the file's modification time `seconds` from a fixed past moment.
void age(const QString& path, int seconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {1'600'000'000 + seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// A temporary file a save of `note` left at `stage`, written at `time`.
QString leftBy(const TempFolder& folder, const QString& note, Stage stage, const QByteArray& text, int time) {
    const QByteArray writing = save_files::writingName(QFile::encodeName(note));
    const QByteArray name = stage == Stage::writing    ? writing
                            : stage == Stage::complete ? save_files::completeName(writing)
                                                       : '.' + QFile::encodeName(note) + ".a1B2c3";
    const QString path = folder.file(QFile::decodeName(name));
    EXPECT_TRUE(writeBytes(path, text));
    age(path, time);
    return path;
}

QString note(const TempFolder& folder, const QString& name, const QByteArray& text, int time) {
    EXPECT_TRUE(writeBytes(folder.file(name), text));
    age(folder.file(name), time);
    return folder.file(name);
}

TEST(AbandonedSaves, PartsAndOutdatedTextsGoAndOtherHiddenFilesStay) {
    TempFolder folder;
    note(folder, "a.md", "saved", 100);
    leftBy(folder, "a.md", Stage::writing, "newer but cut sh", 200);
    leftBy(folder, "a.md", Stage::complete, "older", 50);
    leftBy(folder, "a.md", Stage::complete, "saved", 150); // newer, yet the same text
    leftBy(folder, "gone.md", Stage::writing, "part", 50);
    leftBy(folder, "b.md", Stage::earlier, "older", 50); // goes: the note changed after it
    note(folder, "b.md", "b", 100);
    note(folder, "e.md", "e", 100);
    leftBy(folder, "e.md", Stage::earlier, "older", 50); // its time set since: may be rsync's
    note(folder, "c.md", "c", 100);
    leftBy(folder, "c.md", Stage::earlier, "newer", 200); // may be whole, or another program's
    leftBy(folder, "d.md", Stage::earlier, "no note", 50);
    for (const char* other : {".hidden", ".a.md.abc", ".a.md.a1B2c3.saving", ".a.md.a-B2c3.quillet-saved"})
        ASSERT_TRUE(writeBytes(folder.file(other), "not ours"));

    const auto recovered = recoverAbandonedSaves(folder.path());
    ASSERT_TRUE(recovered.ok());
    EXPECT_TRUE(recovered->isEmpty());
    EXPECT_EQ(everything(folder),
              (QStringList{".a.md.a-B2c3.quillet-saved", ".a.md.a1B2c3.saving", ".a.md.abc", ".c.md.a1B2c3",
                           ".d.md.a1B2c3", ".e.md.a1B2c3", ".hidden", "a.md", "b.md", "c.md", "e.md"}));
    EXPECT_EQ(readBytes(folder.file("a.md")), "saved");
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

TEST(AbandonedSaves, ANewerWholeTextBecomesANoteBesideItsOwnReplacingNothing) {
    TempFolder folder;
    note(folder, "a.md", "old", 100);
    note(folder, "a (recovered).md", "an earlier recovery", 10);
    const QString left = leftBy(folder, "a.md", Stage::complete, "new", 200);
    ASSERT_EQ(::chmod(QFile::encodeName(left).constData(), 0640), 0); // what the save gave it
    leftBy(folder, "new", Stage::complete, "never saved before", 200);

    auto recovered = recoverAbandonedSaves(folder.path());
    ASSERT_TRUE(recovered.ok());
    recovered->sort();
    EXPECT_EQ(*recovered, (QStringList{folder.file("a (recovered) 2.md"), folder.file("new (recovered)")}));
    EXPECT_EQ(everything(folder),
              (QStringList{"a (recovered) 2.md", "a (recovered).md", "a.md", "new (recovered)"}));
    EXPECT_EQ(readBytes(folder.file("a (recovered) 2.md")), "new");
    EXPECT_EQ(readBytes(folder.file("a (recovered).md")), "an earlier recovery");
    EXPECT_EQ(readBytes(folder.file("a.md")), "old");
    EXPECT_EQ(modeOf(folder.file("a (recovered) 2.md")), mode_t(0640));
}

TEST(AbandonedSaves, ASaveStillRunningIsLeftAlone) {
    TempFolder folder;
    note(folder, "a.md", "old", 100);
    const QString writing = leftBy(folder, "a.md", Stage::writing, "part", 200);
    const QString complete = leftBy(folder, "a.md", Stage::complete, "new", 200);
    posix::FileDescriptor one(::open(QFile::encodeName(writing).constData(), O_RDONLY | O_CLOEXEC));
    posix::FileDescriptor other(::open(QFile::encodeName(complete).constData(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(::flock(one.get(), LOCK_EX), 0);
    ASSERT_EQ(::flock(other.get(), LOCK_EX), 0);

    const auto recovered = recoverAbandonedSaves(folder.path());
    ASSERT_TRUE(recovered.ok());
    EXPECT_TRUE(recovered->isEmpty());
    EXPECT_EQ(everything(folder).size(), 3);
    EXPECT_EQ(recoverAbandonedSaves(folder.file("missing")).status.errorCode, ENOENT);
}

TEST(AbandonedSaves, NotesWithNamesNearTheLengthLimitSaveAndAreRecovered) {
    TempFolder folder;
    const QString name = QString(125, QChar(0x00E9)) + ".md"; // 253 bytes
    ASSERT_TRUE(writeUtf8FileAtomically(folder.file(name), "old").ok);
    age(folder.file(name), 100);
    leftBy(folder, name, Stage::complete, "new", 200);

    const auto recovered = recoverAbandonedSaves(folder.path());
    ASSERT_TRUE(recovered.ok());
    ASSERT_EQ(recovered->size(), 1);
    const QString kept = QFileInfo(recovered->front()).fileName();
    EXPECT_TRUE(kept.startsWith(QString(100, QChar(0x00E9))));
    EXPECT_TRUE(kept.endsWith(QChar(0x00E9) + QStringLiteral(" (recovered).md"))); // no half character
    EXPECT_LE(QFile::encodeName(kept).size(), 255);
    EXPECT_EQ(readBytes(recovered->front()), "new");
    EXPECT_EQ(readBytes(folder.file(name)), "old");
}

} // namespace
} // namespace quillet::platform
