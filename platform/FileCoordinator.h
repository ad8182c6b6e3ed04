#pragma once
// File coordination: an accessor runs directly on the calling thread while it holds the
// process-wide lock of the file's path, so two coordinated accesses of one file never overlap
// while accesses of different files run side by side. The locks are recursive: an accessor may
// coordinate the same file again. Callers that must not block run the coordination on the
// worker pool (Dispatcher::onWorker). The options are what each operation asks for; on Linux
// they change nothing but are kept so the callers read as the design does.

#include "platform/Status.h"

#include <QString>
#include <functional>

namespace quillet::platform {

enum class ReadingOption { none };
enum class WritingOption {
    none,
    forMerging,
    forDeleting,
    forMoving,
    forReplacing,
    contentIndependentMetadataOnly
};

class FileCoordinator {
public:
    // Runs `accessor` with the path to use (the path given, cleaned). Fails without running it
    // when the path is empty or relative.
    Status coordinateReading(const QString& path, ReadingOption option,
                             const std::function<void(const QString&)>& accessor);
    Status coordinateWriting(const QString& path, WritingOption option,
                             const std::function<void(const QString&)>& accessor);
    // Two items as one coordination (a move: the source for moving, the destination for
    // replacing); the locks are taken in a fixed order, so opposite moves cannot deadlock.
    Status coordinateWriting(const QString& first, WritingOption firstOption, const QString& second,
                             WritingOption secondOption,
                             const std::function<void(const QString&, const QString&)>& accessor);
};

} // namespace quillet::platform
