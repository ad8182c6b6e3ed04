#include "platform/AttributeSideFile.h"

#include "platform/ExtendedAttributes.h"
#include "platform/PosixFiles.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cerrno>
#include <unistd.h>

namespace quillet::platform::side_file {

Result<Values> load(const QString& path) {
    int error = 0;
    if (!posix::targetStatus(path, &error)) return Result<Values>::failure(Status::fromErrno(error, path));
    const QString sidePath = attributeSideFilePath(path);
    QFile file(sidePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists()) return Result<Values>::success({});
        return Result<Values>::failure(Status::failure(file.errorString(), EIO));
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return Result<Values>::failure(Status::failure(
            QStringLiteral("“%1” isn't an attribute file.").arg(posix::lastComponent(sidePath)), EINVAL));
    Values values;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it)
        values.insert(it.key(), QByteArray::fromBase64(it.value().toString().toLatin1()));
    return Result<Values>::success(values);
}

Status store(const QString& path, const Values& values) {
    const QString sidePath = attributeSideFilePath(path);
    if (values.isEmpty()) {
        if (::unlink(posix::nativePath(sidePath).constData()) == 0 || errno == ENOENT)
            return Status::success();
        return Status::fromErrno(errno, sidePath);
    }
    QJsonObject object;
    for (auto it = values.begin(); it != values.end(); ++it)
        object.insert(it.key(), QString::fromLatin1(it.value().toBase64()));
    QSaveFile file(sidePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(object).toJson()) < 0 || !file.commit())
        return Status::failure(file.errorString(), EIO);
    return Status::success();
}

Status copy(const QString& from, const QString& to) {
    auto source = load(from);
    if (!source) return source.status;
    if (source->isEmpty()) return Status::success();
    auto target = load(to);
    if (!target) return target.status;
    for (auto it = source->begin(); it != source->end(); ++it)
        target->insert(it.key(), it.value());
    return store(to, *target);
}

} // namespace quillet::platform::side_file
