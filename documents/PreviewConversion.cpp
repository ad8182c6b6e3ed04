#include "documents/PreviewConversion.h"

#include "documents/ViewControllerPrivate.h"
#include "engine/MarkdownString.h"

#include <filesystem>

namespace quillet {

namespace {

std::u16string_view engineText(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

} // namespace

PreviewConversion::PreviewConversion(platform::Dispatcher& dispatcher, Done done)
    : dispatcher_(dispatcher), done_(std::move(done)) {}

PreviewConversion::~PreviewConversion() {
    state_->alive = false;
}

void PreviewConversion::request(PreviewRequest request) {
    if (state_->converting) {
        state_->waiting = std::move(request);
        return;
    }
    start(std::move(request));
}

void PreviewConversion::start(PreviewRequest request) {
    state_->converting = true;
    platform::Dispatcher* dispatcher = &dispatcher_;
    dispatcher_.onWorker([this, dispatcher, state = state_, request = std::move(request)] {
        QString html = convert(request);
        dispatcher->onMain([this, state, html = std::move(html)] {
            if (!state->alive) return;
            state->converting = false;
            if (!html.isEmpty()) done_(html);
            if (state->waiting) {
                PreviewRequest next = std::move(*state->waiting);
                state->waiting.reset();
                start(std::move(next));
            }
        });
    });
}

QString PreviewConversion::convert(const PreviewRequest& request) {
    std::optional<std::filesystem::path> imageFolder;
    if (!request.imageFolder.isEmpty()) {
        documents_detail::cleanTemporaryFolder(request.imageFolder);
        imageFolder = std::filesystem::path(request.imageFolder.toStdString());
    }
    MarkdownString engine;
    engine.setMarkdownOptions(request.options);
    const RQXMLElementRef body = engine.bodyElementFromString(engineText(request.text), imageFolder);
    const std::u16string html =
        MarkdownString::htmlStringFromBody(body, engineText(request.title), engineText(request.language),
                                           engineText(request.styleSheetName));
    return QString::fromStdU16String(html);
}

} // namespace quillet
