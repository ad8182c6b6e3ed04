#pragma once
// The addresses behind the Help menu and the about sheet's link button.

#include <QString>
#include <QUrl>
#include <optional>

namespace quillet {

// The Help menu's item titles.
inline constexpr char kHelpViaWebTitle[] = "Quillet Help via Web";
inline constexpr char kRateUsTitle[] = "Rate us at the App Store…";
inline constexpr char kFeedbackTitle[] = "Feedback via Email…";
inline constexpr char kPrivacyPolicyTitle[] = "Privacy Policy…";

// The product's web page (Japanese for a first preferred language beginning with "ja").
QUrl productPageURL(const QString& firstLanguage);

// The address a Help menu item opens: `title` is the item's title, `applicationName` the
// application's name, `firstLanguage` the first preferred language. None for an unknown title,
// and none for the store page of an application other than the Quillet family.
std::optional<QUrl> helpMenuURL(const QString& title, const QString& applicationName,
                                const QString& firstLanguage);

} // namespace quillet
