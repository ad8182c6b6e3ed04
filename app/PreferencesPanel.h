#pragma once
// The preferences sheet: one table of the Markdown options (check boxes and the indent-width
// slider under their section rows) and the colour scheme. OK writes the options back under
// "RQ1DmarkdownOptions" together with the scheme, and ends the sheet with code 1; Cancel ends
// it with code 0 and changes nothing. The window controller makes the sheet once and applies
// what OK stored.

#include "app/ColorScheme.h"
#include "engine/MarkdownOptions.h"

#include <QDialog>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTableWidget;

namespace quillet {

namespace platform {
class UserDefaults;
}
class SyncFolderRow;

class PreferencesPanel : public QDialog {
    Q_OBJECT

public:
    // Reads the stored options; without any, starts from the built-in eight-key dictionary
    // (not written until OK).
    PreferencesPanel(platform::UserDefaults& defaults, Appearance& appearance, QWidget* parent = nullptr);

    // Shows the sheet with the options it holds: what was changed before Cancel is gone.
    void present();

    // The dictionary the table shows and OK writes.
    const MarkdownOptions::KeyValues& markdownOptions() const { return options_; }

    QTableWidget* tableView() const { return table_; }
    // The check box of a row, none for a row without one.
    QCheckBox* checkBox(int row) const;
    QSlider* slider() const { return slider_; }
    QLabel* sliderLabel() const { return sliderLabel_; }
    QComboBox* colorSchemeBox() const { return schemeBox_; }
    // The spelling dictionaries installed (each item's data is its tag, "en_US").
    QComboBox* spellingLanguageBox() const { return spellingBox_; }
    // Shown while the chosen scheme differs from the one the preview started with.
    QLabel* previewSchemeNote() const { return previewNote_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    // The synced library's folder; stored by the window when the sheet ends with OK.
    SyncFolderRow* syncFolderRow() const { return syncFolderRow_; }

private:
    void buildRows();
    void showOptions();
    void readBackRows();
    void buttonPressed(QAbstractButton* button);
    void sliderChanged(int value);
    void updatePreviewNote();
    void fillSpellingLanguages();
    void storeSpellingLanguage();

    platform::UserDefaults& defaults_;
    Appearance& appearance_;
    MarkdownOptions::KeyValues options_;
    QTableWidget* table_;
    QSlider* slider_ = nullptr;
    QLabel* sliderLabel_ = nullptr;
    QComboBox* schemeBox_ = nullptr;
    QComboBox* spellingBox_ = nullptr;
    QLabel* previewNote_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    SyncFolderRow* syncFolderRow_;
};

} // namespace quillet
