#pragma once
// The browser pane on a real temporary container, with a main controller that records what the
// pane asks of it.

#include "../BrowserTestSupport.h"
#include "browser/BrowserCommands.h"
#include "browser/BrowserHost.h"
#include "browser/view/FolderViewController.h"
#include "browser/view/NoteTreeModel.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTreeView>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <utime.h>

namespace quillet::testing {

using Calls = std::vector<std::string>;

// Occurrences line by line, ignoring case; the fragment is the whole line.
inline SearchResults occurrences(const QString& target, const QString& text) {
    SearchResults results;
    std::size_t offset = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const auto length = std::size_t(line.size());
        for (qsizetype at = line.indexOf(target, 0, Qt::CaseInsensitive); at >= 0;
             at = line.indexOf(target, at + target.size(), Qt::CaseInsensitive))
            results.push_back(
                {{std::size_t(at), std::size_t(target.size())}, {offset, length}, {0, length}, line});
        offset += length + 1;
    }
    return results;
}

class RecordingHost final : public BrowserHost {
public:
    static QString textOf(const FileRep& note) {
        QFile file(note->path());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void openDocument(const FileRep& note) override {
        calls.push_back("open " + RecordingView::name(note));
        open = note;
        if (whenOpened) whenOpened(note);
    }
    void openDocument(const FileRep& note, Range selection) override {
        openDocument(note);
        setSelectedRange(selection);
    }
    void closeDocument() override {
        calls.push_back("close");
        open = nullptr;
    }
    void setSelectedRange(Range range) override { calls.push_back("select " + range.toString()); }
    FileRep lastFileRepresentation() const override { return open; }
    void enterOutlineMode(bool on) override { calls.push_back(on ? "outline on" : "outline off"); }
    bool searchResults(const QString& target, const FileRep& note) override {
        searches.push_back("results " + RecordingView::name(note));
        auto results = std::make_shared<const SearchResults>(occurrences(target, textOf(note)));
        const auto store = [note, results] { note->setSearchResults(results); };
        if (resultsLater)
            late.push_back(store); // as from a background read: deliverResults() stores them
        else
            store();
        return !resultsLater && !results->empty();
    }
    void findString(const QString& target, const FileRep& note) override {
        searches.push_back("find " + RecordingView::name(note));
        if (!occurrences(target, textOf(note)).empty()) note->setHasSearchTarget(true);
    }
    void deliverResults() {
        for (const auto& store : std::exchange(late, {}))
            store();
    }

    Calls takeCalls() { return std::exchange(calls, {}); }

    Calls calls;    // what acts on the editor and the open note
    Calls searches; // what the view asks to find
    FileRep open;
    bool resultsLater = false;
    std::vector<std::function<void()>> late;
    std::function<void(const FileRep&)> whenOpened; // what the real controller does besides
};

// The main controller's note operations, recorded as "what name [to target at index]".
class RecordingCommands final : public BrowserCommands {
public:
    void showNoteInfoForFileRep(const FileRep& item) override { add("info", item); }
    void changeEditState(int state, const FileRep& item) override { add(state == 0 ? "lock" : "unlock", item); }
    void createFile(const FileRep& folder) override { add("createFile", folder); }
    void newNoteInFileRep(const FileRep& folder) override { add("newNote", folder); }
    void moveFileRep(const FileRep& item, const FileRep& target, int index, bool deletingAfter) override {
        add("move", item, target, index, deletingAfter ? " deleting" : "");
    }
    void deleteNote(const FileRep& item) override { add("deleteNote", item); }
    void deleteNoteInFileRep(const FileRep& item) override { add("deleteNoteNow", item); }
    void deleteFolder(const FileRep& folder) override { add("deleteFolder", folder); }
    void copyToFileRep(const FileRep& item) override { add("copyTo", item); }
    bool copyFile(const QString& path, const FileRep& target, int index, bool needsToOpen) override {
        calls.push_back("copy " + QFileInfo(path).fileName().toStdString() + " to " + RecordingView::name(target) +
                        " at " + std::to_string(index) + (needsToOpen ? " open" : ""));
        return copySucceeds;
    }
    void filenameDidChange(const FileRep& renamed) override {
        calls.push_back("rename " + RecordingView::name(renamed) + " to " + renamed->filename->toStdString());
        this->renamed = renamed;
    }
    bool hasSyncedContainer() const override { return synced; }
    void showAlert(const QString& message, const QString& informativeText) override {
        calls.push_back("alert " + message.toStdString() + " | " + informativeText.toStdString());
    }
    Calls takeCalls() { return std::exchange(calls, {}); }

