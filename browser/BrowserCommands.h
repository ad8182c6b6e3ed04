#pragma once
// What the note browser's context menu, rename popover and drag and drop ask of the main
// controller: the note operations on a row that is not necessarily the open note. The main
// controller implements this; the browser's tests record the calls.

#include "browser/FileRepresentation.h"

#include <QString>

namespace quillet {

class BrowserCommands {
public:
    virtual ~BrowserCommands() = default;

    // The info sheet of the note (its own size, characters and words).
    virtual void showNoteInfoForFileRep(const FileRep& item) = 0;
    // State 0 locks the note, 1 unlocks it.
    virtual void changeEditState(int state, const FileRep& item) = 0;
    // A new style sheet or script in the folder (the "CSS" and "Script" folders).
    virtual void createFile(const FileRep& folder) = 0;
    virtual void newNoteInFileRep(const FileRep& folder) = 0;
    // Moves the item into `target` at `index` (appended at or beyond the end); without
    // `deletingAfter` the source stays (a copy between the local and the synced library).
    virtual void moveFileRep(const FileRep& item, const FileRep& target, int index,
                             bool deletingAfter) = 0;
    // Asks "Delete Note: NAME" about the item, then moves it to the trash.
    virtual void deleteNote(const FileRep& item) = 0;
    // Moves the item to the trash without asking (the popover already asked).
    virtual void deleteNoteInFileRep(const FileRep& item) = 0;
    virtual void deleteFolder(const FileRep& folder) = 0;
    // Copies the note to a place chosen in the desktop's save dialog.
    virtual void copyToFileRep(const FileRep& item) = 0;
    // Copies the file at `sourcePath` into `target` at `index` (never replacing a file: a free
    // name is chosen); with `needsToOpen` the copy is selected and opened. False on failure,
    // after the alert.
    virtual bool copyFile(const QString& sourcePath, const FileRep& target, int index,
                          bool needsToOpen) = 0;
    // "RQ1NfilenameDidChange": `renamed` is a copy of the record with "filename" set to the new
    // file name (with extension); the main controller renames the file.
    virtual void filenameDidChange(const FileRep& renamed) = 0;
    // Whether a synced library is set up ("Move to" between the two libraries).
    virtual bool hasSyncedContainer() const = 0;
    // An alert on the window (the browser's own failures, e.g. "Couldn't create folder.").
    virtual void showAlert(const QString& message, const QString& informativeText) = 0;
};

} // namespace quillet
