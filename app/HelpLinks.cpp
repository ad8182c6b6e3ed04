#include "app/HelpLinks.h"

namespace quillet {

QUrl productPageURL() {
    return QUrl(QString::fromLatin1(kProjectSite));
}

QUrl issueTrackerURL() {
    return productPageURL().resolved(QUrl(QStringLiteral("issues")));
}

std::optional<QUrl> helpMenuURL(const QString& title) {
    if (title == QString::fromUtf8(kReportIssueTitle)) return issueTrackerURL();
    return std::nullopt;
}

} // namespace quillet
