#include "app/HeadlessExport.h"

#include "app/LaunchOptions.h"
#include "app/MarkdownStyleSheets.h"
#include "app/PagedPdf.h"
#include "browser/DisplayName.h"
#include "documents/NoteExport.h"
#include "editor/LineBreaks.h"
#include "platform/Containers.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

namespace quillet {

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "quillet: %s\n", qPrintable(message));
    return 1;
}

std::optional<QString> readNote(const QString& path, QString* error) {
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("no note at %1").arg(path);
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    const QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes) {
        *error = QStringLiteral("%1 is not UTF-8 text").arg(path);
        return std::nullopt;
    }
    return convertLineBreak(text);
}

HtmlExportRequest requestFor(const QString& notePath, const QString& text, const QString& css) {
    HtmlExportRequest request;
    request.text = text;
    request.title = displaynameFromFirstline(text);
    if (request.title.isEmpty()) request.title = QFileInfo(notePath).completeBaseName();
    const QStringList languages = QLocale::system().uiLanguages();
    request.language = languages.isEmpty() ? QStringLiteral("en") : languages.first();
    request.styleSheetText = css;
    return request;
}

int exportHtml(const LaunchOptions& options, HtmlExportRequest request) {
    const QString target = *options.exportHtmlPath;
    request.imageFolder = QFileInfo(target).absolutePath();
    const platform::Status written =
        writeExportFile(target, exportedHtmlDocument(request).toUtf8(), options.exportNotePath);
    return written ? 0 : fail(written.description);
}

// The parts are loaded from files in a private folder that also holds the note's images.
int exportPdf(const LaunchOptions& options, HtmlExportRequest request) {
    const QString target = *options.exportPdfPath;
    if (isSameFile(target, options.exportNotePath)) return fail(QStringLiteral("%1 is the note itself").arg(target));
    QTemporaryDir folder;
    if (!folder.isValid()) return fail(QStringLiteral("no temporary folder: %1").arg(folder.errorString()));
    request.imageFolder = folder.path();
    QEventLoop loop;
    int status = 1;
    PagedPdf pdf(exportedHtmlParts(request, PagedPdf::kPartLength), folder.path(), target,
                 [&](bool ok, const QString& error) {
                     status = ok ? 0 : fail(QStringLiteral("could not write %1: %2").arg(target, error));
                     loop.quit();
                 });
    pdf.start();
    loop.exec();
    // The page the parts were printed by is released before the web engine's profile.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}

} // namespace

bool asksForHeadlessExport(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--export-pdf") == 0 || std::strcmp(argv[i], "--export-html") == 0) return true;
        if (std::strncmp(argv[i], "--export-pdf=", 13) == 0 || std::strncmp(argv[i], "--export-html=", 14) == 0)
            return true;
    }
    return false;
}

QString styleSheetTextNamed(const std::optional<QString>& name, QString* error) {
    const QString fileName = name.value_or(QStringLiteral("markdown.css"));
    if (fileName.contains(QLatin1Char('/'))) {
        *error = QStringLiteral("a style sheet is named without a folder: %1").arg(fileName);
        return {};
    }
    QString folder = platform::localContainerPath();
    if (const auto cloud = platform::ubiquityContainerPath()) folder = *cloud;
    for (const QString& path : {folder + QStringLiteral("/CSS/") + fileName,
                                QString::fromLatin1(kStyleSheetResourceFolder) + QLatin1Char('/') + fileName}) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) return QString::fromUtf8(file.readAll());
    }
    *error = QStringLiteral("no style sheet named %1").arg(fileName);
    return {};
}

int runHeadlessExport(const LaunchOptions& options) {
    QString error;
    const std::optional<QString> text = readNote(options.exportNotePath, &error);
    if (!text) return fail(error);
    const QString css = styleSheetTextNamed(options.exportCss, &error);
    if (!error.isEmpty()) return fail(error);
    const HtmlExportRequest request = requestFor(options.exportNotePath, *text, css);
    return options.exportPdfPath ? exportPdf(options, request) : exportHtml(options, request);
}

} // namespace quillet
