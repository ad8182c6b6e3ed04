#include "app/PdfFiles.h"

#include "app/PrintLayout.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <QWebEnginePage>
#include <cstdio>
#include <memory>
#include <utility>

namespace quillet {

QString temporaryPathBeside(const QString& target) {
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.') +
           QUuid::createUuid().toString(QUuid::Id128).left(8) + QStringLiteral(".part");
}

bool replaceWithFinished(const QString& finished, const QString& target) {
    if (std::rename(QFile::encodeName(finished).constData(), QFile::encodeName(target).constData()) == 0) return true;
    QFile::remove(finished);
    return false;
}

void printPageToPdf(QWebEnginePage& page, const QString& target, std::function<void(bool ok)> done) {
    const QString part = temporaryPathBeside(target);
    // Runs `done` once: when the PDF is written or failed, or when the page goes away before.
    auto finish = std::make_shared<std::function<void(bool)>>(std::move(done));
    auto once = [finish](bool ok) {
        if (!*finish) return;
        auto call = std::exchange(*finish, nullptr);
        call(ok);
    };
    QObject::connect(&page, &QWebEnginePage::pdfPrintingFinished, &page, [once, part, target](const QString& path, bool ok) {
        if (path != part) return;
        if (!ok) QFile::remove(part);
        once(ok && replaceWithFinished(part, target));
    });
    // A renderer that crashes or is killed never reports on its print.
    QObject::connect(&page, &QWebEnginePage::renderProcessTerminated, &page, [once, part] {
        QFile::remove(part);
        once(false);
    });
    QObject::connect(&page, &QObject::destroyed, [once, part] {
        QFile::remove(part);
        once(false);
    });
    page.printToPdf(part, notePageLayout());
}

} // namespace quillet
