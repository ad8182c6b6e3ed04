#include "QtPrinting.h"
#include "ShellTestSupport.h"
#include "app/MarkdownStyleSheets.h"
#include "documents/RecoveryFile.h"
#include "platform/ItemLock.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

using AppDelegateTest = ShellTest;

TEST_F(AppDelegateTest, LaunchReopensTheLastNoteAndInstallsTheStyleSheets) {
    writeNote(QStringLiteral("plan.md"), "# Plan\n\nsteps\n");
    defaults->setObject(QString::fromLatin1(platform::defaults_keys::kLastOpenedFilepath),
                        notePath(QStringLiteral("plan.md")));
    launch();

    ASSERT_EQ(delegate->window(), window.get());
    EXPECT_EQ(openPath(), notePath(QStringLiteral("plan.md")));
    EXPECT_EQ(editor().string(), QStringLiteral("# Plan\n\nsteps\n"));
    for (const QString& name : bundledStyleSheetNames())
        EXPECT_TRUE(QFile::exists(container + QStringLiteral("/CSS/") + name)) << name.toStdString();
    EXPECT_EQ(defaults->string(QString::fromLatin1(platform::defaults_keys::kMarkdownStyleVersion)),
              QStringLiteral("1.0"));
}

TEST_F(AppDelegateTest, ANoteNoLongerInTheTreeIsNotReopened) {
    defaults->setObject(QString::fromLatin1(platform::defaults_keys::kLastOpenedFilepath),
                        notePath(QStringLiteral("gone.md")));
    launch();
    EXPECT_FALSE(controller().lastFileRepresentation());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillet"));
}

TEST_F(AppDelegateTest, OpenOptionWinsOverTheStoredNote) {
    writeNote(QStringLiteral("a.md"), "a\n");
    writeNote(QStringLiteral("b.md"), "b\n");
    defaults->setObject(QString::fromLatin1(platform::defaults_keys::kLastOpenedFilepath),
                        notePath(QStringLiteral("a.md")));
    launch(notePath(QStringLiteral("b.md")));
    EXPECT_EQ(openPath(), notePath(QStringLiteral("b.md")));
}

TEST_F(AppDelegateTest, QuittingSavesFirstAndNeverLosesTextThatCannotBeSaved) {
    writeNote(QStringLiteral("draft.md"), "draft\n");
    launch(notePath(QStringLiteral("draft.md")));
    ASSERT_EQ(openPath(), notePath(QStringLiteral("draft.md")));
    typeAtEnd(QStringLiteral("late words\n"));
    QCloseEvent event;
    QApplication::sendEvent(window.get(), &event);
    EXPECT_TRUE(event.isAccepted());
    EXPECT_EQ(fileBytes(notePath(QStringLiteral("draft.md"))), QByteArray("draft\nlate words\n"));
    EXPECT_TRUE(defaults->contains(QStringLiteral("Quillet/geometry"))) << "the frame is kept";

    // A save that fails: the user picks how to quit, and the text always ends up somewhere.
    ASSERT_TRUE(platform::setLocked(notePath(QStringLiteral("draft.md")), true).ok);
    typeAtEnd(QStringLiteral("unsaved\n"));
    int answer = 2;
    delegate->setQuitQuestion([&answer] { return answer; });
    EXPECT_FALSE(delegate->applicationShouldTerminate()) << "Cancel stays";
    const QString elsewhere = home.path() + QStringLiteral("/elsewhere.md");
    delegate->setSaveAsChooser([&elsewhere] { return elsewhere; });
    answer = 0;
    EXPECT_TRUE(delegate->applicationShouldTerminate());
    EXPECT_EQ(fileBytes(elsewhere), QByteArray("draft\nlate words\nunsaved\n"));
}

TEST_F(AppDelegateTest, QuitWithoutSavingKeepsTheTextForRecovery) {
    writeNote(QStringLiteral("draft.md"), "draft\n");
    launch(notePath(QStringLiteral("draft.md")));
    ASSERT_TRUE(platform::setLocked(notePath(QStringLiteral("draft.md")), true).ok);
    typeAtEnd(QStringLiteral("precious\n"));
    delegate->setQuitQuestion([] { return 1; });
    EXPECT_TRUE(delegate->applicationShouldTerminate());
    const QStringList kept = QDir(recoveryFolder()).entryList(QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(fileBytes(recoveryFolder() + QLatin1Char('/') + kept.first()), QByteArray("draft\nprecious\n"));
}

TEST_F(AppDelegateTest, TheTitleFollowsANewFirstLine) {
    writeNote(QStringLiteral("draft.md"), "# Draft\nx\n");
    launch(notePath(QStringLiteral("draft.md")));
    QTextCursor cursor(editor().textView()->document());
    cursor.setPosition(7);
    cursor.insertText(QStringLiteral(" plan"));
    dispatcher.advance(platform::seconds(2.1));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Draft plan"));
    EXPECT_EQ(fileBytes(notePath(QStringLiteral("draft.md"))), QByteArray("# Draft plan\nx\n"));
}

TEST_F(AppDelegateTest, FocusLossAndSuspensionSaveTheNote) {
    writeNote(QStringLiteral("draft.md"), "draft\n");
    launch(notePath(QStringLiteral("draft.md")));
    typeAtEnd(QStringLiteral("x\n"));
    delegate->receiveSleepNotification();
    dispatcher.runPending();
    EXPECT_EQ(fileBytes(notePath(QStringLiteral("draft.md"))), QByteArray("draft\nx\n"));

    typeAtEnd(QStringLiteral("y\n"));
    QEvent deactivate(QEvent::ActivationChange);
    QApplication::sendEvent(window.get(), &deactivate);
    dispatcher.runPending();
    EXPECT_EQ(fileBytes(notePath(QStringLiteral("draft.md"))), QByteArray("draft\nx\ny\n"));
}

} // namespace
} // namespace quillet::testing
