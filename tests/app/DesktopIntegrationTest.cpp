// The parts of the window a desktop relies on: the Japanese catalogue, the read-only guide, the
// launcher's "New Note", and what screen readers and the keyboard reach.

#include "ShellTestSupport.h"
#include "app/HelpGuide.h"
#include "app/LaunchOptions.h"
#include "app/Translations.h"
#include "app/WebViewController.h"
#include "app/WindowActions.h"
#include "browser/NoteTree.h"
#include "browser/view/FolderViewController.h"
#include "platform/DataFiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <QTreeView>
#include <QWebEngineView>

namespace quillet::testing {
namespace {

class DesktopIntegrationTest : public ShellTest {
protected:
    void TearDown() override {
        // Back to English for the other tests.
        qDeleteAll(qApp->findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly));
        ShellTest::TearDown();
    }
    QStringList noteFiles() const { return QDir(container).entryList({"*.md"}, QDir::Files); }
};

TEST_F(DesktopIntegrationTest, TheFirstLanguageWithACatalogueTranslatesEveryLayerAndQt) {
    EXPECT_EQ(installTranslations(*qApp, {"fr-FR", "en-GB", "ja"}), QString()) << "English comes first";
    ASSERT_EQ(installTranslations(*qApp, {"fr-FR", "ja-JP"}), QStringLiteral("ja"));
    EXPECT_EQ(qApp->findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly).size(), 2)
        << "Quillet's own and Qt's qtbase";

