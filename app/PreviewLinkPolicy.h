#pragma once
// What a link clicked in the preview may do. The preview shows a note that anyone may have
// written, so a click opens only what is safe to hand on: web and mail addresses go to the
// desktop, another note opens in Quillet, and everything else (local files, programs, other
// schemes the desktop would happily run) is left alone.

#include <QString>
#include <QUrl>

namespace quillet {

struct ClickedLink {
    enum class Action { openOnDesktop, openNote, ignore };
    Action action = Action::ignore;
    QString notePath; // for openNote: the note's local path
};

// `url` as the page resolved it (a relative link arrives made absolute against the base URL).
ClickedLink decideClickedLink(const QUrl& url);

} // namespace quillet
