#include "platform/PdfMerge.h"

#include <QFile>
#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <vector>

namespace quillet::platform {

Status mergePdfFiles(const QStringList& parts, const QString& target) {
    if (parts.isEmpty()) return Status::failure(QStringLiteral("There are no pages to write."));
    try {
        QPDF merged;
        merged.emptyPDF();
        QPDFPageDocumentHelper mergedPages(merged);
        // The sources stay open until the file is written: copied pages refer to their streams.
        std::vector<std::unique_ptr<QPDF>> sources;
        for (const QString& part : parts) {
            auto source = std::make_unique<QPDF>();
            source->processFile(QFile::encodeName(part).constData());
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*source).getAllPages())
                mergedPages.addPage(page, false);
            sources.push_back(std::move(source));
        }
        QPDFObjectHandle info = sources.front()->getTrailer().getKey("/Info");
        if (info.isIndirect()) merged.getTrailer().replaceKey("/Info", merged.copyForeignObject(info));
        QPDFWriter writer(merged, QFile::encodeName(target).constData());
        writer.setObjectStreamMode(qpdf_o_generate);
        writer.write();
    } catch (const std::exception& error) {
        QFile::remove(target);
        return Status::failure(QString::fromLocal8Bit(error.what()));
    }
    return Status::success();
}

} // namespace quillet::platform
