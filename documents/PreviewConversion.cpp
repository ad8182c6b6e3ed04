#include "documents/PreviewConversion.h"

#include "documents/ViewControllerPrivate.h"
#include "engine/MarkdownString.h"
#include "engine/RQXMLElement.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <filesystem>
#include <utility>

namespace quillet {

namespace {

Q_LOGGING_CATEGORY(previewTiming, "quillet.preview", QtWarningMsg)

std::u16string_view engineText(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

std::optional<std::filesystem::path> preparedImageFolder(const PreviewRequest& request) {
    if (request.imageFolder.isEmpty()) return std::nullopt;
    documents_detail::cleanTemporaryFolder(request.imageFolder);
    return std::filesystem::path(request.imageFolder.toStdString());
}

void addPieces(const std::function<void(QString, bool)>& add, std::span<const RQXMLChild> children) {
    std::u16string html;
    for (const RQXMLChild& child : children) {
        html.clear();
        child.appendXMLString(html);
        const RQXMLElement* element = child.element();
        add(QString::fromStdU16String(html), !element || !element->hasName());
    }
}

} // namespace

PreviewConversion::PreviewConversion(platform::Dispatcher& dispatcher, Done done)
    : dispatcher_(dispatcher), done_(std::move(done)) {}

PreviewConversion::~PreviewConversion() {
    state_->alive = false;
}

void PreviewConversion::request(PreviewRequest request) {
    const bool restart = std::exchange(restartNext_, false);
    if (state_->converting) {
        // A restart asked for before still holds for the conversion that replaces it.
        restartNext_ = restart || restartNext_;
        state_->waiting = std::move(request);
        return;
    }
    start(std::move(request), restart);
}

void PreviewConversion::start(PreviewRequest request, bool restart) {
    state_->converting = true;
    platform::Dispatcher* dispatcher = &dispatcher_;
    QElapsedTimer timer;
    timer.start();
    dispatcher_.onWorker([this, dispatcher, state = state_, request = std::move(request), restart, timer] {
        PreviewUpdate result = update(*state, request, restart);
        const double workerMs = double(timer.nsecsElapsed()) / 1e6;
        dispatcher->onMain([this, state, result = std::move(result), timer, workerMs] {
            if (!state->alive) return;
            qCDebug(previewTiming, "converted and compared in %.1f ms, on the main thread after %.1f ms", workerMs,
                    double(timer.nsecsElapsed()) / 1e6);
            state->converting = false;
            done_(result);
            if (state->waiting) {
                PreviewRequest next = std::move(*state->waiting);
                state->waiting.reset();
                start(std::move(next), std::exchange(restartNext_, false));
            }
        });
    });
}

PreviewUpdate PreviewConversion::update(State& state, const PreviewRequest& request, bool restart) {
    PreviewUpdate result;
    QStringList elements = convertElements(request);
    result.shell = pageShell(request);
    result.newDocument = restart || request.noteKey != state.shownKey;
    if (result.newDocument) {
        result.patch = {0, 0, elements};
    } else {
        result.patch = diffPreviewElements(state.shown, elements);
    }
    state.shown = std::move(elements);
    state.shownKey = request.noteKey;
    return result;
}

QStringList PreviewConversion::convertElements(const PreviewRequest& request) {
    return bodyPieces(request.text, request.options, preparedImageFolder(request));
}

QStringList PreviewConversion::bodyPieces(const QString& text, const MarkdownOptions& options,
                                          const std::optional<std::filesystem::path>& imageFolder,
                                          PieceJoining joining) {
    MarkdownString engine;
    engine.setMarkdownOptions(options);
    PreviewElementJoiner joiner;
    QStringList pieces;
    const std::function<void(QString, bool)> add = [&](QString piece, bool isRawHTML) {
        if (joining == PieceJoining::joinOpenElements) joiner.add(std::move(piece), isRawHTML);
        else pieces.append(std::move(piece));
    };
    const RQXMLElementRef body = engine.bodyElementFromString(
        engineText(text), imageFolder, [&add](std::span<const RQXMLChild> finished) { addPieces(add, finished); });
    if (body) addPieces(add, body->children());
    return joining == PieceJoining::joinOpenElements ? joiner.finish() : pieces;
}

QString PreviewConversion::pageShell(const PreviewRequest& request) {
    return QString::fromStdU16String(MarkdownString::htmlStringFromBody(
        nullptr, engineText(request.title), engineText(request.language), engineText(request.styleSheetName)));
}

QString PreviewConversion::convert(const PreviewRequest& request) {
    const std::optional<std::filesystem::path> imageFolder = preparedImageFolder(request);
    MarkdownString engine;
    engine.setMarkdownOptions(request.options);
    const RQXMLElementRef body = engine.bodyElementFromString(engineText(request.text), imageFolder);
    const std::u16string html =
        MarkdownString::htmlStringFromBody(body, engineText(request.title), engineText(request.language),
                                           engineText(request.styleSheetName));
    return QString::fromStdU16String(html);
}

} // namespace quillet
