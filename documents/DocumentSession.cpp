#include "documents/DocumentSession.h"

#include "documents/Outline.h"
#include "documents/RecoveryFile.h"
#include "documents/Search.h"
#include "documents/SyncedNoteChanges.h"
#include "editor/FirstLineName.h"
#include "platform/FileOperations.h"
#include "platform/ItemLock.h"
#include "platform/SyncFolder.h"
#include "platform/TextFiles.h"
#include "platform/TypeIdentifiers.h"
#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPointer>
#include <QSysInfo>
#include <mutex>

namespace quillet {

namespace {

constexpr auto kAutosaveDelay = platform::seconds(5.0);
// inotify reports a write as several events: they are looked at once, together.
constexpr auto kDiskCheckDelay = platform::seconds(0.1);
constexpr int kFirstRetrySeconds = 30;
constexpr int kLastRetrySeconds = 300;

bool isMarkdown(const QString& type) {
    return type == QLatin1String(platform::kMarkdownTypeIdentifier);
}

QString rangeText(Range range) {
    return QString::fromStdString(range.toString());
}

QString firstLineName(const QString& text) {
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    return displayname(QStringView(text).left(end < 0 ? text.size() : end));
}

Range parsedSelection(const std::optional<QString>& text) {
    if (!text) return {};
    return Range::parse(text->toStdString()).value_or(Range{});
}

// What a look at the open note's file found.
struct DiskCheck {
    bool unchanged = false;
    bool missing = false;
    std::optional<QString> movedTo;
    NoteReading reading;
    OutlineNodeRef outline;
};

} // namespace

struct DocumentSession::StampChain {
    std::optional<DiskStamp> get() const {
        std::lock_guard lock(mutex);
        return stamp;
    }
    void set(std::optional<DiskStamp> value) {
        std::lock_guard lock(mutex);
        stamp = value;
    }
    mutable std::mutex mutex;
    std::optional<DiskStamp> stamp;
};

DocumentSession::DocumentSession(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher,
                                 SessionView& view)
    : defaults_(defaults), dispatcher_(dispatcher), view_(view), writer_(dispatcher), autosaveCall_(dispatcher),
      retryCall_(dispatcher), checkCall_(dispatcher) {
    connect(&watcher_, &OpenNoteWatcher::mayHaveChanged, this,
            [this] { checkCall_.schedule(kDiskCheckDelay, [this] { checkDisk(); }); });
}

DocumentSession::~DocumentSession() = default;

std::optional<DiskStamp> DocumentSession::knownStamp() const {
    return chain_ ? chain_->get() : std::nullopt;
}

// ---- Opening and closing

void DocumentSession::open(const FileRep& note, const QString& type, std::optional<Range> selection) {
    if (!note || !note->hasFileURL()) return;
    const std::uint64_t generation = ++generation_;
    view_.showLoading(true);
    const QString path = note->path();
    const bool readMetadata = !note->iCloud;
    const bool markdown = isMarkdown(type);
    const QString searchTarget = searchTarget_;
    writer_.enqueue<NoteOpening>(
        [path, readMetadata, markdown, searchTarget, note] {
            NoteOpening read = readForOpening(path, readMetadata, markdown);
            if (read.reading.text && !searchTarget.isEmpty())
                note->setSearchResults(
                    std::make_shared<const SearchResults>(searchResults(searchTarget, *read.reading.text)));
            return read;
        },
        [this, note, type, selection, generation](const NoteOpening& read) {
            if (read.outline) note->setOutline(read.outline);
            finishOpening(note, type, selection, generation, read.reading);
        });
}

void DocumentSession::open(const FileRep& note, const QString& type, const std::shared_ptr<NotePrefetch>& prefetch) {
    const bool usable = note && note->hasFileURL() && !note->iCloud && searchTarget_.isEmpty();
    if (!usable || !prefetch || prefetch->path() != note->path()) return open(note, type);
    const std::uint64_t generation = ++generation_;
    view_.showLoading(true);
    prefetch->whenRead([this, alive = QPointer<DocumentSession>(this), note, type, generation](const NoteOpening& read) {
        if (!alive) return;
        if (read.outline && isMarkdown(type)) note->setOutline(read.outline);
        finishOpening(note, type, std::nullopt, generation, read.reading);
    });
}

void DocumentSession::finishOpening(const FileRep& note, const QString& type, std::optional<Range> selection,
                                    std::uint64_t generation, const NoteReading& reading) {
    if (generation != generation_) return; // a later open or close won
    view_.showLoading(false);
    if (reading.missing) return failOpening(tr("Note isn't exist."));
    if (!reading.text) return failOpening(reading.error.description);
    if (note_ == note && dirty_) return; // opened again while edited: the edits stay
    if (note_ && note_ != note) close();

    if (reading.storedSelection) note->textSelectedRange = reading.storedSelection;
    if (reading.storedDisplayName) note->displayName = reading.storedDisplayName;
    note->downloaded = true;
    note_ = note;
    type_ = type;
    chain_ = std::make_shared<StampChain>();
    chain_->set(reading.stamp);
    dirty_ = false;
    selectionMoved_ = selection.has_value(); // a header or a search result chosen is stored
    failing_ = false;
    retryDelaySeconds_ = 0;
    displayName_ = note->displayName.value_or(QString());
    if (displayName_.isEmpty() && isMarkdown(type)) displayName_ = firstLineName(*reading.text);
    const bool locked = reading.locked && (*reading.locked || note->isImmutable);
    editable_ = !locked;
    view_.showNote(note, type, *reading.text, selection.value_or(parsedSelection(note->textSelectedRange)),
                   editable_);
    watcher_.watch(note->path());
    storeLastOpened(note->path());
    view_.documentChanged();
    synced_ = isSyncedNote(note);
    if (synced_) checkConflicts();
}

// A note that cannot be read is not opened: nothing is shown as it, nothing written to it.
void DocumentSession::failOpening(const QString& informativeText) {
    if (!note_) view_.showNothing(QString());
    view_.alert(tr("Couldn't open the Note."), informativeText);
}

void DocumentSession::close() {
    ++generation_;
    if (!note_) return;
    autosaveCall_.cancel();
    retryCall_.cancel();
    save(true); // the last save of a note: its failure keeps the text in the recovery folder
    forget();
    view_.showNothing(QString());
    view_.documentChanged();
}

void DocumentSession::forget() {
    note_.reset();
    type_.clear();
    chain_.reset();
    dirty_ = false;
    selectionMoved_ = false;
    failing_ = false;
    editable_ = false;
    displayName_.clear();
    checkCall_.cancel();
    watcher_.watch(QString());
    synced_ = false;
    toldConflicts_.clear();
}

// ---- Editing and saving

void DocumentSession::selectionMoved() {
    if (note_) selectionMoved_ = true;
}

void DocumentSession::textEdited() {
    if (!note_) return;
    ++edits_;
    dirty_ = true;
    selectionMoved_ = true;
    autosaveCall_.schedule(kAutosaveDelay, [this] { saveNow(); });
}

void DocumentSession::setDisplayName(const QString& name) {
    const bool hadName = !displayName_.isEmpty();
    displayName_ = name;
    if (!note_) return;
    view_.documentChanged();
    if (hadName) {
        autosaveCall_.cancel();
        saveNow();
    }
}

void DocumentSession::autosave() {
    if (failing_) return; // waits for the next edit or the back-off, not for every focus change
    saveNow();
}

void DocumentSession::saveNow() {
    save(false);
}

void DocumentSession::save(bool closing) {
    if (!note_ || !editable_) return;
    autosaveCall_.cancel();
    NoteWrite write;
    write.path = note_->path();
    write.markdown = isMarkdown(type_);
    const QString selection = rangeText(view_.editedSelection());
    if (selectionMoved_ && note_->textSelectedRange != selection) {
        note_->textSelectedRange = selection;
        write.selection = selection;
    }
    selectionMoved_ = false;
    if (!dirty_) {
        if (!write.selection || !chain_) return;
        const QString path = write.path;
        const std::optional<QString> stored = write.selection;
        writer_.enqueue<bool>([path, stored] { return writeNoteMetadata(path, stored, std::nullopt), true; },
                              [](bool) {});
        return;
    }
    if (note_->displayName.value_or(QString()) != displayName_ && !displayName_.isEmpty()) {
        note_->displayName = displayName_;
        write.displayName = displayName_;
    }
    write.text = view_.editedText();
    enqueueWrite(std::move(write), edits_, closing);
}

void DocumentSession::enqueueWrite(NoteWrite write, std::uint64_t editCount, bool closing) {
    ++writesInFlight_;
    const FileRep note = note_;
    const QString text = write.text;
    writer_.enqueue<NoteWriteResult>(
        [write = std::move(write), chain = chain_]() mutable {
            write.basedOn = chain ? chain->get().value_or(DiskStamp{}) : DiskStamp{};
            NoteWriteResult result = writeNote(write);
            if (result.outcome == NoteWriteResult::Outcome::written && chain) chain->set(result.stamp);
            return result;
        },
        [this, note, text, editCount, closing](const NoteWriteResult& result) {
            writeFinished(note, text, editCount, closing, result);
        });
}

void DocumentSession::writeFinished(const FileRep& note, const QString& text, std::uint64_t editCount,
                                    bool closing, const NoteWriteResult& result) {
    --writesInFlight_;
    const bool open = note && note == note_;
    using Outcome = NoteWriteResult::Outcome;
    switch (result.outcome) {
    case Outcome::written:
        note->lastModified = QDateTime::currentDateTime();
        if (result.outline) note->setOutline(result.outline);
        if (open) {
            failing_ = false;
            retryDelaySeconds_ = 0;
            retryCall_.cancel();
            if (edits_ == editCount) dirty_ = false;
        }
        view_.noteWritten(note);
        if (!result.error) view_.alert(tr("Couldn't save the Note."), result.error.description);
        break;
    case Outcome::failed:
        saveFailed(note, text, closing || !open, result.error);
        break;
    case Outcome::changedOnDisk:
        // The other program's version stays where it is; the edits go beside it.
        if (open) {
            keepAsConflictCopy(note->path(), view_.editedText());
            dirty_ = false;
            checkAfterWrites_ = true;
        } else {
            keepAsConflictCopy(note->path(), text);
        }
        break;
    case Outcome::missing:
        if (open) {
            checkAfterWrites_ = true;
        } else {
            const QString kept = keepRecoveryText(note->path(), text);
            view_.alert(tr("Note is deleted by other."), tr("The text is kept in \u201c%1\u201d.").arg(kept));
        }
        break;
    }
    if (writesInFlight_ == 0 && checkAfterWrites_) {
        checkAfterWrites_ = false;
        checkDisk();
    }
}

// One alert per run of failures; the text stays unsaved and is tried again on the next edit or
// after a growing pause. A closed note's text goes to the recovery folder.
void DocumentSession::saveFailed(const FileRep& note, const QString& text, bool closed,
                                 const platform::Status& error) {
    if (closed) {
        const QString kept = keepRecoveryText(note->path(), text);
        view_.alert(tr("Couldn't save the Note."),
                    error.description + QLatin1Char('\n') + tr("The text is kept in \u201c%1\u201d.").arg(kept));
        return;
    }
    if (!failing_ && !quitting_) view_.alert(tr("Couldn't save the Note."), error.description);
    failing_ = true;
    retryDelaySeconds_ =
        retryDelaySeconds_ == 0 ? kFirstRetrySeconds : std::min(retryDelaySeconds_ * 2, kLastRetrySeconds);
    retryCall_.schedule(platform::seconds(retryDelaySeconds_), [this] { saveNow(); });
}

void DocumentSession::setLocked(bool locked) {
    if (!note_) return;
    const FileRep note = note_;
    const bool wasLocked = note->isImmutable;
    note->isImmutable = locked;
    note->isImmutableChanged = wasLocked != locked;
    if (locked) {
        // Pending edits are written before the lock.
        saveNow();
        editable_ = false;
        view_.setEditable(false);
    }
    const QString path = note->path();
    writer_.enqueue<platform::Status>([path, locked] { return platform::setLocked(path, locked); },
                                      [this, note, locked](const platform::Status& status) {
                                          lockFinished(note, locked, status);
                                      });
}

void DocumentSession::lockFinished(const FileRep& note, bool locked, const platform::Status& status) {
    if (status) {
        if (note == note_ && !locked) {
            editable_ = true;
            view_.setEditable(true);
        }
        view_.noteWritten(note);
        return;
    }
    note->isImmutable = !locked;
    if (note == note_) {
        editable_ = locked; // as it is on disk
        view_.setEditable(editable_);
    }
    view_.alert(tr("Couldn't save the Note."), status.description);
}

// ---- Following the disk

void DocumentSession::checkDisk() {
    if (synced_) checkConflicts();
    if (!note_ || checking_) return;
    if (writesInFlight_ > 0) {
        checkAfterWrites_ = true;
        return;
    }
    checking_ = true;
    const std::uint64_t generation = generation_;
    const QString path = note_->path();
    const std::optional<DiskStamp> known = knownStamp();
    const bool markdown = isMarkdown(type_);
    const QString syncFolder = synced_ ? platform::syncFolderPath() : QString();
    writer_.enqueue<DiskCheck>(
        [path, known, markdown, syncFolder] {
            DiskCheck check;
            const auto stamp = DiskStamp::of(path);
            if (stamp && known && *stamp == *known) {
                check.unchanged = true;
            } else if (!stamp) {
                check.missing = true;
                if (known)
                    check.movedTo = syncFolder.isEmpty() ? findMovedNote(QFileInfo(path).absolutePath(), *known)
                                                         : findMovedSyncedNote(syncFolder, path, *known);
            } else {
                check.reading = readNote(path, false);
                if (check.reading.text && markdown) check.outline = createOutline(*check.reading.text);
            }
            return check;
        },
        [this, generation](const DiskCheck& check) {
            checking_ = false;
            if (generation != generation_ || check.unchanged) return;
            if (writesInFlight_ > 0) {
                checkAfterWrites_ = true; // a save started meanwhile: look again after it
                return;
            }
            if (check.missing) return noteVanished(check.movedTo);
            if (check.outline) note_->setOutline(check.outline);
            diskChanged(check.reading);
        });
}

void DocumentSession::diskChanged(const NoteReading& reading) {
    if (!reading.text) {
        // The version on disk stays unknown, so no save writes over it.
        view_.alert(tr("Couldn't read the Note."), reading.error.description);
        return;
    }
    if (dirty_) {
        autosaveCall_.cancel();
        keepAsConflictCopy(note_->path(), view_.editedText());
        dirty_ = false;
    }
    if (*reading.text != view_.editedText()) view_.replaceText(*reading.text);
    chain_->set(reading.stamp);
    note_->lastModified = QDateTime::currentDateTime();
    view_.noteWritten(note_);
}

void DocumentSession::noteVanished(const std::optional<QString>& movedTo) {
    if (movedTo && dirty_ && synced_) return movedWithEdits(*movedTo);
    if (movedTo) {
        // Renamed in its folder: the same file, so the edits keep going to it.
        note_->setFileURL(QUrl::fromLocalFile(*movedTo));
        watcher_.watch(*movedTo);
        storeLastOpened(*movedTo);
        view_.documentChanged();
        return;
    }
    autosaveCall_.cancel();
    if (quitting_) return; // the quit question offers to keep the text elsewhere
    const FileRep note = note_;
    const QString text = view_.editedText();
    const int answer = view_.ask(tr("Note is deleted by other."), tr("Do you want to save this as the other Note"),
                                 {tr("Save"), tr("Cancel")});
    if (note != note_) return; // closed while the question was up
    const QString type = type_;
    forget();
    ++generation_;
    view_.showNothing(QString());
    view_.documentChanged();
    if (answer != 0) return;
    writeNewNote(note->path(), tr("restored"), text, [this, type, text](const QString& path, const platform::Status& status) {
        if (!status) {
            const QString kept = keepRecoveryText(path, text);
            view_.alert(tr("Couldn't save the Note."),
                        status.description + QLatin1Char('\n') + tr("The text is kept in \u201c%1\u201d.").arg(kept));
            return;
        }
        if (const FileRep added = view_.noteAdded(path)) open(added, type);
    });
}

void DocumentSession::keepAsConflictCopy(const QString& path, const QString& text) {
    writeNewNote(path, tr("conflict"), text, [this, text](const QString& copy, const platform::Status& status) {
        if (!status) {
            const QString kept = keepRecoveryText(copy, text);
            view_.alert(tr("Conflict is happened."), tr("The text is kept in \u201c%1\u201d.").arg(kept));
            return;
        }
        view_.noteAdded(copy);
        view_.alert(tr("Conflict is happened."), tr("Conflict with '%1'. Text is saved as '%2'")
                                                     .arg(QSysInfo::machineHostName(), QFileInfo(copy).completeBaseName()));
    });
}

// Writes a new note at `preferredPath`, or beside it under a free name when that is taken.
void DocumentSession::writeNewNote(const QString& preferredPath, const QString& suffix, const QString& text,
                                   std::function<void(const QString&, const platform::Status&)> done) {
    struct Written {
        QString path;
        platform::Status status;
    };
    writer_.enqueue<Written>(
        [preferredPath, suffix, text] {
            Written written;
            written.path = platform::itemExists(preferredPath) ? freePathBeside(preferredPath, suffix) : preferredPath;
            written.status = platform::writeUtf8FileAtomically(written.path, text);
            return written;
        },
        [done = std::move(done)](const Written& written) { done(written.path, written.status); });
}

// ---- Quitting

void DocumentSession::waitForWrites() {
    dispatcher_.flush();
    writer_.waitUntilIdle();
    dispatcher_.flush(); // the writes' results
}

QString DocumentSession::keepUnsavedText() {
    if (!note_ || !dirty_) return {};
    return keepRecoveryText(note_->path(), view_.editedText());
}

void DocumentSession::storeLastOpened(const QString& path) {
    defaults_.setObject(QString::fromLatin1(platform::defaults_keys::kLastOpenedFilepath), path);
}

} // namespace quillet

#include "moc_DocumentSession.cpp"
