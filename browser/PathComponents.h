#pragma once
// Path arithmetic on '/'-separated local paths, done on the strings alone (nothing touches the
// disk). Components: an absolute path starts with the component "/"; empty components (from
// "//" or a trailing "/") are dropped.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace quillet {

QStringList pathComponents(QStringView path);

// The components of `path` below `base`; none when `path` does not lie under `base`, an empty
// list when they are the same.
std::optional<QStringList> deltaPath(QStringView path, QStringView base);

// True when `path` is `folder` or lies inside it, component by component ("/a/bc" is not inside
// "/a/b").
bool isPathInside(QStringView path, QStringView folder);

QString lastPathComponent(QStringView path);
// The path without its last component; "" for a path of one relative component, "/" for "/x".
QString deletingLastPathComponent(QStringView path);
// The text after the last '.' of the last component ("" when there is none, or when the only
// '.' starts the name: ".profile" has no extension).
QString pathExtension(QStringView name);
// The last component without its extension ("a.b.md" -> "a.b").
QString lastComponentWithoutExtension(QStringView path);

} // namespace quillet
