#pragma once
// The record a folder entry becomes in the local tree, and which entries the browser shows:
// notes (Markdown and plain text), style sheets, scripts and folders; never application
// bundles, other file types or a file named "iChats".

#include "browser/FileRepresentation.h"
#include "platform/FolderListing.h"

namespace quillet {

// The entry's type identifier, or, when the file system gave none, Markdown for a ".md" name
// and plain text for anything else.
QString typeIdentifierOfEntry(const platform::FolderEntry& entry);

FileRep recordForFolderEntry(const platform::FolderEntry& entry);
// The same, taking the entry's values instead of copying them.
FileRep recordForFolderEntry(platform::FolderEntry&& entry);

bool isBrowsableEntry(const platform::FolderEntry& entry, const QString& typeIdentifier);
// The same, with the type identifier typeIdentifierOfEntry gives.
bool isBrowsableEntry(const platform::FolderEntry& entry);

// Application bundles (folders named "*.app") are never opened.
bool isApplicationBundle(QStringView path);

} // namespace quillet
