#pragma once
// The Help menu's items and the addresses behind them and behind the about sheet's link button.

#include <QString>
#include <QUrl>
#include <QtGlobal>
#include <optional>

namespace quillet {

// The Help menu's item titles (translated in the "WindowActions" context).
inline constexpr char kHelpGuideTitle[] = QT_TRANSLATE_NOOP("WindowActions", "Quillet &Help");
inline constexpr char kReportIssueTitle[] = QT_TRANSLATE_NOOP("WindowActions", "&Report an Issue…");

// The project's web site, the domain the application ID names (the package's homepage and the
// metainfo say the same): every address Quillet opens is derived from this one constant.
inline constexpr char kProjectSite[] = "https://quillet.org/";

// The project's web page, behind the about sheet's link button.
QUrl productPageURL();
// The project's issue tracker.
QUrl issueTrackerURL();

// The address a Help menu item opens, by the item's untranslated title: the issue tracker for
// "Report an Issue…"; none for the guide (shown in Quillet itself) and for an unknown title.
std::optional<QUrl> helpMenuURL(const QString& title);

} // namespace quillet
