#include "documents/DocumentAlerts.h"

#include <QMessageBox>
#include <QWidget>

namespace quillet {

void MessageBoxAlerts::showAlert(const QString& message, const QString& informativeText) {
    QWidget* window = parent_ ? parent_->window() : nullptr;
    auto* box = new QMessageBox(QMessageBox::Warning, QString(), message, QMessageBox::Ok, window);
    box->setInformativeText(informativeText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // A sheet on the window when it is shown; otherwise modal for the whole application.
    box->setWindowModality(window && window->isVisible() ? Qt::WindowModal : Qt::ApplicationModal);
    box->open();
}

} // namespace quillet
