#pragma once
// The note-info sheet: the note's file name above a read-only list of its facts, and a Done
// button that ends the sheet with code 1.

#include <QDialog>
#include <QUrl>
#include <QVariantMap>

class QLineEdit;
class QPushButton;
class QTextEdit;

namespace quillet {

class InfoPanelController : public QDialog {
    Q_OBJECT

public:
    explicit InfoPanelController(QWidget* parent = nullptr);

    void setFileURL(const QUrl& url);
    QUrl fileURL() const { return fileURL_; }
    // The record gathered by the main controller (keys "Title", "Filename", "Size", ...).
    void setNoteInfo(const QVariantMap& noteInfo);
    QVariantMap noteInfo() const { return noteInfo_; }

    QLineEdit* filenameField() const { return filenameField_; }
    QTextEdit* textView() const { return textView_; }
    QPushButton* doneButton() const { return doneButton_; }

private:
    void refresh();

    QUrl fileURL_;
    QVariantMap noteInfo_;
    QLineEdit* filenameField_;
    QTextEdit* textView_;
    QPushButton* doneButton_;
};

} // namespace quillet
