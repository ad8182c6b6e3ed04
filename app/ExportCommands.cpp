#include "app/ExportCommands.h"

#include "app/PagedPdf.h"
#include "app/PdfFiles.h"
#include "app/PreviewPage.h"
#include "app/PrintLayout.h"
#include "app/WebViewController.h"
#include "documents/ExportPanels.h"
#include "documents/NoteExport.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"
#include "engine/MarkdownString.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <optional>
#include <utility>

namespace quillet {

ExportCommands::ExportCommands(ViewController& controller, WebViewController* preview, QObject* parent)
    : QObject(parent), controller_(controller), preview_(preview) {}

ExportCommands::~ExportCommands() = default;

bool ExportCommands::previewShown() const {
    return controller_.webViewState() && preview_ && preview_->previewPage() && preview_->webView();
}

bool ExportCommands::runPrintDialog(QPrinter& printer) {
    if (printDialog_) return printDialog_(printer);
    QPrintDialog dialog(&printer, controller_.window());
    dialog.setWindowTitle(tr("Print"));
    return dialog.exec() == QDialog::Accepted;
}

void ExportCommands::saveDocumentAsPDF() {
    if (!controller_.beginPrinting()) return;
    const QString name = controller_.displayName() + QStringLiteral(".pdf");
    std::optional<QString> target;
    if (panels_) {
        target = panels_->chooseSaveFile(tr("Export as PDF"), name, {QStringLiteral("PDF (*.pdf)")});
    } else {
        FileDialogPanels desktop(controller_.window());
        target = desktop.chooseSaveFile(tr("Export as PDF"), name, {QStringLiteral("PDF (*.pdf)")});
    }
    if (!target) {
        controller_.endPrinting();
        return;
    }
    const FileRep note = controller_.lastFileRepresentation();
    if (note && isSameFile(*target, note->path())) {
        controller_.endPrinting();
        controller_.showAlert(tr("Couldn't export the Note."), tr("The Note itself can't be replaced by its PDF."));
        return;
    }
    urlOfExportPDF_ = *target;
    exportingPdf_ = true;
    if (!previewShown()) {
        writeTextLayoutPdf(*target);
        return;
    }
    HtmlExportRequest request = controller_.htmlExportRequest();
    if (request.text.size() > PagedPdf::kPartLength) {
        writePagedPdf(std::move(request), *target);
        return;
    }
    // The page shows the note as of the last refresh, at most 2 seconds of typing behind.
    printPageToPdf(*preview_->previewPage(), *target, [this](bool ok) { printOperationFinished(ok); });
}

// The preview's own page would take minutes and gigabytes over a note of hundreds of pages: the
// note is printed in parts by a page of its own, as the command line does.
void ExportCommands::writePagedPdf(HtmlExportRequest request, const QString& target) {
    auto folder = std::make_shared<QTemporaryDir>();
    if (!folder->isValid()) {
        printOperationFinished(false);
        return;
    }
    request.imageFolder = folder->path();
    const QStringList parts = exportedHtmlParts(request, PagedPdf::kPartLength);
    pagedPdf_ = std::make_unique<PagedPdf>(parts, folder->path(), target, [this, folder](bool ok, const QString&) {
        pagedPdf_.release()->deleteLater();
        printOperationFinished(ok);
    });
    pagedPdf_->start();
}

void ExportCommands::writeTextLayoutPdf(const QString& target) {
    const QString part = temporaryPathBeside(target);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(part);
    printer.setDocName(controller_.displayName());
    printer.setPageLayout(notePageLayout());
    MarkdownViewController* editor = controller_.markdownViewController();
    const bool printed = printTextLayout(printer, editor->string(), controller_.selectedFont(),
                                         editor->markdownString().markdownOptions());
    printOperationFinished(printed && replaceWithFinished(part, target));
}

void ExportCommands::printDocument() {
    if (!controller_.beginPrinting()) return;
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setDocName(controller_.displayName());
    printer_->setPageLayout(notePageLayout());
    if (!runPrintDialog(*printer_)) {
        printer_.reset();
        controller_.endPrinting();
        return;
    }
    if (previewShown()) {
        QWebEngineView* view = preview_->webView();
        connect(view, &QWebEngineView::printFinished, this, &ExportCommands::printOperationFinished,
                Qt::SingleShotConnection);
        // A view released mid-print never reports: the flag must still clear.
        connect(view, &QObject::destroyed, this, [this] { if (printer_) printOperationFinished(false); },
                Qt::SingleShotConnection);
        view->print(printer_.get());
        return;
    }
    MarkdownViewController* editor = controller_.markdownViewController();
    const bool printed = printTextLayout(*printer_, editor->string(), controller_.selectedFont(),
                                         editor->markdownString().markdownOptions());
    printOperationFinished(printed);
}

void ExportCommands::printOperationFinished(bool ok) {
    printer_.reset();
    controller_.endPrinting();
    // A failed printout is the printer's to report; a PDF that was not written is ours.
    if (!ok && std::exchange(exportingPdf_, false))
        controller_.showAlert(tr("Couldn't export the Note."), tr("The PDF could not be written."));
    exportingPdf_ = false;
    emit printOperationDidRun(ok);
}

} // namespace quillet

#include "moc_ExportCommands.cpp"
