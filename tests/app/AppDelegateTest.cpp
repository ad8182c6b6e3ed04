#include "QtPrinting.h"
#include "ShellTestSupport.h"
#include "app/MarkdownStyleSheets.h"

#include <QApplication>
#include <QCloseEvent>
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

TEST_F(AppDelegateTest, QuittingWithUnsavedTextSavesFirst) {
    writeNote(QStringLiteral("draft.md"), "draft\n");
    launch(notePath(QStringLiteral("draft.md")));
    ASSERT_EQ(openPath(), notePath(QStringLiteral("draft.md")));
    EXPECT_TRUE(delegate->applicationShouldTerminate()) << "nothing to save: quit at once";

    typeAtEnd(QStringLiteral("more\n"));
    ASSERT_TRUE(editor().documentDirty());
    EXPECT_FALSE(delegate->applicationShouldTerminate());
    EXPECT_FALSE(delegate->applicationShouldTerminate()) << "asking again waits for the same save";
    dispatcher.runPending();

    EXPECT_EQ(fileBytes(notePath(QStringLiteral("draft.md"))), QByteArray("draft\nmore\n"));
    EXPECT_FALSE(editor().documentDirty());
    EXPECT_TRUE(delegate->applicationShouldTerminate());
}

TEST_F(AppDelegateTest, ClosingTheWindowWithUnsavedTextKeepsItOpenUntilSaved) {
    writeNote(QStringLiteral("draft.md"), "draft\n");
    launch(notePath(QStringLiteral("draft.md")));
    typeAtEnd(QStringLiteral("late words\n"));

    QCloseEvent event;
    QApplication::sendEvent(window.get(), &event);
    EXPECT_FALSE(event.isAccepted());
    dispatcher.runPending();
    EXPECT_EQ(fileBytes(notePath(QStringLiteral("draft.md"))), QByteArray("draft\nlate words\n"));
    EXPECT_TRUE(defaults->contains(QStringLiteral("Quillet/geometry")))
        << "the frame is kept for the next launch";

    QCloseEvent again;
    QApplication::sendEvent(window.get(), &again);
    EXPECT_TRUE(again.isAccepted());
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
