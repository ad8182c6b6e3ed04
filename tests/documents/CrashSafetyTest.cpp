// A note being saved is whole whenever the saving process dies: it holds the old text or the
// new one, never an empty or cut file.

#include "helpers/SaveLoopTexts.h"
#include "platform/TextFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <random>
#include <signal.h>

namespace quillet::testing {
namespace {

TEST(CrashSafety, ANoteKilledWhileSavingIsAlwaysWhole) {
    QTemporaryDir folder;
    const QString note = folder.filePath("Note.md");
    const QString texts[] = {saveLoopText(0), saveLoopText(1)};
    ASSERT_TRUE(platform::writeUtf8FileAtomically(note, texts[0]).ok);

    std::mt19937 random(20241206);
    std::uniform_int_distribution<int> savesToWaitFor(1, 4), killDelayUs(0, 20000);
    int sawEach[2] = {0, 0};
    for (int run = 0; run < 50; ++run) {
        QProcess saver;
        saver.start(QStringLiteral(QUILLET_NOTE_SAVE_LOOP), {note});
        ASSERT_TRUE(saver.waitForStarted(10000));
        // Some saves done, then a kill at a random moment of the following ones.
        for (int reported = 0, wanted = savesToWaitFor(random); reported < wanted;) {
            ASSERT_TRUE(saver.canReadLine() || saver.waitForReadyRead(10000))
                << "the save loop stopped reporting";
            for (; saver.canReadLine() && reported < wanted; ++reported)
                saver.readLine();
        }
        QThread::usleep(static_cast<unsigned long>(killDelayUs(random)));
        ::kill(static_cast<pid_t>(saver.processId()), SIGKILL);
        ASSERT_TRUE(saver.waitForFinished(10000));
        EXPECT_EQ(saver.exitStatus(), QProcess::CrashExit)
            << "the loop ended on its own: " << saver.readAllStandardError().toStdString();

        const platform::TextReadResult read = platform::readUtf8File(note);
        ASSERT_TRUE(read.ok()) << "run " << run << ": " << read.status.description.toStdString();
        const int which = *read.text == texts[0] ? 0 : *read.text == texts[1] ? 1 : -1;
        ASSERT_NE(which, -1) << "run " << run << ": a note of " << read.text->size()
                             << " units is neither text";
        ++sawEach[which];
    }
    // Both texts were caught on disk, so the kills did land in the middle of saving.
    EXPECT_GT(sawEach[0], 0);
    EXPECT_GT(sawEach[1], 0);
}

} // namespace
} // namespace quillet::testing
