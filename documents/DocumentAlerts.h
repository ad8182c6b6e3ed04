#pragma once
// How the main controller reports a failure: a message with an informative text. The window's
// implementation shows a window-modal message box; tests record the alerts.

#include <QString>

class QWidget;

namespace quillet {

class DocumentAlerts {
public:
    virtual ~DocumentAlerts() = default;
    virtual void showAlert(const QString& message, const QString& informativeText) = 0;
};

// A window-modal message box on `parent`'s window (an application-modal one without a window).
class MessageBoxAlerts final : public DocumentAlerts {
public:
    explicit MessageBoxAlerts(QWidget* parent) : parent_(parent) {}
    void showAlert(const QString& message, const QString& informativeText) override;

private:
    QWidget* parent_;
};

} // namespace quillet
