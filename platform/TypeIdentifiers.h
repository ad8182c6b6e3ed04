#pragma once
// Type identifiers of files, from the shared MIME database. The extension decides when it is
// known (as on the original platform, a ".md" file is Markdown whatever it holds); a file whose
// extension says nothing is judged by its content, and content that is not text is
// "public.data", so a binary file is never taken for a note.

#include <QString>

namespace quillet::platform {

inline constexpr char kMarkdownTypeIdentifier[] = "net.daringfireball.markdown";
inline constexpr char kPlainTextTypeIdentifier[] = "public.plain-text";
inline constexpr char kCssTypeIdentifier[] = "public.css";
inline constexpr char kPythonScriptTypeIdentifier[] = "public.python-script";
inline constexpr char kFolderTypeIdentifier[] = "public.folder";
inline constexpr char kPngTypeIdentifier[] = "public.png";
inline constexpr char kJpegTypeIdentifier[] = "public.jpeg";
inline constexpr char kHtmlTypeIdentifier[] = "public.html";
inline constexpr char kDataTypeIdentifier[] = "public.data";       // content that is not text
inline constexpr char kTextTypeIdentifier[] = "public.text";       // other text formats
inline constexpr char kSymlinkTypeIdentifier[] = "public.symlink"; // a link to a folder, a dangling link

// One of the identifiers above (by its constant) as a string whose text is static: copies of it
// share no reference count, so the thousands of records of a listing, built on several threads at
// once, do not all write to one counter. Any other text is copied into a string of its own.
QString typeIdentifierString(const char* identifier);

// The identifier for a MIME type name ("text/markdown" -> "net.daringfireball.markdown"),
// following aliases and parent types: "public.text" for other text types, else "public.data".
QString typeIdentifierForMimeType(const QString& mimeTypeName);

// The identifier for a file-name extension without the dot ("md", "CSS"); empty when the
// extension is unknown.
QString typeIdentifierForExtension(const QString& extension);

// The identifier of the item at `path`: "public.folder" for a folder (a link to one is
// "public.symlink"), else by extension, else by content (an empty file is plain text). Empty
// when the item does not exist or cannot be read.
QString typeIdentifierForFile(const QString& path);

// The identifier of an item known to be a regular file of `size` bytes: by name, else by content.
QString typeIdentifierForRegularFile(const QString& path, qint64 size);

// The preferred extension of a type identifier ("public.plain-text" -> "txt"); empty if unknown.
QString preferredExtensionForTypeIdentifier(const QString& typeIdentifier);

} // namespace quillet::platform
