#include "app/NoteInfoText.h"

#include <QFont>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace quillet {

namespace {

QString value(const QVariantMap& noteInfo, const char* key) {
    return noteInfo.value(QString::fromLatin1(key)).toString();
}

QString line(const char* label, const QString& text) {
    return QStringLiteral("\t%1 :\t%2\n").arg(QString::fromLatin1(label), text);
}

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

QString noteInfoText(const QVariantMap& noteInfo) {
    QString text;
    text += line("Title", quoted(value(noteInfo, "Title")));
    text += line("Filename", quoted(value(noteInfo, "Filename")));
    for (const char* key : {"Size", "Created", "Modified", "Locked", "Kind"})
        text += line(key, value(noteInfo, key));
    if (noteInfo.contains(QStringLiteral("fileUTI"))) text += line("UTI", value(noteInfo, "fileUTI"));
    for (const char* key : {"Text Encoding", "Line Break", "Characters", "Words"})
        text += line(key, value(noteInfo, key));
    return text;
}

std::unique_ptr<QTextDocument> attributedStringFromNoteInfo(const QVariantMap& noteInfo) {
    auto document = std::make_unique<QTextDocument>();
    // Sizes and tab stops in the same unit (the layout's pixels), so the labels fit before the
    // first stop as they are meant to whatever the screen's resolution.
    QFont font(QStringLiteral("Helvetica"));
    font.setPixelSize(kNoteInfoFontSize);
    document->setDefaultFont(font);
    document->setPlainText(noteInfoText(noteInfo));

    // The stops are a paragraph property: every line carries them.
    QTextBlockFormat paragraph;
    paragraph.setTabPositions({QTextOption::Tab(kNoteInfoLabelTabStop, QTextOption::RightTab),
                               QTextOption::Tab(kNoteInfoValueTabStop, QTextOption::LeftTab)});
    QTextCursor cursor(document.get());
    cursor.select(QTextCursor::Document);
    cursor.mergeBlockFormat(paragraph);
    return document;
}

} // namespace quillet
