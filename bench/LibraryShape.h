#pragma once
// The shape of the generated note library the benchmarks share: 10,000 notes spread over 200
// folders, 5 levels deep.

#include <QDir>
#include <QFile>
#include <QLatin1Char>
#include <QString>
#include <vector>

namespace quillet::bench {

inline constexpr int kLibraryNotes = 10000;
inline constexpr int kLibraryLevelSizes[] = {4, 12, 36, 72, 76}; // folders per level: 200 in all

// Makes the library's folders under `root`, level by level, and returns their paths.
inline std::vector<QString> makeLibraryFolders(const QString& root) {
    std::vector<QString> previous = {root};
    std::vector<QString> folders;
    for (int size : kLibraryLevelSizes) {
        std::vector<QString> level;
        for (int i = 0; i < size; ++i) {
            const QString path = previous[i % previous.size()] + QStringLiteral("/Folder %1").arg(i + 1);
            QDir().mkpath(path);
            level.push_back(path);
        }
        folders.insert(folders.end(), level.begin(), level.end());
        previous = level;
    }
    return folders;
}

// The path of note `index` (0-based) among `folders`.
inline QString libraryNotePath(const std::vector<QString>& folders, int index) {
    return folders[index % folders.size()] +
           QStringLiteral("/Note %1.md").arg(index + 1, 5, 10, QLatin1Char('0'));
}

// Makes the whole library under `root`: its folders and its short notes.
inline void writeLibrary(const QString& root) {
    QDir().mkpath(root);
    const std::vector<QString> folders = makeLibraryFolders(root);
    for (int i = 0; i < kLibraryNotes; ++i) {
        QFile note(libraryNotePath(folders, i));
        if (note.open(QIODevice::WriteOnly))
            note.write(QStringLiteral("# Note %1\n\nSome text of the note.\n").arg(i + 1).toUtf8());
    }
}

// Points HOME and the XDG folders into `root`, so that a benchmark never touches the user's own.
inline void pointHomeAt(const QString& root) {
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
        const QString path = root + QLatin1Char('/') + QString::fromLatin1(name).toLower();
        QDir().mkpath(path);
        qputenv(name, QFile::encodeName(path));
    }
}

} // namespace quillet::bench
