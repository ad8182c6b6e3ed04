#pragma once
// A main window with its real panes in a temporary home, driven by a virtual clock.

#include "app/AppDelegate.h"
#include "app/WindowController.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"
#include "platform/Containers.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"
#include "tests/support/TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <memory>

namespace quillet::testing {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        container = platform::localContainerPath();
        ASSERT_TRUE(QDir().mkpath(container));
        defaults = std::make_unique<platform::UserDefaults>(home.path() + QStringLiteral("/settings.ini"));
    }
    void TearDown() override {
        delegate.reset();
        window.reset();
    }

    void writeNote(const QString& name, const QByteArray& bytes) {
        QFile file(notePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QString notePath(const QString& name) const { return container + QLatin1Char('/') + name; }

    // The window and the delegate as the application makes them at launch: the note is read
    // while the window is built.
    void launch(const std::optional<QString>& notePath = std::nullopt) {
        delegate = std::make_unique<AppDelegate>(*defaults, dispatcher);
        delegate->applicationWillFinishLaunching(notePath);
        makeWindow();
        dispatcher.runPending();
        delegate->applicationDidFinishLaunching(notePath);
        dispatcher.runPending();
    }
    void makeWindow() {
        LocalContainerSetup setup{container, false,
                                  [](const QString&) { return std::optional<QByteArray>(); }};
        window = std::make_unique<WindowController>(*defaults, dispatcher, setup);
        window->setURLOpener([this](const QUrl& url) { openedURLs.append(url); });
    }

    ViewController& controller() { return *window->viewController(); }
    MarkdownViewController& editor() { return *controller().markdownViewController(); }
    QString openPath() {
        const FileRep note = controller().lastFileRepresentation();
        return note ? note->path() : QString();
    }

    void typeAtEnd(const QString& text) {
        QTextCursor cursor(editor().textView()->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
        dispatcher.runPending();
    }

    TemporaryHome home;
    QString container;
    platform::ManualDispatcher dispatcher;
    std::unique_ptr<platform::UserDefaults> defaults;
    std::unique_ptr<WindowController> window;
    std::unique_ptr<AppDelegate> delegate;
    QList<QUrl> openedURLs;
};

} // namespace quillet::testing
