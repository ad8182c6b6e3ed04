// File operations under file coordination. Reads and most writes run on the worker pool and
// report through their completions there.

#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "platform/Containers.h"
#include "platform/FileOperations.h"
#include "platform/ItemLock.h"
#include "platform/TextFiles.h"

#include <cerrno>

namespace quillet {

void ViewController::coordinateReadURL(const QUrl& url, ReadCompletion completion) {
    auto coordinator = d->fileCoordinator;
    d->dispatcher.onWorker([coordinator, path = url.toLocalFile(), completion = std::move(completion)] {
        platform::TextReadResult read;
        const platform::Status coordination =
            coordinator->coordinateReading(path, platform::ReadingOption::none, [&](const QString& target) {
                read = platform::readUtf8File(target);
            });
        if (!coordination) {
            completion(std::nullopt, coordination);
            return;
        }
        completion(std::move(read.text), read.status);
    });
}

void ViewController::coordinateSaveURL(const QUrl& url, SaveCompletion completion) {
    platform::Status written;
    const QString text = d->markdownViewController->string();
    const platform::Status coordination = d->fileCoordinator->coordinateWriting(
        url.toLocalFile(), platform::WritingOption::forMerging, [&](const QString& target) {
            d->coordinateWriting = true;
            written = platform::writeUtf8FileAtomically(target, text);
        });
    const platform::Status& result = coordination ? written : coordination;
    if (completion) completion(result.ok, result);
    d->coordinateWriting = false;
}

void ViewController::coordinateDeleteURL(const std::optional<QUrl>& url, SaveCompletion completion) {
    if (!url || url->isEmpty()) {
        if (completion) completion(false, platform::Status::failure(tr("The file doesn't exist."), ENOENT));
        return;
    }
    auto coordinator = d->fileCoordinator;
    d->dispatcher.onWorker([coordinator, path = url->toLocalFile(), completion = std::move(completion)] {
        platform::Status removed;
        const platform::Status coordination = coordinator->coordinateWriting(
            path, platform::WritingOption::forDeleting,
            [&](const QString& target) { removed = platform::removeItem(target); });
        const platform::Status& result = coordination ? removed : coordination;
        if (completion) completion(result.ok, result);
    });
}

void ViewController::coordinateLockFileRep(const FileRep& note, SaveCompletion completion) {
    const QString path = note ? note->path() : QString();
    const bool locked = note && note->isImmutable;
    auto coordinator = d->fileCoordinator;
    d->dispatcher.onWorker([coordinator, path, locked, completion = std::move(completion)] {
        platform::Status changed;
        const platform::Status coordination = coordinator->coordinateWriting(
            path, platform::WritingOption::contentIndependentMetadataOnly,
            [&](const QString& target) { changed = platform::setLocked(target, locked); });
        const platform::Status& result = coordination ? changed : coordination;
        if (completion) completion(result.ok, result);
    });
}

void ViewController::coordinateRenameURL(const QUrl& source, const QUrl& destination,
                                         SaveCompletion completion) {
    const QString from = source.toLocalFile();
    const QString to = destination.toLocalFile();
    if (!platform::isUbiquitousItem(from)) {
        const platform::Status moved = platform::moveItem(from, to);
        if (completion) completion(moved.ok, moved);
        return;
    }
    auto coordinator = d->fileCoordinator;
    d->dispatcher.onWorker([coordinator, from, to, completion = std::move(completion)] {
        platform::Status moved;
        const platform::Status coordination = coordinator->coordinateWriting(
            from, platform::WritingOption::forMoving, to, platform::WritingOption::forReplacing,
            [&](const QString& a, const QString& b) { moved = platform::moveItem(a, b); });
        const platform::Status& result = coordination ? moved : coordination;
        if (completion) completion(result.ok, result);
    });
}

} // namespace quillet
