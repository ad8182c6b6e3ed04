// The synced library: a folder the user keeps in step between machines with a sync engine of
// their own, shown as the "Synced" top. Its subtree follows the folder through the live query;
// the notes' selections, display names and locks live in the key-value store beside it, where
// the other machines read them.

#include "browser/SyncedEnumeration.h"
#include "browser/view/FolderViewController.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "platform/Containers.h"
#include "platform/SyncContainer.h"
#include "platform/TypeIdentifiers.h"
#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace quillet {

namespace {

bool entryLocked(const platform::KeyValueStore& store, const QString& key) {
    const auto entry = store.dictionary(key);
    return entry && entry->value(QString::fromLatin1(note_metadata::kLocked)).toBool();
}

void markSubtree(const FileRep& record, bool iCloud) {
    record->iCloud = iCloud;
    for (const FileRep& child : record->children.value_or(FileRepList()))
        if (child) markSubtree(child, iCloud);
}

} // namespace

std::optional<QString> ViewController::syncFolder() const {
    return d->synced ? std::optional(d->synced->root) : std::nullopt;
}

void ViewController::startSyncedLibrary() {
    const auto root = platform::chosenSyncFolder(d->defaults, platform::launchSyncFolder());
    if (root == syncFolder()) return;
    if (!setupAndStartQuery(root) && root)
        showAlert(tr("Couldn't open the synced folder."),
                  tr("\u201c%1\u201d isn't a folder that can be used.").arg(*root));
}

bool ViewController::setupAndStartQuery(const std::optional<QString>& root) {
    NoteTree& tree = noteTree();
    if (d->synced) {
        if (const FileRep open = d->session->note(); open && open->iCloud) closeDocument();
        d->synced.reset();
        tree.setICloudTop(nullptr);
        platform::setUbiquityContainerPath(std::nullopt);
        d->folderViewController->updateTable();
    }
    if (!root || !platform::prepareSyncFolder(*root)) return false;
    auto synced = std::make_shared<SyncedLibrary>(d->dispatcher, *root);
    const QString documents = platform::syncDocumentsPath(*root);
    platform::setUbiquityContainerPath(documents);
    synced->store = std::make_shared<platform::KeyValueStore>(platform::syncKeyValueStorePath(*root));
    synced->metadata.setKeyValueStore(synced->store);
    // Locks set on another machine arrive through the store (its file changed).
    std::weak_ptr<bool> token = d->alive;
    platform::Dispatcher* main = &d->dispatcher;
    synced->store->setChangeHandler([this, token, main](const QStringList&) {
        main->onMain([this, token] {
            if (!token.lock() || !d->synced) return;
            d->synced->metadata.ubiquitousDataDidChange(noteTree().iCloudTop(),
                                                        [this] { d->folderViewController->updateTable(); });
        });
    });
    synced->query = std::make_unique<SyncedLibraryQuery>(d->dispatcher, *root);
    d->synced = synced;
    tree.setICloudTop(makeSyncedTop(documents, tr("Synced")));
    d->folderViewController->updateTable();
    const auto synchronizeStore = [main, store = synced->store] {
        main->onWorker([store] { store->synchronize(); });
    };
    synced->query->start(
        [this](const std::shared_ptr<const platform::SyncScan>&) { metadataQueryNotification(); },
        synchronizeStore);
    synchronizeStore();
    return true;
}

