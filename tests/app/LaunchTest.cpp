// A launch as the user sees it: the note read while the window is built and shown with it, its
// stored caret kept through the idle timers, the keyboard in the editor, and the start-up report
// waiting for the note.

#include "ShellTestSupport.h"
#include "app/StartupReport.h"
#include "platform/ExtendedAttributes.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

using LaunchTest = ShellTest;
using platform::seconds;

const QByteArray kPlan = "# Plan\n\nsteps to take, then more steps\n";

QString storedCaret(const QString& path) {
    const auto stored = platform::readAttribute(path, QStringLiteral("text.selectedRange"), 100);
    return stored.ok() ? QString::fromUtf8(*stored) : QString();
}

TEST_F(LaunchTest, TheNoteComesWithTheWindowWithItsCaretKeptAndTheKeyboardInTheEditor) {
    writeNote(QStringLiteral("plan.md"), kPlan);
    const QString path = notePath(QStringLiteral("plan.md"));
    ASSERT_TRUE(platform::writeAttribute(path, QStringLiteral("text.selectedRange"), "{14, 4}").ok);
    delegate = std::make_unique<AppDelegate>(*defaults, dispatcher);
    delegate->applicationWillFinishLaunching(path);
    dispatcher.runPending(); // the read, on a worker while the window is built
    makeWindow();
    delegate->applicationDidFinishLaunching(path);
    // No turn of the main queue since: the window is shown with the note already in it.
    EXPECT_EQ(editor().string(), QString::fromUtf8(kPlan));
    EXPECT_EQ(editor().selectedRange(), (Range{14, 4}));

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::setActiveWindow(window.get());
    EXPECT_EQ(QApplication::focusWidget(), editor().textView());

    // Idle: focus changes, the first-line scan, the autosave and the disk checks come and go.
    QEvent deactivate(QEvent::ActivationChange);
    QApplication::sendEvent(window.get(), &deactivate);
    dispatcher.advance(seconds(10));
    QTest::qWait(50);
    dispatcher.advance(seconds(10));
    EXPECT_EQ(editor().selectedRange(), (Range{14, 4}));
    EXPECT_EQ(storedCaret(path), QStringLiteral("{14, 4}"));
    EXPECT_EQ(fileBytes(path), kPlan);

    // A caret the user moves is stored.
    editor().textView()->moveCursor(QTextCursor::End);
    delegate->receiveSleepNotification();
    dispatcher.runPending();
    EXPECT_EQ(storedCaret(path), QStringLiteral("{%1, 0}").arg(kPlan.size()));
}

// A later launch hands "--open" of the open note to this window, which comes to the front: the
// caret stored meanwhile by another program stays, as nobody moved this window's caret.
TEST_F(LaunchTest, ALaterLaunchOfTheOpenNoteKeepsTheStoredCaret) {
    writeNote(QStringLiteral("plan.md"), kPlan);
    const QString path = notePath(QStringLiteral("plan.md"));
    launch(path);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(platform::writeAttribute(path, QStringLiteral("text.selectedRange"), "{14, 4}").ok);
    delegate->openFromOtherInstance({QStringLiteral("--open"), path});
    QEvent activate(QEvent::ActivationChange);
    QApplication::sendEvent(window.get(), &activate);
    dispatcher.advance(seconds(10));
    EXPECT_EQ(storedCaret(path), QStringLiteral("{14, 4}"));
}

TEST_F(LaunchTest, TheStartupReportWaitsForTheNoteInThePaintedWindow) {
    writeNote(QStringLiteral("plan.md"), kPlan);
    const QString path = notePath(QStringLiteral("plan.md"));
    delegate = std::make_unique<AppDelegate>(*defaults, dispatcher);
    makeWindow();
    dispatcher.runPending();
    delegate->applicationDidFinishLaunching(path); // read on a worker the test has not run yet
    ASSERT_TRUE(delegate->opensNoteAtLaunch());
    QString reported;
    int reports = 0;
    new StartupReport(*window, true, [&] {
        ++reports;
        reported = editor().string();
    });
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->repaint();
    QTest::qWait(50);
    EXPECT_EQ(reports, 0) << "painted, but without the note";

    dispatcher.runPending();
    EXPECT_TRUE(QTest::qWaitFor([&] { return reports > 0; }, 5000));
    EXPECT_EQ(reported, QString::fromUtf8(kPlan));
    editor().textView()->viewport()->repaint();
    QTest::qWait(20);
    EXPECT_EQ(reports, 1);
}

} // namespace
} // namespace quillet::testing
