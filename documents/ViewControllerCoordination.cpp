// Reading notes other than the open one (for the searches), off the main thread.

#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "platform/TextFiles.h"

namespace quillet {

void ViewController::coordinateReadURL(const QUrl& url, ReadCompletion completion) {
    d->dispatcher.onWorker([path = url.toLocalFile(), completion = std::move(completion)] {
        platform::TextReadResult read = platform::readUtf8File(path);
        completion(std::move(read.text), read.status);
    });
}

} // namespace quillet
