#include "app/StyleInjection.h"

#include <QFile>
#include <QStringDecoder>

namespace quillet {

namespace {

QString pathOfURL(const QUrl& url) {
    if (url.scheme() == QLatin1String("qrc")) return QLatin1Char(':') + url.path();
    if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

bool isLineBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029);
}

} // namespace

std::optional<QString> readStyleSheet(const QUrl& url) {
    const QString path = pathOfURL(url);
    if (path.isEmpty()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

QString javaScriptStringBody(const QString& text) {
    QString body;
    body.reserve(text.size() + text.size() / 16);
    for (const QChar c : text) {
        if (isLineBreak(c))
            body += QLatin1Char(' ');
        else if (c == u'\\' || c == u'\'')
            body += QLatin1Char('\\') + c;
        else
            body += c;
    }
    return body;
}

QString styleInjectionScript(const QString& cssText) {
    return QStringLiteral("var newStyle = document.createElement('style');newStyle.type = 'text/css'; "
                          "newStyle.innerHTML = '%1';document.head.appendChild(newStyle);'';")
        .arg(javaScriptStringBody(cssText));
}

} // namespace quillet
