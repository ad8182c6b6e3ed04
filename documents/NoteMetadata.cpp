#include "documents/NoteMetadata.h"

#include "browser/PathComponents.h"
#include "platform/Containers.h"
#include "platform/ExtendedAttributes.h"
#include "platform/TextFiles.h"

namespace quillet {
namespace {

using namespace note_metadata;

std::optional<QString> entryText(const QVariantMap& entry, const char* key) {
    const QVariant value = entry.value(QString::fromLatin1(key));
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    return value.toString();
}

bool entryLocked(const std::optional<QVariantMap>& entry) {
    if (!entry) return false;
    const QVariant value = entry->value(QString::fromLatin1(kLocked));
    return value.isValid() && value.toBool();
}

} // namespace

std::optional<QString> readNoteAttribute(const QString& path, const char* name) {
    const auto value = platform::readAttribute(path, QString::fromLatin1(name), kAttributeReadLimit);
    if (!value || value->isEmpty()) return std::nullopt;
    if (platform::firstInvalidUtf8Offset(std::string_view(value->constData(), std::size_t(value->size()))))
        return std::nullopt;
    return QString::fromUtf8(*value);
}

void writeNoteAttribute(const QString& path, const char* name, const std::optional<QString>& text) {
    if (text && !text->isEmpty()) platform::writeAttribute(path, QString::fromLatin1(name), text->toUtf8());
}

void NoteMetadata::setKeyValueStore(std::shared_ptr<platform::KeyValueStore> store) {
    std::lock_guard lock(mutex_);
    store_ = std::move(store);
}

std::shared_ptr<platform::KeyValueStore> NoteMetadata::keyValueStore() const {
    std::lock_guard lock(mutex_);
    return store_;
}

std::optional<QString> NoteMetadata::keyValueKey(const QUrl& fileURL) {
    const QString path = fileURL.toLocalFile();
    const auto container = platform::ubiquityContainerPath();
    if (!container || path.isEmpty() || !platform::isUbiquitousItem(path)) return std::nullopt;
    const auto components = deltaPath(path, *container);
    if (!components || components->isEmpty()) return std::nullopt;
    return components->join(u'/');
}

void NoteMetadata::readEAFromURL(FileRepresentation& note) const {
    if (!note.hasFileURL()) return;
    const QString path = note.path();
    const auto names = platform::listAttributes(path);
    if (!names) return;
    for (const QString& name : *names) {
        const bool selection = name == QLatin1String(kSelectedRange);
        if (!selection && name != QLatin1String(kDisplayName)) continue; // no other attribute is ours
        const auto text = readNoteAttribute(path, selection ? kSelectedRange : kDisplayName);
        if (!text) continue;
        if (selection)
            note.textSelectedRange = *text;
        else
            note.displayName = *text;
    }
}

void NoteMetadata::writeEAToURL(FileRepresentation& note) const {
    const QString path = note.path();
    if (note.textSelectedRangeChanged) {
        if (!path.isEmpty()) writeNoteAttribute(path, kSelectedRange, note.textSelectedRange);
        note.textSelectedRangeChanged = false;
    }
    if (note.displayNameChanged) {
        if (!path.isEmpty()) writeNoteAttribute(path, kDisplayName, note.displayName);
        note.displayNameChanged = false;
    }
}

void NoteMetadata::readEAFromCloudKV(FileRepresentation& note, bool synchronize) const {
    const auto key = keyValueKey(note.fileURL());
    const auto store = keyValueStore();
    if (!key || !store) return;
    if (synchronize) store->synchronize();
    const auto entry = store->dictionary(*key);
    if (!entry) return;
    if (auto selection = entryText(*entry, kSelectedRange)) note.textSelectedRange = *selection;
    if (auto name = entryText(*entry, kDisplayName)) note.displayName = *name;
    note.isImmutable = entryLocked(entry);
}

void NoteMetadata::writeEAToCloudKV(FileRepresentation& note, bool synchronize) const {
    const auto key = keyValueKey(note.fileURL());
    const auto store = keyValueStore();
    if (!key || !store) return;
    QVariantMap entry = store->dictionary(*key).value_or(QVariantMap());
    if (note.textSelectedRangeChanged) {
        if (note.textSelectedRange && !note.textSelectedRange->isEmpty())
            entry.insert(QString::fromLatin1(kSelectedRange), *note.textSelectedRange);
        note.textSelectedRangeChanged = false;
    }
    if (note.displayNameChanged) {
        if (note.displayName && !note.displayName->isEmpty())
            entry.insert(QString::fromLatin1(kDisplayName), *note.displayName);
        note.displayNameChanged = false;
    }
    if (note.isImmutableChanged) {
        entry.insert(QString::fromLatin1(kLocked), note.isImmutable);
        note.isImmutableChanged = false;
    }
    store->setObject(*key, entry);
    if (synchronize) store->synchronize();
}

void NoteMetadata::ubiquitousDataDidChange(const FileRep& iCloudTop,
                                           const std::function<void()>& updateTable) const {
    const auto store = keyValueStore();
    if (iCloudTop && store) {
        auto takeLock = [&](FileRepresentation& note) {
            const auto key = keyValueKey(note.fileURL());
            note.isImmutable = key && entryLocked(store->dictionary(*key));
        };
        // The cloud enumeration changes this subtree under the same lock.
        std::lock_guard lock(iCloudTop->lock());
        for (const FileRep& child : iCloudTop->children.value_or(FileRepList())) {
            if (!child->directory) {
                takeLock(*child);
                continue;
            }
            for (const FileRep& grandchild : child->children.value_or(FileRepList())) {
                if (!grandchild->directory) takeLock(*grandchild);
            }
        }
    }
    if (updateTable) dispatcher_.onMain(updateTable);
}

void NoteMetadata::observeOutsideChanges(std::function<FileRep()> iCloudTop,
                                         std::function<void()> updateTable) {
    const auto store = keyValueStore();
    if (!store) return;
    store->setChangeHandler([this, iCloudTop = std::move(iCloudTop), updateTable = std::move(updateTable)](
                                const QStringList&) { ubiquitousDataDidChange(iCloudTop(), updateTable); });
}

} // namespace quillet
