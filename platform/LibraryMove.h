#pragma once
// The one-time move of the note library from the hidden folder earlier versions used into the
// user's documents folder. Nothing is ever moved onto or merged into an existing item: then, as
// after any failure, the library stays where it was and is used from there (Containers.h), and
// the message tells the user why.

#include <QString>

namespace quillet::platform {

struct LibraryMove {
    enum class Outcome { nothingToMove, moved, targetExists, failed };
    Outcome outcome = Outcome::nothingToMove;
    QString library; // where the notes are afterwards
    QString message; // for the user; empty when there is nothing to tell
};

// Moves the folder `from` to `to` when `from` is a folder and nothing is at `to`. On one file
// system that is a single rename (renameat2 with RENAME_NOREPLACE); across file systems the
// folder is copied beside `to` under a hidden name, renamed into place, and only then is the
// original removed. Can take long across file systems: call it before the library is used.
LibraryMove moveLibrary(const QString& from, const QString& to);

// moveLibrary(formerLocalContainerPath(), documentsLibraryPath()).
LibraryMove moveFormerLocalContainer();

} // namespace quillet::platform
