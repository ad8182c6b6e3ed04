#include "documents/DocumentAlerts.h"

#include <QMessageBox>
#include <QPushButton>
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

int MessageBoxAlerts::ask(const QString& message, const QString& informativeText, const QStringList& buttons) {
    QWidget* window = parent_ ? parent_->window() : nullptr;
    QMessageBox box(QMessageBox::Question, QString(), message, QMessageBox::NoButton, window);
    box.setInformativeText(informativeText);
    QList<QAbstractButton*> added;
    for (int index = 0; index < buttons.size(); ++index)
        added.append(box.addButton(buttons[index], index == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    if (!added.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(added.first()));
        box.setEscapeButton(added.last());
    }
    box.exec();
    const int chosen = int(added.indexOf(box.clickedButton()));
    return chosen < 0 ? int(buttons.size()) - 1 : chosen;
}

} // namespace quillet
