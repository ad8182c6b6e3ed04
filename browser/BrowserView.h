#pragma once
// What the note tree asks of the browser's outline view (and, through it, of the main
// controller). The model calls these on the main thread; the browser view implements them,
// tests record them.

#include "browser/FileRepresentation.h"

namespace quillet {

class BrowserView {
public:
    virtual ~BrowserView() = default;

    // Redraws every row and selects the previously selected record again.
    virtual void updateTable() = 0;
    // Rebuilds the rows from the roots.
    virtual void reloadData() = 0;
    // The folder's "children" changed: records were added (`added`), removed or reordered, or
    // their values read again. Views that cannot show one folder anew rebuild every row.
    virtual void reloadFolder(const FileRep& /*folder*/, const FileRepList& /*added*/) { reloadData(); }
    virtual void expandItem(const FileRep& item) = 0;
    virtual void selectRowWithFileRep(const FileRep& item) = 0;
    // The record of the selected row; none when no row is selected.
    virtual FileRep selectedItem() const = 0;
    // Hands the record to the main controller to be opened in the editor.
    virtual void openDocument(const FileRep& item) = 0;
};

} // namespace quillet
