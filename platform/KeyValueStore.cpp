#include "platform/KeyValueStore.h"

#include "platform/ConflictCopies.h"
#include "platform/TextFiles.h"

#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>

namespace quillet::platform {
namespace {

// Values as they come back from the file, so that comparisons see what a reload would.
QVariant normalised(const QVariant& value) {
    return QJsonObject::fromVariantMap({{QStringLiteral("v"), value}})
        .toVariantMap()
        .value(QStringLiteral("v"));
}

QStringList changedKeys(const QVariantMap& before, const QVariantMap& after) {
    QStringList keys;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (!before.contains(it.key()) || before.value(it.key()) != it.value()) keys.append(it.key());
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key())) keys.append(it.key());
    }
    return keys;
}

std::optional<QVariantMap> readJsonObject(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    return document.object().toVariantMap();
}

// Takes one side's entries into the other's: an entry only one side has is kept; where both
// have a key, maps are merged field by field, and a field or value both have differently is
// the newer file's.
void mergeEntries(QVariantMap& into, const QVariantMap& from, bool fromIsNewer) {
    for (auto it = from.begin(); it != from.end(); ++it) {
        const auto existing = into.find(it.key());
        if (existing == into.end()) {
            into.insert(it.key(), it.value());
        } else if (existing->typeId() == QMetaType::QVariantMap && it->typeId() == QMetaType::QVariantMap) {
            QVariantMap fields = existing->toMap();
            mergeEntries(fields, it->toMap(), fromIsNewer);
            *existing = fields;
        } else if (fromIsNewer) {
            *existing = it.value();
        }
    }
}

QDateTime modified(const QString& path) {
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
}

} // namespace

KeyValueStore::KeyValueStore(QString filePath) : filePath_(std::move(filePath)) {
    if (auto stored = readFile()) {
        values_ = *stored;
        lastSynced_ = *stored;
    }
}

Result<QVariantMap> KeyValueStore::readFile() const {
    QFile file(filePath_);
    if (!file.exists()) return Result<QVariantMap>::success({});
    if (!file.open(QIODevice::ReadOnly))
        return Result<QVariantMap>::failure(Status::failure(file.errorString(), EIO));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return Result<QVariantMap>::failure(Status::failure(
            QStringLiteral("“%1” isn't a key-value file: %2").arg(filePath_, error.errorString()), EINVAL));
    return Result<QVariantMap>::success(document.object().toVariantMap());
}

QVariant KeyValueStore::object(const QString& key) const {
    std::lock_guard lock(mutex_);
    return values_.value(key);
}

std::optional<QVariantMap> KeyValueStore::dictionary(const QString& key) const {
    const QVariant value = object(key);
    if (value.typeId() == QMetaType::QVariantMap) return value.toMap();
    return std::nullopt;
}

void KeyValueStore::setObject(const QString& key, const QVariant& value) {
    if (!value.isValid()) return remove(key);
    std::lock_guard lock(mutex_);
    values_.insert(key, normalised(value));
    pending_.insert(key);
}

void KeyValueStore::remove(const QString& key) {
    std::lock_guard lock(mutex_);
    values_.remove(key);
    pending_.insert(key);
}

QVariantMap KeyValueStore::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    return values_;
}

void KeyValueStore::setChangeHandler(ChangeHandler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

Status KeyValueStore::synchronize() {
    QStringList external;
    ChangeHandler handler;
    {
        std::lock_guard lock(mutex_);
        auto disk = readFile();
        if (!disk) return disk.status;
        const QStringList mergedCopies = mergeConflictCopies(*disk);
        for (const QString& key : changedKeys(lastSynced_, *disk)) {
            if (pending_.count(key)) continue; // our own change wins
            external.append(key);
            if (disk->contains(key))
                values_.insert(key, disk->value(key));
            else
                values_.remove(key);
        }
        if (pending_.empty() && mergedCopies.isEmpty()) {
            lastSynced_ = *disk;
        } else {
            QVariantMap merged = *disk;
            for (const QString& key : pending_) {
                if (values_.contains(key))
                    merged.insert(key, values_.value(key));
                else
                    merged.remove(key);
            }
            const QByteArray json =
                QJsonDocument(QJsonObject::fromVariantMap(merged)).toJson(QJsonDocument::Compact);
            if (Status written = writeFileAtomically(filePath_, json); !written) {
                lastSynced_ = *disk; // the outside changes were taken in; ours wait for the next try
                return written;
            }
            lastSynced_ = merged;
            pending_.clear();
            // Only once their entries are on disk in the file itself.
            for (const QString& copy : mergedCopies) QFile::remove(copy);
        }
        handler = handler_;
    }
    if (handler && !external.isEmpty()) handler(external);
    return Status::success();
}

QStringList KeyValueStore::mergeConflictCopies(QVariantMap& disk) const {
    QStringList merged;
    const QDateTime fileDate = modified(filePath_);
    for (const ConflictCopy& copy : conflictCopiesOf(filePath_)) {
        const auto entries = readJsonObject(copy.path);
        if (!entries) continue; // not ours to judge: left where it is
        mergeEntries(disk, *entries, modified(copy.path) > fileDate);
        merged.append(copy.path);
    }
    return merged;
}

} // namespace quillet::platform
