#pragma once
// Converts the open note into the preview's HTML on a worker. A refresh asked for while a
// conversion runs is not started beside it: the latest one asked for runs once, after it.

#include "engine/MarkdownOptions.h"
#include "platform/Dispatcher.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace quillet {

struct PreviewRequest {
    QString text;
    QString title;
    QString language;
    QString styleSheetName;
    MarkdownOptions options;
    // Where the note's local images are copied for the page; empty: none are.
    QString imageFolder;
};

class PreviewConversion {
public:
    using Done = std::function<void(const QString& html)>;
    PreviewConversion(platform::Dispatcher& dispatcher, Done done);
    ~PreviewConversion();

    void request(PreviewRequest request);

    // The document for the request (any thread).
    static QString convert(const PreviewRequest& request);

private:
    struct State {
        bool converting = false;
        std::optional<PreviewRequest> waiting;
        bool alive = true;
    };
    void start(PreviewRequest request);

    platform::Dispatcher& dispatcher_;
    Done done_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace quillet
