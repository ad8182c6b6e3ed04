#include "app/PagedPdf.h"

#include "app/PdfFiles.h"
#include "platform/PdfMerge.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QSaveFile>
#include <QThreadPool>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <utility>

namespace quillet {

PagedPdf::PagedPdf(QStringList documents, QString folder, QString target, Done done, QObject* parent)
    : QObject(parent), documents_(std::move(documents)), folder_(std::move(folder)),
      target_(std::move(target)), done_(std::move(done)) {}

PagedPdf::~PagedPdf() {
    // Abandoned mid-print: the page going away reports a failure that nobody waits for now.
    done_ = nullptr;
    page_.reset();
    removeParts();
}

void PagedPdf::removeParts() {
    for (int i = 0; i < documents_.size(); ++i) {
        QFile::remove(partPath(i, "html"));
        QFile::remove(partPath(i, "pdf"));
    }
}

QString PagedPdf::partPath(int index, const char* suffix) const {
    return folder_ + QStringLiteral("/part-%1.").arg(index) + QLatin1String(suffix);
}

void PagedPdf::start() {
    page_ = std::make_unique<QWebEnginePage>();
    page_->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    connect(page_.get(), &QWebEnginePage::renderProcessTerminated, this,
            [this] { finish(false, tr("The web engine stopped while laying out the note.")); });
    printPart(0);
}

void PagedPdf::printPart(int index) {
    const QString html = partPath(index, "html");
    QSaveFile file(html);
    if (!file.open(QIODevice::WriteOnly) || file.write(documents_[index].toUtf8()) < 0 || !file.commit()) {
        finish(false, file.errorString());
        return;
    }
    connect(
        page_.get(), &QWebEnginePage::loadFinished, this,
        [this, index](bool loaded) {
            if (!loaded) {
                finish(false, tr("The web engine could not lay out the note."));
                return;
            }
            // One part goes straight to the target; several are joined there at the end.
            const QString output = documents_.size() == 1 ? target_ : partPath(index, "pdf");
            printPageToPdf(*page_, output, [self = QPointer(this), index](bool ok) {
                if (self) self->partPrinted(index, ok);
            });
        },
        Qt::SingleShotConnection);
    page_->load(QUrl::fromLocalFile(html));
}

void PagedPdf::partPrinted(int index, bool ok) {
    if (!ok) {
        finish(false, tr("The PDF could not be written."));
        return;
    }
    if (index + 1 < documents_.size()) {
        printPart(index + 1);
        return;
    }
    if (documents_.size() == 1) {
        finish(true, {});
        return;
    }
    joinParts();
}

// Joining hundreds of pages takes a moment: a worker does it, and the result comes back here.
void PagedPdf::joinParts() {
    QStringList parts;
    for (int i = 0; i < documents_.size(); ++i)
        parts.append(partPath(i, "pdf"));
    QThreadPool::globalInstance()->start([self = QPointer(this), parts, target = target_] {
        const QString joined = temporaryPathBeside(target);
        platform::Status written = platform::mergePdfFiles(parts, joined);
        if (written && !replaceWithFinished(joined, target))
            written = platform::Status::failure(tr("The PDF could not be written."));
        QMetaObject::invokeMethod(QCoreApplication::instance(), [self, written] {
            if (self) self->finish(written.ok, written.description);
        });
    });
}

void PagedPdf::finish(bool ok, const QString& error) {
    if (!done_) return;
    removeParts();
    // The page is let go later: this may run inside one of its own signals.
    if (page_) page_.release()->deleteLater();
    std::exchange(done_, nullptr)(ok, ok ? QString() : error);
}

} // namespace quillet

#include "moc_PagedPdf.cpp"
