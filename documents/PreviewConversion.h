#pragma once
// Converts the open note into the preview's HTML on a worker. A refresh asked for while a
// conversion runs is not started beside it: the latest one asked for runs once, after it.
// The body comes as a patch against the body of the conversion before: the pieces an edit
// changed, so that the page replaces only those.

#include "documents/PreviewElements.h"
#include "engine/MarkdownOptions.h"
#include "platform/Dispatcher.h"

#include <QString>
#include <filesystem>
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
    // Which note this is: the body of another note is sent whole, as a new page.
    QString noteKey;
};

struct PreviewUpdate {
    // The page around an empty body.
    QString shell;
    // Another note (or the first): the patch holds the whole body.
    bool newDocument = false;
    PreviewPatch patch;
};

class PreviewConversion {
public:
    using Done = std::function<void(const PreviewUpdate& update)>;
    PreviewConversion(platform::Dispatcher& dispatcher, Done done);
    ~PreviewConversion();

    void request(PreviewRequest request);
    // The next update holds the whole body (the pane that applies the patches was replaced).
    void restart() { restartNext_ = true; }

    // The document for the request, whole (any thread).
    static QString convert(const PreviewRequest& request);
    // The body's top-level pieces, each of which parses on its own (any thread).
    static QStringList convertElements(const PreviewRequest& request);
    // The same pieces for any text; the note's local images are copied to `imageFolder`. Raw
    // HTML that leaves an element open is joined with what follows up to its end, or given as
    // it stands.
    enum class PieceJoining { joinOpenElements, asWritten };
    static QStringList bodyPieces(const QString& text, const MarkdownOptions& options,
                                  const std::optional<std::filesystem::path>& imageFolder,
                                  PieceJoining joining = PieceJoining::joinOpenElements);
    static QString pageShell(const PreviewRequest& request);

private:
    struct State {
        bool converting = false;
        std::optional<PreviewRequest> waiting;
        bool alive = true;
        // Used by the running conversion only (one at a time): the body last sent.
        QStringList shown;
        QString shownKey;
    };
    void start(PreviewRequest request, bool restart);
    static PreviewUpdate update(State& state, const PreviewRequest& request, bool restart);

    platform::Dispatcher& dispatcher_;
    Done done_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
    bool restartNext_ = true;
};

} // namespace quillet
