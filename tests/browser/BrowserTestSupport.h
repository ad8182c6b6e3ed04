#pragma once
// Helpers shared by the browser tests: files in a temporary folder, records built by hand, and
// a browser view that records what the note tree asks of it.

#include "browser/BrowserView.h"
#include "browser/FileRepresentation.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <ostream>
#include <string>
#include <vector>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillet::testing {

inline void writeFile(const QString& path, const QByteArray& bytes = "text\n") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

inline QStringList namesOf(const FileRepList& records) {
    QStringList names;
    for (const FileRep& rep : records)
        names.append(rep->displayName.value_or(QStringLiteral("?")));
    return names;
}

inline FileRep childNamed(const FileRep& folder, const QString& name) {
    if (!folder || !folder->children) return nullptr;
    for (const FileRep& child : *folder->children)
        if (child->displayName == name) return child;
    return nullptr;
}

// A note or folder record at `path` with a display name and a modification date (seconds).
inline FileRep record(const QString& path, const QString& name, qint64 modified, bool folder = false) {
    FileRep rep = FileRepresentation::forPath(path);
    rep->displayName = name;
    rep->filename = name;
    rep->lastModified = QDateTime::fromSecsSinceEpoch(modified, Qt::UTC);
    rep->directory = folder;
    if (folder) rep->children.emplace();
    return rep;
}

inline FileRep top(const QString& path, const QString& name, FileRepList children = {}) {
    FileRep rep = FileRepresentation::forPath(path);
    rep->displayName = name;
    rep->top = true;
    rep->directory = true;
    rep->children = std::move(children);
    return rep;
}

class RecordingView final : public BrowserView {
public:
    void updateTable() override { calls.push_back("updateTable"); }
    void reloadData() override { calls.push_back("reloadData"); }
    void expandItem(const FileRep& item) override { calls.push_back("expand " + name(item)); }
    void selectRowWithFileRep(const FileRep& item) override { calls.push_back("select " + name(item)); }
    FileRep selectedItem() const override { return selected; }
    void openDocument(const FileRep& item) override { calls.push_back("open " + name(item)); }

    static std::string name(const FileRep& item) {
        return item && item->displayName ? item->displayName->toStdString() : std::string("none");
    }

    std::vector<std::string> calls;
    FileRep selected;
};

} // namespace quillet::testing
