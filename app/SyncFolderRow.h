#pragma once
// The Preferences row that names the synced library's folder: the folder's path, "Choose…"
// (the desktop's folder chooser unless replaced) and "Don't Sync" to go without one. Nothing is
// stored until the sheet's OK (store()).

#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet {

namespace platform {
class UserDefaults;
}

class SyncFolderRow : public QWidget {
    Q_OBJECT

public:
    explicit SyncFolderRow(platform::UserDefaults& defaults, QWidget* parent = nullptr);

    // Shows the stored folder; what was chosen since is dropped.
    void load();
    // Stores the folder shown (removes the setting when there is none); true when it changed.
    bool store();
    QString folder() const { return folder_; }

    // Returns the chosen folder, empty when cancelled.
    void setFolderChooser(std::function<QString(const QString& start)> choose) {
        choose_ = std::move(choose);
    }
    QPushButton* chooseButton() const { return chooseButton_; }
    QPushButton* clearButton() const { return clearButton_; }
    QLineEdit* pathField() const { return pathField_; }

private:
    void show(const QString& folder);

    platform::UserDefaults& defaults_;
    QString folder_;
    QLineEdit* pathField_;
    QPushButton* chooseButton_;
    QPushButton* clearButton_;
    std::function<QString(const QString&)> choose_;
};

} // namespace quillet
