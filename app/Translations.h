#pragma once
// The user interface's language: Quillet's own catalogue (built into the application) and Qt's
// catalogue for its standard dialogs, for the first of the user's languages that Quillet has.

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace quillet {

// Installs the catalogues for the first of `uiLanguages` (QLocale::uiLanguages(), so LANGUAGE
// is followed) with a Quillet catalogue, and Qt's qtbase catalogue for it when there is one.
// Returns that language's code ("ja"), empty when the interface stays English.
QString installTranslations(QCoreApplication& application, const QStringList& uiLanguages);

} // namespace quillet
