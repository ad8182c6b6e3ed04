#pragma once
// A PDF of a note too long for the web engine to print in one go: its HTML parts are loaded and
// printed one after the other by one page that is never shown, and the parts' PDFs joined into
// the target. A short note is one part, printed straight to the target.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWebEnginePage;

namespace quillet {

class PagedPdf : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(bool ok, const QString& error)>;

    // The documents are written to `folder` (which holds their images) and loaded from there: a
    // page given its HTML as a string takes at most 2 MB.
    PagedPdf(QStringList documents, QString folder, QString target, Done done, QObject* parent = nullptr);
    ~PagedPdf() override;

    void start();

    // Of the note's text: the characters of body HTML per part.
    static constexpr qsizetype kPartLength = 128 * 1024;

private:
    void printPart(int index);
    void partPrinted(int index, bool ok);
    void joinParts();
    void finish(bool ok, const QString& error);
    void removeParts();
    QString partPath(int index, const char* suffix) const;

    QStringList documents_;
    QString folder_;
    QString target_;
    Done done_;
    std::unique_ptr<QWebEnginePage> page_;
};

} // namespace quillet
