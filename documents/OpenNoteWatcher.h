#pragma once
// Tells when the open note's file may have changed on disk: written, replaced, renamed or
// removed by another program. It only says "look again"; the document session compares the
// file's version with the one it knows. inotify through QFileSystemWatcher, on the note and on
// its folder (a replace by rename shows only on the folder).

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

namespace quillet {

class OpenNoteWatcher : public QObject {
    Q_OBJECT

public:
    explicit OpenNoteWatcher(QObject* parent = nullptr);
    // Watches this note (none: nothing).
    void watch(const QString& path);

signals:
    void mayHaveChanged();

private:
    QFileSystemWatcher watcher_;
    QString path_;
};

} // namespace quillet
