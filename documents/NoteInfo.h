#pragma once
// The facts the note-info sheet shows about a note: its names, size, dates, lock, kind and the
// characters and words of its own text.

#include "browser/FileRepresentation.h"

#include <QLocale>
#include <QString>
#include <QVariantMap>
#include <cstdint>

namespace quillet {

struct TextCounts {
    qsizetype characters = 0; // user-perceived characters (an emoji or "é" written as two counts once)
    qsizetype words = 0;
};

// Words are the runs between word boundaries that hold a letter or a digit.
TextCounts countText(const QString& text);

struct NoteFacts {
    std::int64_t size = 0;
    bool locked = false;
    TextCounts counts;
};

// Reads the note's size, lock and text (for the counts); unreadable parts count as nothing.
NoteFacts readNoteFacts(const QString& path);

// The record of keys "Title", "Filename", "Size", "Created", "Modified", "Locked", "Kind",
// "fileUTI", "Text Encoding", "Line Break", "Characters", "Words".
QVariantMap noteInfoRecord(const FileRepresentation& note, const NoteFacts& facts, const QLocale& locale = QLocale());

} // namespace quillet
