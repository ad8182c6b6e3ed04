// Quillet's side of scripts/sync-soak: the real open-note owner (DocumentSession, the same
// saving code the application runs) behind a window without widgets, in a folder a sync engine
// keeps in step with another machine. It opens notes of the folder at random, types a marked
// line ("Q<n>") into the open one and saves, and logs as JSON lines what it read, what it
// wrote and what it told the user, for the script to check against both sides.
//
//   quillet-sync-soak-driver --folder DIR --device-id ID --seconds N --log FILE [--seed N]
//
// Every question is answered with its first button ("Save", "OK"). Run it with HOME and the
// XDG folders pointing at a private place: unsaved texts it keeps go to the recovery folder.

#include "browser/FileRepresentation.h"
#include "documents/DocumentSession.h"
#include "documents/SessionView.h"
#include "platform/ConflictCopies.h"
#include "platform/QtDispatcher.h"
#include "platform/SyncFolder.h"
#include "platform/TypeIdentifiers.h"
#include "platform/UserDefaults.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTimer>

namespace quillet {
namespace {

class Log {
public:
    explicit Log(const QString& path) : file_(path) { file_.open(QIODevice::WriteOnly | QIODevice::Append); }
    void write(QJsonObject event) {
        event.insert(QStringLiteral("t"), QDateTime::currentMSecsSinceEpoch() / 1000.0);
        file_.write(QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n');
        file_.flush();
    }

private:
    QFile file_;
};

class HeadlessView final : public SessionView {
public:
    explicit HeadlessView(Log& log) : log_(log) {}

    void showLoading(bool) override {}
    void showNote(const FileRep& note, const QString&, const QString& text, Range, bool editable) override {
        text_ = text;
        editable_ = editable;
        typedSinceWrite_ = false;
        log_.write({{"ev", "read"}, {"path", note->path()}, {"text", text}});
    }
    void showNothing(const QString&) override {
        text_.clear();
        editable_ = false;
    }
    void replaceText(const QString& text) override {
        text_ = text;
        typedSinceWrite_ = false; // any edits went to a copy beside the note
        log_.write({{"ev", "reread"}, {"text", text}});
    }
    void setEditable(bool editable) override { editable_ = editable; }
    QString editedText() const override { return text_; }
    Range editedSelection() const override { return {}; }
    // Also called after the note was read again: that is a version known, not a write.
    void noteWritten(const FileRep& note) override {
        log_.write({{"ev", typedSinceWrite_ ? "written" : "known"}, {"path", note->path()}, {"text", text_}});
        typedSinceWrite_ = false;
    }
    void documentChanged() override {}
    FileRep noteAdded(const QString& path) override { return FileRepresentation::forPath(path); }
    void alert(const QString& message, const QString& informativeText) override {
        log_.write({{"ev", "alert"}, {"message", message}, {"info", informativeText}});
    }
    int ask(const QString& message, const QString& informativeText, const QStringList&) override {
        log_.write({{"ev", "ask"}, {"message", message}, {"info", informativeText}});
        return 0;
    }

    bool editable() const { return editable_; }
    void type(const QString& line) {
        text_ += line;
        typedSinceWrite_ = true;
    }

private:
    Log& log_;
    QString text_;
    bool editable_ = false;
    bool typedSinceWrite_ = false;
};

QStringList notesIn(const QString& folder) {
    QStringList notes;
    QDirIterator files(folder, {QStringLiteral("*.md")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (!platform::isConflictCopyName(QFileInfo(path).fileName()) && !path.contains(QLatin1String("/.")))
            notes << path;
    }
    return notes;
}

class Driver {
public:
    Driver(const QString& folder, quint32 seed, Log& log, DocumentSession& session, HeadlessView& view)
        : folder_(folder), random_(seed), log_(log), session_(session), view_(view) {}

    void step() {
        const FileRep open = session_.note();
        if (!open || random_.bounded(100) < 15) {
            openSomeNote();
        } else if (view_.editable()) {
            const QString marker = QStringLiteral("Q%1").arg(++typed_);
            view_.type(marker + QLatin1Char('\n'));
            session_.textEdited();
            log_.write({{"ev", "typed"}, {"path", open->path()}, {"marker", marker}});
            if (random_.bounded(100) < 70) session_.saveNow(); // else the autosave writes it
        }
    }

private:
    void openSomeNote() {
        const QStringList notes = notesIn(folder_);
        if (notes.isEmpty()) return;
        const QString path = notes.at(int(random_.bounded(quint32(notes.size()))));
        log_.write({{"ev", "open"}, {"path", path}});
        session_.open(FileRepresentation::forPath(path),
                      QString::fromLatin1(platform::kMarkdownTypeIdentifier));
    }

    QString folder_;
    QRandomGenerator random_;
    Log& log_;
    DocumentSession& session_;
    HeadlessView& view_;
    int typed_ = 0;
};

} // namespace
} // namespace quillet

int main(int argc, char** argv) {
    using namespace quillet;
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{"folder", "The synced folder.", "DIR"},
                       {"device-id", "This machine's Syncthing device ID.", "ID"},
                       {"seconds", "How long to type.", "N", "60"},
                       {"log", "Where the events go (JSON lines).", "FILE"},
                       {"seed", "Random seed.", "N", "1"}});
    parser.process(app);
    const QString folder = QDir(parser.value("folder")).absolutePath();
    if (parser.value("folder").isEmpty() || parser.value("log").isEmpty()) parser.showHelp(2);
    platform::overrideSyncFolderPath(folder);
    platform::overrideThisDeviceID(parser.value("device-id"));

    Log log(parser.value("log"));
    platform::QtDispatcher dispatcher;
    platform::UserDefaults defaults(QDir::temp().filePath(
        QStringLiteral("quillet-sync-soak-%1.ini").arg(QCoreApplication::applicationPid())));
    HeadlessView view(log);
    DocumentSession session(defaults, dispatcher, view);
    Driver driver(folder, parser.value("seed").toUInt(), log, session, view);

    QTimer steps;
    QRandomGenerator pauses(parser.value("seed").toUInt() + 1);
    steps.setSingleShot(true);
    QObject::connect(&steps, &QTimer::timeout, [&] {
        driver.step();
        steps.start(800 + int(pauses.bounded(1700u)));
    });
    steps.start(0);
    QTimer::singleShot(parser.value("seconds").toInt() * 1000, [&] {
        steps.stop();
        session.close();
        session.waitForWrites();
        log.write({{"ev", "end"}});
        app.quit();
    });
    return app.exec();
}
