#include "app/HelpGuide.h"

#include "documents/NoteExport.h"
#include "engine/MarkdownOptions.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace quillet {

namespace {

const QString kGuideName = QStringLiteral("Quillet Guide.md");

} // namespace

QString helpGuidePath(const QString& dataFolder, const QStringList& uiLanguages) {
    if (dataFolder.isEmpty()) return {};
    const QDir guides(QDir(dataFolder).filePath(QStringLiteral("guide")));
    for (const QString& language : uiLanguages) {
        // "ja-JP" and "ja_JP" both pick guide/ja.
        const QString code = language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
        if (code.isEmpty() || code == QLatin1String("en")) break;
        const QString translated = guides.filePath(code + QLatin1Char('/') + kGuideName);
        if (QFileInfo(translated).isFile()) return translated;
    }
    const QString english = guides.filePath(kGuideName);
    return QFileInfo(english).isFile() ? english : QString();
}

HelpGuideWindow::HelpGuideWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), view_(new QTextBrowser(this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(760, 820);
    view_->setReadOnly(true);
    view_->setOpenLinks(false);
    view_->setAccessibleName(tr("Quillet Guide"));
    view_->setAccessibleDescription(tr("The user guide, read-only"));
    // Anchors inside the guide scroll; everything else belongs to the desktop's browser.
    connect(view_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme().isEmpty() && url.hasFragment())
            view_->scrollToAnchor(url.fragment());
        else
            QDesktopServices::openUrl(url);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
}

bool HelpGuideWindow::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString text = QString::fromUtf8(file.readAll());
    HtmlExportRequest request;
    request.text = text;
    request.title = tr("Quillet Guide");
    request.options = MarkdownOptions::defaults();
    request.styleSheetText = readStyleSheetText(QUrl(QStringLiteral("qrc:/quillet/css/markdown.css")));
    view_->setHtml(exportedHtmlDocument(request));
    path_ = path;
    //: The guide window's title: the guide's name.
    setWindowTitle(tr("%1 (Read Only)").arg(request.title));
    return true;
}

} // namespace quillet

#include "moc_HelpGuide.cpp"
