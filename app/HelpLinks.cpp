#include "app/HelpLinks.h"

#include <QStringList>

namespace quillet {

namespace {

constexpr char kSite[] = "https://quillet.example.org/";
constexpr char kSupportAddress[] = "support@quillet.example.org";

bool isJapanese(const QString& language) {
    return language.startsWith(QStringLiteral("ja"));
}

QUrl sitePage(const QString& page, const QString& language) {
    const QString prefix = isJapanese(language) ? QStringLiteral("ja/") : QString();
    return QUrl(QString::fromLatin1(kSite) + prefix + page);
}

QUrl feedbackMail(const QString& applicationName) {
    QString address = QStringLiteral("mailto:%1?subject=Feedback of %2")
                          .arg(QString::fromLatin1(kSupportAddress), applicationName);
    address.replace(QLatin1Char(' '), QStringLiteral("%20"));
    return QUrl(address, QUrl::StrictMode);
}

} // namespace

QUrl productPageURL(const QString& firstLanguage) {
    return sitePage(QString(), firstLanguage);
}

std::optional<QUrl> helpMenuURL(const QString& title, const QString& applicationName,
                                const QString& firstLanguage) {
    if (title == QString::fromUtf8(kHelpViaWebTitle)) return sitePage(QStringLiteral("help/"), firstLanguage);
    if (title == QString::fromUtf8(kRateUsTitle)) {
        const QStringList family{QStringLiteral("Quillet"), QStringLiteral("Quillet Script"),
                                 QStringLiteral("Quillet Python")};
        if (!family.contains(applicationName)) return std::nullopt;
        return QUrl(QString::fromLatin1(kSite) + QStringLiteral("store/"));
    }
    if (title == QString::fromUtf8(kFeedbackTitle)) return feedbackMail(applicationName);
    if (title == QString::fromUtf8(kPrivacyPolicyTitle))
        return sitePage(QStringLiteral("privacy/"), firstLanguage);
    return std::nullopt;
}

} // namespace quillet
