#include "platform/SaveFileNames.h"

#include <QRandomGenerator>
#include <algorithm>

namespace quillet::platform::save_files {
namespace {

constexpr char kWriting[] = ".quillet-saving";
constexpr char kComplete[] = ".quillet-saved";
constexpr qsizetype kRandomLength = 6;
constexpr qsizetype kLongestSuffix = sizeof kWriting - 1;

bool isLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The note's name in ".NAME.XXXXXX" when `base` is that shape.
std::optional<QByteArray> noteOf(const QByteArray& base) {
    const qsizetype dot = base.size() - kRandomLength - 1;
    if (!base.startsWith('.') || dot < 2 || base[dot] != '.') return std::nullopt;
    for (qsizetype i = dot + 1; i < base.size(); ++i) {
        if (!isLetterOrDigit(base[i])) return std::nullopt;
    }
    return base.mid(1, dot - 1);
}

} // namespace

QByteArray markedName(const QByteArray& name, const QByteArray& mark, qsizetype size) {
    qsizetype dot = name.lastIndexOf('.');
    if (dot <= 0 || name.size() - dot > 32) dot = name.size(); // no extension, or not one
    const QByteArray extension = name.mid(dot);
    qsizetype cut = std::max<qsizetype>(0, std::min(dot, size - mark.size() - extension.size()));
    while (cut > 0 && cut < dot && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.left(cut) + mark + extension;
}

QByteArray writingName(const QByteArray& note) {
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray random(kRandomLength, Qt::Uninitialized);
    for (char& c : random)
        c = kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet - 1))];
    return '.' + markedName(note, {}, kMaxFileName - 2 - kRandomLength - kLongestSuffix) + '.' + random +
           kWriting;
}

QByteArray completeName(const QByteArray& writingName) {
    return writingName.chopped(sizeof kWriting - 1) + kComplete;
}

std::optional<TemporaryName> parse(const QByteArray& fileName) {
    Stage stage = Stage::earlier;
    QByteArray base = fileName;
    if (fileName.endsWith(kWriting)) {
        stage = Stage::writing;
        base.chop(sizeof kWriting - 1);
    } else if (fileName.endsWith(kComplete)) {
        stage = Stage::complete;
        base.chop(sizeof kComplete - 1);
    }
    auto note = noteOf(base);
    if (!note) return std::nullopt;
    return TemporaryName{std::move(*note), stage};
}

} // namespace quillet::platform::save_files
