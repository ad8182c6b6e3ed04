#pragma once
// The style sheets that come with the application: where they live as resources, and their
// installation into the "CSS" folder beside the user's notes.

#include <QString>
#include <QStringList>

namespace quillet {

namespace platform {
class UserDefaults;
}

// The resource folder of the bundled style sheets, and the one every lookup falls back to.
inline constexpr char kStyleSheetResourceFolder[] = ":/quillet/css";
inline constexpr char kFallbackStyleSheetURL[] = "qrc:/quillet/css/markdown.css";

// The file names of the bundled style sheets ("*.css"), sorted.
QStringList
bundledStyleSheetNames(const QString& resourceFolder = QString::fromLatin1(kStyleSheetResourceFolder));

// Copies every bundled style sheet missing from <documentsPath>/CSS there (never overwriting one)
// and returns how many were missing. When all were missing (the first installation) the
// installation date and version "1.0" are stored in the defaults. A copy that fails still counts.
int initMarkdownStyleSheet(const QString& documentsPath, platform::UserDefaults& defaults,
                           const QString& resourceFolder = QString::fromLatin1(kStyleSheetResourceFolder));

} // namespace quillet
