#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quillet {

namespace {

const QString kCatalogueFolder = QStringLiteral(":/quillet/translations");

QString languageCode(const QString& uiLanguage) {
    return uiLanguage.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
}

} // namespace

QString installTranslations(QCoreApplication& application, const QStringList& uiLanguages) {
    for (const QString& uiLanguage : uiLanguages) {
        const QString code = languageCode(uiLanguage);
        // English is the source language: a later language in the list must not override it.
        if (code.isEmpty() || code == QLatin1String("en")) return {};
        auto* own = new QTranslator(&application);
        if (!own->load(QStringLiteral("quillet_") + code, kCatalogueFolder)) {
            delete own;
            continue;
        }
        QCoreApplication::installTranslator(own);
        auto* qt = new QTranslator(&application);
        if (qt->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        else
            delete qt;
        return code;
    }
    return {};
}

} // namespace quillet
