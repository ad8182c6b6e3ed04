#pragma once
// A main controller with its real editor and browser panes, driven by a virtual clock, in a
// temporary home (so the local container, the settings and the temporary folder are private to
// the test), with recording stand-ins for the window, the alerts and the preview.

#include "browser/NoteTree.h"
#include "browser/view/FolderViewController.h"
#include "documents/DocumentAlerts.h"
#include "documents/PreviewPane.h"
#include "documents/DocumentSession.h"
#include "documents/ShellHost.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"
#include "platform/Containers.h"
#include "platform/ExtendedAttributes.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"
#include "tests/support/TemporaryHome.h"

#include <QByteArray>
#include <cstdio>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QWidget>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace quillet::testing {

struct Alert {
    QString message;
    QString informativeText;
};

class RecordingAlerts final : public DocumentAlerts {
public:
    void showAlert(const QString& message, const QString& informativeText) override {
        alerts.push_back({message, informativeText});
    }
    int ask(const QString& message, const QString& informativeText, const QStringList&) override {
        alerts.push_back({message, informativeText});
        return answer;
    }
    std::vector<Alert> alerts;
    int answer = 0; // the button every question is answered with
};

class RecordingShell final : public ShellHost {
public:
    void setEditButtonState(bool editable) override { editButtonStates.push_back(editable); }
    void setSearchFieldEnabled(bool enabled) override { searchFieldStates.push_back(enabled); }
    void previewPaneShown(bool shown) override { previewStates.push_back(shown); }
    std::optional<QString> askNewFileName(const QString& folder, const QString& extension) override {
        askedForNames.push_back(folder + " ." + extension);
        return newFileName;
    }
    std::optional<QString> newFileName; // the answer to "Create File"
    QStringList askedForNames;          // "FOLDER .EXTENSION" of each question
    std::vector<bool> editButtonStates;
    std::vector<bool> searchFieldStates;
    std::vector<bool> previewStates;
};

class RecordingPreview final : public PreviewPane {
public:
    // The splitter takes the widget over and deletes it with the controller.
    QWidget* widget() override { return widget_; }
    void setCssURL(const QUrl& url) override { cssURLs.push_back(url); }
    // Each update is applied as the pane would, and the body it leaves is recorded.
    void showPreviewUpdate(const PreviewUpdate& update, const QUrl& baseURL) override {
        updates.push_back(update);
        if (update.newDocument) body.clear();
        applyPreviewPatch(body, update.patch);
        pages.push_back(body.join(QString()));
        baseURLs.push_back(baseURL);
    }
    void setPaneShown(bool shown) override { shownStates.push_back(shown); }
    std::vector<QUrl> cssURLs;
    std::vector<PreviewUpdate> updates;
    QStringList body;
    std::vector<QString> pages;
    std::vector<QUrl> baseURLs;
    std::vector<bool> shownStates;

private:
    QWidget* widget_ = new QWidget;
};

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

inline QString attribute(const QString& path, const QString& name) {
    const auto value = platform::readAttribute(path, name, 1024);
    return value ? QString::fromUtf8(*value) : QString();
}

class ViewControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        container = platform::localContainerPath();
        ASSERT_TRUE(QDir().mkpath(container));
        defaults = std::make_unique<platform::UserDefaults>(home.path() + "/settings.ini");
        makeController();
    }
    void TearDown() override { controller.reset(); }

    void makeController() {
        controller.reset();
        preview = new RecordingPreview; // the controller's splitter deletes its widget
        previews.emplace_back(preview);
        controller = newController();
        controller->setPreviewPane(preview);
        controller->setShell(&shell);
        controller->setAlerts(&alerts);
        LocalContainerSetup setup{container, false,
                                  [](const QString&) { return std::optional<QByteArray>(); }};
        controller->viewDidLoad(setup);
        dispatcher.runPending();
    }

    virtual std::unique_ptr<ViewController> newController() {
        return std::make_unique<ViewController>(*defaults, dispatcher);
    }

    MarkdownViewController& editor() { return *controller->markdownViewController(); }

    QString notePath(const QString& name) const { return container + "/" + name; }

    FileRep writeNote(const QString& name, const QByteArray& bytes) {
        const QString path = notePath(name);
        writeBytes(path, bytes);
        return FileRepresentation::forPath(path);
    }

    QString editorText() { return editor().string(); }

    // Another program's write: a new file renamed over the note, as most editors save.
    void replaceFromOutside(const QString& path, const QByteArray& bytes) {
        writeBytes(path + ".other", bytes);
        ASSERT_TRUE(::rename(QFile::encodeName(path + ".other"), QFile::encodeName(path)) == 0);
    }
    // What the watcher would make the session do.
    void lookAtDisk() {
        controller->session().checkDisk();
        dispatcher.runPending();
    }

    // Opens the note and lets the background read come back.
    void open(const FileRep& note) {
        controller->openDocument(note);
        dispatcher.runPending();
    }

    // An edit as typing makes it: undoable, through the text view's document.
    void typeAt(int position, const QString& text) {
        QTextCursor cursor(editor().textView()->document());
        cursor.setPosition(position);
        cursor.insertText(text);
        dispatcher.runPending();
    }
    void typeAtEnd(const QString& text) { typeAt(int(editor().string().size()), text); }

    void advance(double seconds) { dispatcher.advance(platform::seconds(seconds)); }

    TemporaryHome home;
    QString container;
    platform::ManualDispatcher dispatcher;
    std::unique_ptr<platform::UserDefaults> defaults;
    RecordingAlerts alerts;
    RecordingShell shell;
    RecordingPreview* preview = nullptr;
    std::vector<std::unique_ptr<RecordingPreview>> previews;
    std::unique_ptr<ViewController> controller;
};

} // namespace quillet::testing
