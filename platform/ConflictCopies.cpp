#include "platform/ConflictCopies.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace quillet::platform {
namespace {

// Each pattern captures: base name, date, time, device (may not participate), extension.
struct Form {
    QRegularExpression pattern;
    const char* dateFormat;
};

const std::vector<Form>& forms() {
    static const std::vector<Form> all{
        {QRegularExpression(
             QStringLiteral(R"(^(.+)\.sync-conflict-(\d{8})-(\d{6})-([A-Z2-7]{7})(\.[^.]*)?$)")),
         "yyyyMMddHHmmss"},
        {QRegularExpression(QStringLiteral(
             R"(^(.+) \(conflicted copy (?:(?<who>.+) )?(\d{4}-\d{2}-\d{2}) (\d{6})\)(\.[^.]*)?$)")),
         "yyyy-MM-ddHHmmss"},
        {QRegularExpression(QStringLiteral(R"(^(.+)_conflict-(\d{8})-(\d{6})()(\.[^.]*)?$)")),
         "yyyyMMddHHmmss"},
    };
    return all;
}

} // namespace

std::optional<ConflictCopyName> parseConflictCopyName(const QString& fileName) {
    for (const Form& form : forms()) {
        const QRegularExpressionMatch match = form.pattern.match(fileName);
        if (!match.hasMatch()) continue;
        const bool nextcloud = form.pattern.namedCaptureGroups().contains(QStringLiteral("who"));
        const QString date = nextcloud ? match.captured(3) : match.captured(2);
        const QString time = nextcloud ? match.captured(4) : match.captured(3);
        const QString device = nextcloud ? match.captured(QStringLiteral("who")) : match.captured(4);
        ConflictCopyName name;
        name.date = QDateTime::fromString(date + time, QString::fromLatin1(form.dateFormat));
        if (!name.date.isValid()) continue;
        name.originalName = match.captured(1) + match.captured(5);
        name.device = device;
        return name;
    }
    return std::nullopt;
}

std::vector<ConflictCopy> conflictCopiesOf(const QString& path) {
    const QFileInfo original(path);
    const QDir folder = original.absoluteDir();
    std::vector<ConflictCopy> copies;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        const auto parsed = parseConflictCopyName(name);
        if (parsed && parsed->originalName == original.fileName())
            copies.push_back({folder.filePath(name), *parsed});
    }
    std::sort(copies.begin(), copies.end(), [](const ConflictCopy& a, const ConflictCopy& b) {
        return a.name.date != b.name.date ? a.name.date < b.name.date : a.path < b.path;
    });
    return copies;
}

} // namespace quillet::platform