    Calls calls;
    FileRep renamed;
    bool synced = false;
    bool copySucceeds = true;

private:
    void add(const std::string& what, const FileRep& item, const FileRep& target = nullptr, int index = 0,
             const std::string& rest = "") {
        calls.push_back(what + " " + RecordingView::name(item) +
                        (target ? " to " + RecordingView::name(target) + " at " + std::to_string(index) : "") + rest);
    }
};

// `Dispatcher` runs the pane's delays: a virtual clock, or the real event loop and workers.
template <typename Dispatcher> class PaneFixture : public ::testing::Test {
protected:
    QString at(const QString& relative) const { return container + QLatin1Char('/') + relative; }
    // A note, and its modification time in seconds when one is given.
    void write(const QString& relative, const QByteArray& text = "text\n", qint64 modified = -1) {
        writeFile(at(relative), text);
        if (modified >= 0) touch(relative, modified);
    }
    void touch(const QString& relative, qint64 modified) {
        const utimbuf times{time_t(modified), time_t(modified)};
        ASSERT_EQ(utime(QFile::encodeName(at(relative)).constData(), &times), 0);
    }
    void showPane() {
        defaults = std::make_unique<platform::UserDefaults>(dir.filePath("defaults.ini"));
        browser = std::make_unique<FolderViewController>(*defaults, dispatcher);
        browser->setHost(&host);
        browser->resize(320, 600);
        browser->show();
        browser->loadTree({container, false, {}});
        view()->expand(top());
    }

    QTreeView* view() const { return browser->outlineView(); }
    NoteTreeModel* model() const { return browser->treeModel(); }
    QModelIndex top() const { return model()->indexOfRecord(browser->noteTree().localTop()); }
    FileRep record(const QString& relative) const {
        return NoteTree::findFileRep(QUrl::fromLocalFile(at(relative)), browser->noteTree().localTop());
    }
    QModelIndex rowOf(const QString& relative) const { return model()->indexOfRecord(record(relative)); }
    QStringList namesUnder(const QModelIndex& parent) const {
        QStringList names;
        for (int row = 0; row < model()->rowCount(parent); ++row)
            names << model()->index(row, 0, parent).data().toString();
        return names;
    }

    QTemporaryDir dir;
    QString container = dir.filePath("Documents");
    std::unique_ptr<platform::UserDefaults> defaults;
    Dispatcher dispatcher;
    RecordingHost host;
    std::unique_ptr<FolderViewController> browser;
};

// Newest first: "Alpha" (with headers), "Beta" (two lines with "beta"), "Folder" (with "Inner").
class BrowserPaneTest : public PaneFixture<platform::ManualDispatcher> {
protected:
    void SetUp() override {
        write("Alpha.md", "# A\nalpha\n## B\nbeta\n# C\ngamma\n", 3000);
        write("Beta.md", "beta one\nnothing\nanother beta\n", 2000);
        write("Folder/Inner.md", "inner beta\n", 1500);
        touch("Folder", 1000);
        showPane();
    }
    std::string selectedName() const { return RecordingView::name(browser->selectedItem()); }
    void click(const QModelIndex& index) {
        ASSERT_TRUE(index.isValid());
        view()->scrollTo(index);
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(index).center());
    }
    // Opens the note as a click does, and forgets the calls.
    void openByClick(const QString& relative) {
        click(rowOf(relative));
        dispatcher.advance(platform::seconds(0.1));
        host.takeCalls();
    }
};

// Notes, a folder, and the "CSS" and "Script" folders with a style sheet and a script, with the
// main controller's note operations recorded.
class RowCommandsTest : public PaneFixture<platform::ManualDispatcher> {
protected:
    void SetUp() override {
        write("Note.md", "note text\n", 3000);
        write("Other.md", "other\n", 2500);
        write("Folder/Inner.md", "inner\n", 2000);
        write("CSS/style.css", "body {}\n", 1500);
        write("Script/run.py", "print(1)\n", 1000);
        showPane();
        browser->setCommands(&commands);
    }
    // The titles of the context menu of the row, after it was rebuilt for it.
    QStringList menuOf(const QModelIndex& row) {
        browser->menuNeedsUpdate(row);
        QStringList titles;
        for (const QAction* action : browser->contextMenu()->actions())
            titles << action->text();
        return titles;
    }
    QAction* menuItem(const QModelIndex& row, const QString& title) {
        browser->menuNeedsUpdate(row);
        for (QAction* action : browser->contextMenu()->actions())
            if (action->text() == title) return action;
        ADD_FAILURE() << "no item " << title.toStdString();
        return nullptr;
    }
    void trigger(const QModelIndex& row, const QString& title) {
        if (QAction* action = menuItem(row, title)) action->trigger();
    }

    RecordingCommands commands;
};

} // namespace quillet::testing
