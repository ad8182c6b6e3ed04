#include "app/PreviewLinkPolicy.h"

#include <QFileInfo>

namespace quillet {

namespace {

// An existing file under a suffix a note is kept under.
bool isNoteFile(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    const bool noteSuffix = suffix == u"md" || suffix == u"markdown" || suffix == u"txt";
    return noteSuffix && info.isFile();
}

} // namespace

ClickedLink decideClickedLink(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http" || scheme == u"https" || scheme == u"mailto") {
        // An address without a host (or a mail link without a recipient) leads nowhere.
        const bool leadsSomewhere = scheme == u"mailto" ? !url.path().isEmpty() : !url.host().isEmpty();
        if (url.isValid() && leadsSomewhere) return {ClickedLink::Action::openOnDesktop, {}};
        return {};
    }
    // A file on another host is not a local note.
    if (url.isLocalFile() && url.host().isEmpty()) {
        const QString path = url.toLocalFile();
        if (isNoteFile(path)) return {ClickedLink::Action::openNote, QFileInfo(path).absoluteFilePath()};
    }
    return {};
}

} // namespace quillet
