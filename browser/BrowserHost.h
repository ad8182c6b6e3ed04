#pragma once
// What the note browser asks of the main controller: opening and closing notes, moving the
// editor's selection, and the searches that fill a note's search results. The main controller
// implements this; the browser's tests record the calls.

#include "browser/FileRepresentation.h"
#include "engine/Range.h"

#include <QString>

namespace quillet {

class BrowserHost {
public:
    virtual ~BrowserHost() = default;

    virtual void openDocument(const FileRep& item) = 0;
    // Opens the note with the range selected (a header or a search result chosen) instead of
    // the note's stored selection.
    virtual void openDocument(const FileRep& item, Range selection) = 0;
    virtual void closeDocument() = 0;
    // Selects text in the editor.
    virtual void setSelectedRange(Range range) = 0;
    // The open note's record; none when nothing is open.
    virtual FileRep lastFileRepresentation() const = 0;
    virtual void enterOutlineMode(bool outlineMode) = 0;
    // Fills the note's "searchResults": at once for the open note (true when there is at least
    // one), else from a background read (false at once).
    virtual bool searchResults(const QString& searchString, const FileRep& note) = 0;
    // Marks the note "hasSearchTarget" (from a background read) when its text holds the string.
    virtual void findString(const QString& searchString, const FileRep& note) = 0;
};

} // namespace quillet
