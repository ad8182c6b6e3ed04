#pragma once
// How the main controller reports a failure: a message with an informative text. The window's
// implementation shows a window-modal message box; tests record the alerts.

#include <QString>
#include <QStringList>

class QWidget;

namespace quillet {

class DocumentAlerts {
public:
    virtual ~DocumentAlerts() = default;
    virtual void showAlert(const QString& message, const QString& informativeText) = 0;
    // Asks and waits for the answer: the index of the button chosen (the first is the default;
    // closing the box answers the last).
    virtual int ask(const QString& message, const QString& informativeText, const QStringList& buttons) = 0;
};

// A window-modal message box on `parent`'s window (an application-modal one without a window).
class MessageBoxAlerts final : public DocumentAlerts {
public:
    explicit MessageBoxAlerts(QWidget* parent) : parent_(parent) {}
    void showAlert(const QString& message, const QString& informativeText) override;
    int ask(const QString& message, const QString& informativeText, const QStringList& buttons) override;

private:
    QWidget* parent_;
};

} // namespace quillet
