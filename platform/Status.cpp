#include "platform/Status.h"

#include "platform/PosixFiles.h"

#include <cstring>

namespace quillet::platform {

Status Status::fromErrno(int code, const QString& path) {
    // strerrordesc_np is thread-safe, unlike strerror.
    const char* text = ::strerrordesc_np(code);
    const QString reason = text ? QString::fromUtf8(text) : QStringLiteral("Error %1").arg(code);
    if (path.isEmpty()) return failure(reason, code);
    return failure(QStringLiteral("“%1”: %2").arg(posix::lastComponent(path), reason), code);
}

} // namespace quillet::platform
