// The Markdown options: from the user defaults into the editor's engine and the preview.

#include "documents/DocumentSession.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "platform/SettingsMarkdownDefaults.h"

namespace quillet {

void ViewController::applyStoredMarkdownOptions() {
    platform::SettingsMarkdownDefaults stored(d->defaults);
    d->markdownViewController->setMarkdownOptions(loadMarkdownOptions(stored));
    // Every piece of the body may convert differently: a patch against the old body is no use.
    d->previewConversion->restart();
    if (d->webViewState && d->session->note()) updateWebView();
}

} // namespace quillet
