#pragma once
// The small transient popover that asks for a name beside a browser row: a title, the name
// field, and the done and cancel buttons. The mode decides the texts:
//
//   "createFolder"    "Create Folder"            empty field    "Create"
//   "renameFolder"    "Rename Folder"            current name   "Rename"
//   "changeFilename"  "Change Filename of Note"  current name   "Change"
//   "createNote"      "Create Note"              empty field    "Create"
//   "deleteNote"      "Delete Note"              current name, read only, "Delete" enabled
//   "deleteFolder"    "Delete Folder"            current name, read only, "Delete" enabled
//
// A typed name can be confirmed only once editing ended and the name was found free (nothing at
// its path) and usable; 0.2 seconds later Return confirms it. "changeFilename" gives a note the
// extension "md". Closing in any way reports didEnd once, with whether done was pressed.

#include "browser/FileRepresentation.h"
#include "platform/DelayedCall.h"

#include <QFrame>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet {

class RenamePopoverController : public QFrame {
    Q_OBJECT

public:
    RenamePopoverController(FileRep fileRep, QString mode, platform::Dispatcher& dispatcher,
                            QWidget* parent = nullptr);

    // Shows the popover to the right of `anchor` (global coordinates), kept on the screen.
    void showBeside(const QRect& anchor);

    const FileRep& fileRep() const { return fileRep_; }
    const QString& mode() const { return mode_; }
    // True once the popover ended with its done button.
    bool resultCode() const { return resultCode_; }
    // True when a file or folder exists at the name's path: in the folder itself when it is a
    // folder getting a new folder, else beside the record.
    bool checkFilename(const QString& name) const;
    // Whether Return presses the done button.
    bool doneTakesReturn() const { return doneTakesReturn_; }

    QLabel* titleLabel() const { return titleLabel_; }
    QLineEdit* filenameField() const { return filenameField_; }
    QPushButton* doneButton() const { return doneButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

signals:
    void didEnd(bool resultCode, const QString& filename);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyMode();
    bool deleting() const;
    void controlTextDidChange();
    void controlTextDidEndEditing();
    void buttonDidPress(bool done);

    FileRep fileRep_;
    QString mode_;
    QString modeTitle_;
    platform::DelayedCall returnKeyCall_;
    QLabel* titleLabel_;
    QLineEdit* filenameField_;
    QPushButton* doneButton_;
    QPushButton* cancelButton_;
    bool resultCode_ = false;
    bool doneTakesReturn_ = false;
    bool ended_ = false;
};

} // namespace quillet
