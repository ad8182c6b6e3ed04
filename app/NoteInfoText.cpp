#include "app/NoteInfoText.h"

#include <QFont>
#include <QTextDocument>
#include <QTextOption>

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
    QFont font(QStringLiteral("Helvetica"));
    font.setPointSizeF(15.0);
    document->setDefaultFont(font);

    QTextOption option = document->defaultTextOption();
    option.setTabs({QTextOption::Tab(kNoteInfoLabelTabStop, QTextOption::RightTab),
                    QTextOption::Tab(kNoteInfoValueTabStop, QTextOption::LeftTab)});
    document->setDefaultTextOption(option);
    document->setPlainText(noteInfoText(noteInfo));
    return document;
}

} // namespace quillet
