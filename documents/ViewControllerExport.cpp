// Getting notes out and in: export as plain text, Markdown or HTML, import of a text file as a
// new note, copy of the selected lines as HTML, and the flags that keep these from overlapping.

#include "browser/view/FolderViewController.h"
#include "documents/NoteExport.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "engine/MarkdownString.h"
#include "platform/FreeNames.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeData>

namespace quillet {

namespace {

QString preferredLanguage(const platform::UserDefaults& defaults) {
    const auto languages =
        defaults.stringArray(QString::fromLatin1(platform::defaults_keys::kPreferredLanguages));
    if (languages && !languages->isEmpty()) return languages->first();
    const QStringList system = QLocale::system().uiLanguages();
    return system.isEmpty() ? QStringLiteral("en") : system.first();
}

platform::Result<QString> readUtf8File(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return platform::Result<QString>::failure(platform::Status::failure(
            QStringLiteral("“%1”: %2").arg(QFileInfo(path).fileName(), file.errorString())));
    return platform::Result<QString>::success(QString::fromUtf8(file.readAll()));
}

// The desktop's dialogs on the window, made on first use.
ExportPanels& defaultPanels(std::unique_ptr<ExportPanels>& panels, QWidget* window) {
    if (!panels) panels = std::make_unique<FileDialogPanels>(window);
    return *panels;
}

} // namespace

void ViewController::setExportPanels(ExportPanels* panels) {
    d->exportPanels = panels;
}

HtmlExportRequest ViewController::htmlExportRequest() {
    HtmlExportRequest request;
    request.text = d->markdownViewController->string();
    request.title = displayName();
    request.language = preferredLanguage(d->defaults);
    request.options = d->markdownViewController->markdownString().markdownOptions();
    request.styleSheetText = readStyleSheetText(styleSheetURL());
    return request;
}

void ViewController::exportAs(const QString& formatTitle) {
    const FileRep open = d->session->note();
    if (!open || d->isExporting) return;
    d->isExporting = true;
    autosaveFile();
    ExportPanels& panels = d->exportPanels ? *d->exportPanels : defaultPanels(d->defaultExportPanels, this);
    const ExportFormat format = exportFormatForTitle(formatTitle);
    const std::optional<QString> target =
        panels.chooseSaveFile(tr("Export"), displayName(), exportNameFilters(format));
    d->isExporting = false;
    if (!target) return;

    // Plain text and Markdown are the editor's text as it stands: no style sheet to read.
    HtmlExportRequest request;
    if (format == ExportFormat::html) {
        request = htmlExportRequest();
        request.imageFolder = QFileInfo(*target).absolutePath();
    } else {
        request.text = d->markdownViewController->string();
    }
    const QString path = *target;
    const QString notePath = open->path();
    d->onWorker<platform::Status>(
        [format, request, path, notePath] {
            const QString output = format == ExportFormat::html ? exportedHtmlDocument(request) : request.text;
            return writeExportFile(path, output.toUtf8(), notePath);
        },
        [this](const platform::Status& written) {
            if (!written) showAlert(tr("Couldn't export the Note."), written.description);
        });
}

void ViewController::importFrom() {
    const FileRep open = d->session->note();
    if (!open || d->isExporting) return;
    d->isExporting = true;
    ExportPanels& panels = d->exportPanels ? *d->exportPanels : defaultPanels(d->defaultExportPanels, this);
    const std::optional<QString> source = panels.chooseOpenFile(
        tr("Import"), {QStringLiteral("Markdown (*.md *.markdown)"), QStringLiteral("Plain Text (*.txt *.text)")});
    if (!source) {
        d->isExporting = false;
        return;
    }
    const FileRep folder = parentOf(open);
    if (!folder) {
        d->isExporting = false;
        showAlert(tr("Couldn't import the Note."), tr("Internal error happens."));
        return;
    }
    const QString fileName = QFileInfo(*source).fileName();
    const QString folderPath = folder->path();
    const QString sourcePath = *source;
    const bool iCloud = open->iCloud;
    // Read and written on a worker; the note appears in the browser only once its file exists.
    d->onWorker<platform::Result<QString>>(
        [sourcePath, fileName, folderPath] {
            const platform::Result<QString> text = readUtf8File(sourcePath);
            if (!text) return text;
            const QString noteName = QFileInfo(fileName).completeBaseName() + QStringLiteral(".md");
            return platform::createFileWithFreeName(folderPath, noteName, importedNoteText(fileName, *text).toUtf8());
        },
        [this, folder, fileName, iCloud](const platform::Result<QString>& written) {
            d->isExporting = false;
            if (!written) {
                showAlert(tr("Couldn't import the Note."), written.status.description);
                return;
            }
            const FileRep made = recordForPath(*written);
            if (!made) return;
            made->displayName = fileName;
            made->displayNameChanged = true;
            made->iCloud = iCloud;
            closeDocument();
            addCreatedNote(folder, made);
        });
}

void ViewController::copyAsHTML() {
    const QString text = d->markdownViewController->string();
    const QString html = htmlOfLines(text, d->markdownViewController->selectedRange(),
                                     d->markdownViewController->markdownString().markdownOptions());
    // Both forms: office and mail programs keep the formatting, text editors get the source.
    auto* data = new QMimeData;
    data->setHtml(html);
    data->setText(html);
    QGuiApplication::clipboard()->setMimeData(data);
}

bool ViewController::beginPrinting() {
    if (!d->session->note() || d->printing) return false;
    d->printing = true;
    return true;
}

void ViewController::endPrinting() {
    d->printing = false;
}

bool ViewController::printing() const {
    return d->printing;
}

} // namespace quillet
