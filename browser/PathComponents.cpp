#include "browser/PathComponents.h"

namespace quillet {

namespace {

QStringView trimmedTrailingSlashes(QStringView path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// Index of the '.' that starts the extension of the last component, or -1.
qsizetype extensionDot(QStringView path) {
    const QStringView trimmed = trimmedTrailingSlashes(path);
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    const qsizetype dot = trimmed.lastIndexOf(u'.');
    if (dot <= slash + 1) return -1; // no dot, or the name starts with it
    return dot;
}

} // namespace

QStringList pathComponents(QStringView path) {
    QStringList components;
    if (path.startsWith(u'/')) components.append(QStringLiteral("/"));
    for (QStringView part : path.tokenize(u'/', Qt::SkipEmptyParts))
        components.append(part.toString());
    return components;
}

std::optional<QStringList> deltaPath(QStringView path, QStringView base) {
    QStringList remaining = pathComponents(path);
    const QStringList baseComponents = pathComponents(base);
    if (baseComponents.size() > remaining.size()) return std::nullopt;
    for (qsizetype i = 0; i < baseComponents.size(); ++i)
        if (remaining[i] != baseComponents[i]) return std::nullopt;
    remaining.erase(remaining.begin(), remaining.begin() + baseComponents.size());
    return remaining;
}

bool isPathInside(QStringView path, QStringView folder) {
    if (folder.isEmpty()) return false;
    return deltaPath(path, folder).has_value();
}

QString lastPathComponent(QStringView path) {
    const QStringView trimmed = trimmedTrailingSlashes(path);
    if (trimmed == u"/") return QStringLiteral("/");
    return trimmed.mid(trimmed.lastIndexOf(u'/') + 1).toString();
}

QString deletingLastPathComponent(QStringView path) {
    const QStringView trimmed = trimmedTrailingSlashes(path);
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    if (slash < 0) return QString();
    if (slash == 0) return trimmed == u"/" ? QString() : QStringLiteral("/");
    return trimmed.left(slash).toString();
}

QString pathExtension(QStringView name) {
    const qsizetype dot = extensionDot(name);
    return dot < 0 ? QString() : trimmedTrailingSlashes(name).mid(dot + 1).toString();
}

QString lastComponentWithoutExtension(QStringView path) {
    const QString last = lastPathComponent(path);
    const qsizetype dot = extensionDot(last);
    return dot < 0 ? last : last.left(dot);
}

} // namespace quillet
