#pragma once
// The browser pane on a real temporary container, driven by a virtual clock, with a main
// controller that records what the pane asks of it.

#include "browser/BrowserHost.h"
#include "browser/view/FolderViewController.h"
#include "browser/view/NoteTreeModel.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <utime.h>
#include <vector>

namespace quillet::testing {

inline std::string nameOf(const FileRep& note) {
    return note && note->displayName ? note->displayName->toStdString() : std::string("none");
}

inline QString readText(const FileRep& note) {
    QFile file(note->path());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Occurrences line by line, ignoring case; the fragment is the whole line.
inline SearchResults occurrences(const QString& target, const QString& text) {
    SearchResults results;
    std::size_t offset = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        for (qsizetype at = line.indexOf(target, 0, Qt::CaseInsensitive); at >= 0;
             at = line.indexOf(target, at + target.size(), Qt::CaseInsensitive)) {
            const auto lineLength = static_cast<std::size_t>(line.size());
            results.push_back({{static_cast<std::size_t>(at), static_cast<std::size_t>(target.size())},
                               {offset, lineLength},
                               {0, lineLength},
                               line});
        }
        offset += static_cast<std::size_t>(line.size()) + 1;
    }
    return results;
}

// A picture of the pane to look at, when QUILLET_SNAPSHOT_DIR names a folder.
inline void saveSnapshot(QWidget& pane, const QString& name) {
    if (const QByteArray folder = qgetenv("QUILLET_SNAPSHOT_DIR"); !folder.isEmpty())
        pane.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name);
}

class RecordingHost final : public BrowserHost {
public:
    void openDocument(const FileRep& note) override {
        calls.push_back("open " + nameOf(note));
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
        calls.push_back("results " + nameOf(note));
        auto results = std::make_shared<const SearchResults>(occurrences(target, readText(note)));
        if (resultsLater) {
            lateResults.emplace_back(note, results);
            return false;
        }
        note->setSearchResults(results);
        return !results->empty();
    }
    void findString(const QString& target, const FileRep& note) override {
        calls.push_back("find " + nameOf(note));
        if (readText(note).contains(target, Qt::CaseInsensitive)) note->setHasSearchTarget(true);
    }

    std::vector<std::string> takeCalls() { return std::exchange(calls, {}); }
    // The calls that act on the editor and the open note, without the searches the view asks for.
    std::vector<std::string> takeEditorCalls() {
        std::vector<std::string> editorCalls;
        for (std::string& call : takeCalls())
            if (!call.starts_with("results ") && !call.starts_with("find "))
                editorCalls.push_back(std::move(call));
        return editorCalls;
    }

    // Results as from a background read: stored by deliverResults().
    void deliverResults() {
        for (auto& [note, results] : std::exchange(lateResults, {}))
            note->setSearchResults(results);
    }

    std::vector<std::string> calls;
    FileRep open;
    bool resultsLater = false;
    std::vector<std::pair<FileRep, std::shared_ptr<const SearchResults>>> lateResults;
    // What reading the note does besides (the real controller builds its outline).
    std::function<void(const FileRep&)> whenOpened;
};

// A container holding, newest first: "Alpha" (headers), "Beta" (two lines with "beta"),
// "Folder" (with "Inner"), and a top row above them.
class BrowserPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        container = dir.filePath(QStringLiteral("Documents"));
        write(QStringLiteral("Alpha.md"), "# A\nalpha\n## B\nbeta\n# C\ngamma\n", 3000);
        write(QStringLiteral("Beta.md"), "beta one\nnothing\nanother beta\n", 2000);
        write(QStringLiteral("Folder/Inner.md"), "inner beta\n", 1500);
        touch(container + QStringLiteral("/Folder"), 1000);
        defaults = std::make_unique<platform::UserDefaults>(dir.filePath(QStringLiteral("defaults.ini")));
        browser = std::make_unique<FolderViewController>(*defaults, dispatcher);
        browser->setHost(&host);
        browser->resize(320, 600);
        browser->show();
        browser->loadTree({container, false, {}});
        view()->expand(model()->indexOfRecord(browser->noteTree().localTop()));
    }

    void write(const QString& relative, const QByteArray& text, qint64 modified) {
        const QString path = container + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        touch(path, modified);
    }
    static void touch(const QString& path, qint64 modified) {
        const utimbuf times{static_cast<time_t>(modified), static_cast<time_t>(modified)};
        ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
    }

    QTreeView* view() const { return browser->outlineView(); }
    NoteTreeModel* model() const { return browser->treeModel(); }
    FileRep record(const QString& relative) const {
        return NoteTree::findFileRep(QUrl::fromLocalFile(container + QLatin1Char('/') + relative),
                                     browser->noteTree().localTop());
    }
    QModelIndex rowOf(const QString& relative) const { return model()->indexOfRecord(record(relative)); }
    std::string selectedName() const { return nameOf(browser->selectedItem()); }

    void click(const QModelIndex& index) {
        ASSERT_TRUE(index.isValid());
        view()->scrollTo(index);
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(index).center());
    }
    // Opens the note as a click would, and forgets the calls.
    void openByClick(const QString& relative) {
        click(rowOf(relative));
        dispatcher.advance(platform::seconds(0.1));
        host.takeCalls();
    }

    QTemporaryDir dir;
    QString container;
    std::unique_ptr<platform::UserDefaults> defaults;
    platform::ManualDispatcher dispatcher;
    RecordingHost host;
    std::unique_ptr<FolderViewController> browser;
};

using Calls = std::vector<std::string>;

} // namespace quillet::testing
