#pragma once
// Readable Qt values in test failure messages.

#include <QKeySequence>
#include <QString>
#include <QUrl>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QUrl& url, std::ostream* out) {
    *out << url.toString().toStdString();
}

inline void PrintTo(const QKeySequence& keys, std::ostream* out) {
    *out << keys.toString().toStdString();
}
