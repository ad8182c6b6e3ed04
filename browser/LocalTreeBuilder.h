#pragma once
// Builds the records of a local folder tree: every folder's notes, style sheets, scripts and
// sub-folders, the whole depth. Listing a folder costs a few system calls per entry, so the
// folders are listed on several threads at once; each folder's "children" are filled by the one
// thread that lists it, in listing order, so the tree is the same whatever the threads do.

#include "browser/FileRepresentation.h"
#include "browser/SortDescriptor.h"

#include <cstddef>

namespace quillet {

struct LocalTreeOptions {
    int threads = 1;                // the calling thread included
    SortDescriptors sortEachFolder; // applied to every listed folder's children; none: listing order
};

// Gives `folder` and each sub-folder found below it a new "children" list of their entries (a
// folder that cannot be listed, or an application bundle, gets an empty one). Returns how many
// folders were listed.
std::size_t buildLocalTree(const FileRep& folder, const LocalTreeOptions& options);

// The threads worth using on this machine.
int localTreeThreads();

} // namespace quillet
