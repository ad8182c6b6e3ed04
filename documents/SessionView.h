#pragma once
// What the open note's owner asks of the window around it: show a note's text or nothing, give
// back the text being edited, and tell or ask the user. The main controller implements it over
// the editor, the browser and the alerts; tests record the calls.

#include "browser/FileRepresentation.h"
#include "engine/Range.h"

#include <QString>
#include <QStringList>

namespace quillet {

class SessionView {
public:
    virtual ~SessionView() = default;

    virtual void showLoading(bool loading) = 0;
    // A note read from disk: text, type identifier, selection and whether it may be edited.
    virtual void showNote(const FileRep& note, const QString& type, const QString& text, Range selection,
                          bool editable) = 0;
    // No open note: the editor is empty and read-only.
    virtual void showNothing(const QString& type) = 0;
    // The open note changed on disk while it had no unsaved edits: the editor takes the text,
    // keeping its caret where it can.
    virtual void replaceText(const QString& text) = 0;
    virtual void setEditable(bool editable) = 0;
    virtual QString editedText() const = 0;
    virtual Range editedSelection() const = 0;

    // A save went through (or the note was read again): the browser's row and outline follow.
    virtual void noteWritten(const FileRep& note) = 0;
    // Which note is open, its name or its place changed.
    virtual void documentChanged() = 0;
    // A note written by the owner beside the open one (a kept text): the browser shows it.
    virtual FileRep noteAdded(const QString& path) = 0;

    virtual void alert(const QString& message, const QString& informativeText) = 0;
    // Asks with the buttons given (the first is the default); the index of the one chosen.
    virtual int ask(const QString& message, const QString& informativeText, const QStringList& buttons) = 0;
};

} // namespace quillet