    launch();
    WindowActions& actions = window->actions();
    EXPECT_EQ(actions.newNote->text(), QStringLiteral("新規ノート"));
    EXPECT_EQ(actions.helpItems.first()->text(), QStringLiteral("Quillet ヘルプ(&H)"));
    EXPECT_EQ(actions.markdownButtons.first()->toolTip(), QStringLiteral("見出し記号を挿入"));
    // A text the browser looks up in a context of its own; Qt's own dialogs.
    QTreeView* tree = controller().folderViewController()->outlineView();
    EXPECT_EQ(tree->model()->index(0, 0).data().toString(), QStringLiteral("このコンピュータ"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
}

TEST_F(DesktopIntegrationTest, TheGuideIsFoundForTheLanguageAndShownWithoutEverBeingWritten) {
    const QString shipped = platform::dataFolder();
    const QString english = helpGuidePath(shipped, {"de-DE", "en"});
    const QString japanese = helpGuidePath(shipped, {"ja_JP"});
    EXPECT_TRUE(english.endsWith("/guide/Quillet Guide.md")) << english.toStdString();
    EXPECT_TRUE(japanese.endsWith("/guide/ja/Quillet Guide.md")) << japanese.toStdString();
    EXPECT_EQ(helpGuidePath(home.path(), {"en"}), QString());

    // A guide of this test's own, in a data folder of its own.
    const QString folder = home.path() + "/data";
    const QString guide = folder + "/guide/Quillet Guide.md";
    QDir().mkpath(folder + "/guide");
    QFile file(guide);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write("# Guide\n\nRead **me** now.\n");
    file.flush();
    const QDateTime written = QFileInfo(guide).lastModified();
    writeNote("mine.md", "# Mine\n");
    launch(notePath("mine.md"));
    window->setDataFolder(folder);
    window->actions().helpItems.first()->trigger();

    HelpGuideWindow* shown = window->helpGuideWindow();
    ASSERT_TRUE(shown && shown->isVisible());
    QTextBrowser* view = shown->view();
    EXPECT_TRUE(view->toPlainText().contains("Read me now.")) << view->toPlainText().toStdString();
    EXPECT_TRUE(view->isReadOnly());
    view->setFocus();
    QTest::keyClicks(view, "typed");
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_FALSE(view->toPlainText().contains("typed"));
    dispatcher.advance(platform::seconds(10)); // past every autosave
    window->close();
    file.seek(0);
    EXPECT_EQ(file.readAll(), QByteArray("# Guide\n\nRead **me** now.\n"));
    EXPECT_EQ(QFileInfo(guide).lastModified(), written);
    EXPECT_EQ(QDir(folder + "/guide").entryList(QDir::Files | QDir::Hidden), QStringList{"Quillet Guide.md"});
    EXPECT_EQ(openPath(), notePath("mine.md")) << "the guide is not the open note";
    EXPECT_FALSE(controller().folderViewController()->noteTree().findFileRep(QUrl::fromLocalFile(guide)));
}

TEST_F(DesktopIntegrationTest, NewNoteFromTheLauncherAtLaunchAndFromASecondLaunch) {
    EXPECT_TRUE(LaunchOptions::parse({"quillet", "--new-note"}).newNote);
    EXPECT_FALSE(LaunchOptions::parse({"quillet", "a.md"}).newNote);

    writeNote("old.md", "# Old\n");
    launch(notePath("old.md"));
    const QStringList before = noteFiles();
    delegate->openFromOtherInstance({"--new-note"});
    dispatcher.runPending();
    const QStringList after = noteFiles();
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_NE(openPath(), notePath("old.md"));
    EXPECT_TRUE(after.contains(QFileInfo(openPath()).fileName())) << openPath().toStdString();
}

TEST_F(DesktopIntegrationTest, ScreenReadersHearEveryControlAndTabWalksThePanesInOrder) {
    writeNote("n.md", "# N\n");
    launch(notePath("n.md"));
    QSignalSpy ready(window->webViewController(), &WebViewController::previewReady);
    controller().showPreview(true);
    dispatcher.runPending(); // the preview's page, and with it the web view
    ASSERT_TRUE(!ready.isEmpty() || ready.wait(20000));
    QToolBar* toolbar = window->findChild<QToolBar*>();
    ASSERT_TRUE(toolbar);
    for (QAction* action : toolbar->actions()) {
        auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action));
        if (!button) continue; // separators, and the sort popup and search field below
        // The preview's button has followed its action's new title ("Hide Preview").
        EXPECT_EQ(button->accessibleName(), QString(action->text()).remove('&'));
        EXPECT_FALSE(button->accessibleDescription().isEmpty()) << action->text().toStdString();
    }
    // The sort popup is in the View menu too.
    window->actions().sortModes[1]->trigger();
    EXPECT_EQ(window->sortOptionPopup()->currentIndex(), 1);
    EXPECT_EQ(defaults->string(QString::fromLatin1(platform::defaults_keys::kLastSortMode)),
              QStringLiteral("Name"));
    window->sortOptionPopup()->setCurrentIndex(0);
    EXPECT_TRUE(window->actions().sortModes[0]->isChecked());

    QTreeView* tree = controller().folderViewController()->outlineView();
    QWidget* text = editor().textView();
    QWidget* view = window->webViewController()->webView();
    ASSERT_TRUE(view);
    QWidget* preview = view->focusProxy() ? view->focusProxy() : view;
    for (QWidget* widget :
         {static_cast<QWidget*>(tree), text, view, static_cast<QWidget*>(window->searchField()),
          static_cast<QWidget*>(window->sortOptionPopup())}) {
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className();
        EXPECT_FALSE(widget->accessibleDescription().isEmpty()) << widget->metaObject()->className();
    }

    // Tab's walk, as QWidget::focusNextChild takes it: the widgets that take the focus by Tab.
    QList<QWidget*> order;
    const QList<QWidget*> watched{tree, text, preview, window->searchField()};
    QWidget* widget = tree;
    for (int step = 0; step < 500 && order.size() < watched.size();
         ++step, widget = widget->nextInFocusChain())
        if (watched.contains(widget) && !order.contains(widget)) order.append(widget);
    EXPECT_EQ(order, watched);
}

} // namespace
} // namespace quillet::testing