void ViewController::metadataQueryNotification() {
    NoteTree& tree = noteTree();
    const FileRep top = tree.iCloudTop();
    if (!top || !d->synced) return;
    const auto results = d->synced->query->results();
    if (!results) return;
    const std::shared_ptr<platform::KeyValueStore> store = d->synced->store;
    bool changed = false;
    {
        std::lock_guard lock(top->lock());
        // Every pass a mark of its own, also two passes within one millisecond.
        const double mark =
            std::max(double(QDateTime::currentMSecsSinceEpoch()) / 1000.0, top->seqNum.value_or(0) + 0.001);
        top->seqNum = mark;
        SyncedEnumeration pass(results->items, tree.sortMode());
        pass.readDisplayNameInChildren = [this](FileRepList& children) {
            readDisplayNameInChildren(children);
        };
        pass.lockedInStore = [store](const QString& key) { return entryLocked(*store, key); };
        pass.enumerateMetadataItems(mark, 0, top);
        changed = pass.deleteUnusedChild(mark, top) || pass.changed();
    }
    // Without the browser's two-second delay: the pass is already the end of a burst.
    if (changed) d->folderViewController->updateTable();
    if (!top->hasChildren()) newNoteInFileRep(top);
    if (!d->synced->listed) {
        d->synced->listed = true;
        for (const auto& open : std::exchange(d->synced->afterFirstPass, {}))
            open();
    }
}

bool ViewController::whenSyncedLibraryListed(const QString& path, std::function<void()> open) {
    if (!d->synced || d->synced->listed) return false;
    const QString documents = QDir::cleanPath(platform::syncDocumentsPath(d->synced->root));
    if (!QDir::cleanPath(QFileInfo(path).absoluteFilePath()).startsWith(documents + QLatin1Char('/')))
        return false;
    d->synced->afterFirstPass.push_back(std::move(open));
    return true;
}

// Names come from the store, which is synchronised when its file changes, not once per note.
void ViewController::readDisplayNameInChildren(FileRepList& children) {
    if (!d->synced) return;
    const platform::KeyValueStore& store = *d->synced->store;
    for (const FileRep& child : children) {
        if (!child || child->children || !child->updated) continue;
        if (child->UTI == QLatin1String(platform::kCssTypeIdentifier)) continue;
        child->updated = false;
        if (!child->relativePath) continue;
        const auto entry = store.dictionary(*child->relativePath);
        const QVariant name =
            entry ? entry->value(QString::fromLatin1(note_metadata::kDisplayName)) : QVariant();
        if (name.typeId() == QMetaType::QString && !name.toString().isEmpty() &&
            child->displayName != name.toString())
            child->displayName = name.toString();
    }
}

void ViewController::readSyncedMetadata(const FileRep& note) {
    if (d->synced && note && note->iCloud) d->synced->metadata.readEAFromCloudKV(*note, false);
}

// The record's display name and selection go to its entry when they differ from it (the file is
// written on a worker).
void ViewController::storeSyncedMetadata(const FileRep& note) {
    if (!d->synced || !note || !note->iCloud) return;
    const auto key = NoteMetadata::keyValueKey(note->fileURL());
    if (!key) return;
    const QVariantMap entry = d->synced->store->dictionary(*key).value_or(QVariantMap());
    const auto differs = [&entry](const char* field, const std::optional<QString>& value) {
        return value && !value->isEmpty() && entry.value(QString::fromLatin1(field)).toString() != *value;
    };
    note->displayNameChanged =
        note->displayNameChanged || differs(note_metadata::kDisplayName, note->displayName);
    note->textSelectedRangeChanged =
        note->textSelectedRangeChanged || differs(note_metadata::kSelectedRange, note->textSelectedRange);
    note->isImmutableChanged =
        note->isImmutableChanged || entryLocked(*d->synced->store, *key) != note->isImmutable;
    if (!note->displayNameChanged && !note->textSelectedRangeChanged && !note->isImmutableChanged) return;
    d->synced->metadata.writeEAToCloudKV(*note, false);
    d->dispatcher.onWorker([store = d->synced->store] { store->synchronize(); });
}

// A record moved or copied into a library takes its kind, and a note keeps its name there.
void ViewController::settleInLibrary(const FileRep& record, const FileRep& source, const FileRep& target) {
    if (!record || !target) return;
    markSubtree(record, target->iCloud);
    if (record->directory || !source) return;
    if (source->displayName && !source->displayName->isEmpty()) record->displayName = source->displayName;
    record->isImmutable = source->isImmutable;
    storeSyncedMetadata(record);
}

} // namespace quillet
