#pragma once
// File > Export as PDF… and File > Print…: the preview itself when it is shown (its page as PDF,
// its view printed), else the note's text laid out for paper. The controller's `printing` flag
// is set while one runs and cleared on every way it ends: a cancelled dialog, a web engine that
// fails, a page that goes away.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QPrinter;

namespace quillet {

class ExportPanels;
class PagedPdf;
struct HtmlExportRequest;
class ViewController;
class WebViewController;

class ExportCommands : public QObject {
    Q_OBJECT

public:
    ExportCommands(ViewController& controller, WebViewController* preview, QObject* parent = nullptr);
    ~ExportCommands() override;

    // The save dialog (default: the controller's panels) and the print dialog (default: the
    // desktop's print dialog; false: cancelled).
    void setPanels(ExportPanels* panels) { panels_ = panels; }
    void setPrintDialog(std::function<bool(QPrinter&)> dialog) { printDialog_ = std::move(dialog); }

    void saveDocumentAsPDF();
    void printDocument();
    // The destination last chosen for a PDF export.
    QString urlOfExportPDF() const { return urlOfExportPDF_; }

signals:
    // A PDF export or a print ended; `ok` false when it failed (not when it was cancelled).
    void printOperationDidRun(bool ok);

private:
    bool previewShown() const;
    void writeTextLayoutPdf(const QString& target);
    void writePagedPdf(HtmlExportRequest request, const QString& target);
    void printOperationFinished(bool ok);
    bool runPrintDialog(QPrinter& printer);

    ViewController& controller_;
    WebViewController* preview_;
    ExportPanels* panels_ = nullptr;
    std::function<bool(QPrinter&)> printDialog_;
    std::unique_ptr<QPrinter> printer_; // lives while the preview prints on it
    std::unique_ptr<PagedPdf> pagedPdf_; // a long note's PDF, while it is printed
    QString urlOfExportPDF_;
    bool exportingPdf_ = false;
};

} // namespace quillet
