#pragma once
// Drag and drop in the browser, without the widgets: what a drag of rows carries, which drops
// the tree takes, and what a drop does.
//
// A note dragged out is a file: its URL as "text/uri-list" and, for targets that take text, its
// text as "text/plain", read only when a target asks. Within the tree a note moves (copies with
// the desktop's copy modifier) into a folder or top, never onto another note, and is not moved
// into the folder it is already in (that would only rename it). Files dropped
// from outside are copied in when they are notes (plain text or Markdown), style sheets or
// scripts: the first such file only.
//
// Main thread only.

#include "browser/BrowserCommands.h"
#include "browser/FileRepresentation.h"

#include <QMimeData>
#include <QString>

namespace quillet {

class NoteTree;

// The mime data of notes dragged from the browser.
class NoteDragMimeData : public QMimeData {
    Q_OBJECT

public:
    explicit NoteDragMimeData(FileRep note);

    const FileRep& note() const { return note_; }
    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    FileRep note_;
};

class NoteDragDrop {
public:
    explicit NoteDragDrop(NoteTree& tree) : tree_(tree) {}

    void setCommands(BrowserCommands* commands) { commands_ = commands; }

    // The drag of these records, or none when none of them is a note, style sheet or script.
    QMimeData* startDrag(const FileRepList& records);
    // The drop of `data` into `target` (a folder or top; none for the root) at the child index
    // (-1: onto the target itself); `copying` when the copy modifier is held.
    bool canDrop(const QMimeData* data, const FileRep& target, bool copying) const;
    bool drop(const QMimeData* data, const FileRep& target, int index, bool copying);

    // The file type a drop from outside may bring in.
    static bool isAcceptedOutsideFile(const QString& path);

private:
    bool fromBrowser(const QMimeData* data) const;
    FileRep dropTarget(const FileRep& target) const;
    FileRep draggedRecord() const;

    NoteTree& tree_;
    BrowserCommands* commands_ = nullptr;
};

} // namespace quillet
