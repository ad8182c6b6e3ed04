#include "app/PreferencesPanel.h"

#include "app/SpellingSettings.h"
#include "app/SyncFolderRow.h"
#include "platform/SettingsMarkdownDefaults.h"
#include "platform/SpellChecker.h"
#include "platform/UserDefaults.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace quillet {

namespace {

enum class RowKind { section, checkBox, slider, colorScheme, spellingLanguage };

struct Row {
    RowKind kind;
    const char* text;
    const char* key;
};

constexpr std::array<Row, 14> kRows{{
    {RowKind::section, QT_TRANSLATE_NOOP("PreferencesPanel", "Markdown Options"), nullptr},
    {RowKind::checkBox, QT_TRANSLATE_NOOP("PreferencesPanel", "Indent normal lines"), "indentNormalLines"},
    {RowKind::checkBox, QT_TRANSLATE_NOOP("PreferencesPanel", "Reset indent by a blankline."),
     "resetIndentByBlankline"},
    {RowKind::checkBox, QT_TRANSLATE_NOOP("PreferencesPanel", "Reset indent by a header."), "resetIndentByHeader"},
    {RowKind::checkBox, QT_TRANSLATE_NOOP("PreferencesPanel", "Reset indent by a different block."),
     "resetIndentByBlock"},
    {RowKind::slider, "Indent width: %ld chars", "indentWidthByChars"},
    {RowKind::section, QT_TRANSLATE_NOOP("PreferencesPanel", "HTML Options"), nullptr},
    {RowKind::checkBox, QT_TRANSLATE_NOOP("PreferencesPanel", "Remove proceeding 4 spaces in code block."),
     "removeProceeding4SpacesInCodeBlock"},
    {RowKind::section, QT_TRANSLATE_NOOP("PreferencesPanel", "Lock Options"), nullptr},
    {RowKind::checkBox, QT_TRANSLATE_NOOP("PreferencesPanel", "Show as HTML when file locked."),
     "showAsHTMLWhenLocked"},
    {RowKind::section, QT_TRANSLATE_NOOP("PreferencesPanel", "Appearance"), nullptr},
    {RowKind::colorScheme, QT_TRANSLATE_NOOP("PreferencesPanel", "Color scheme:"), nullptr},
    {RowKind::section, QT_TRANSLATE_NOOP("PreferencesPanel", "Spelling"), nullptr},
    {RowKind::spellingLanguage, QT_TRANSLATE_NOOP("PreferencesPanel", "Dictionary:"), nullptr},
}};

constexpr int kSectionRowHeight = 20;
constexpr int kRowHeight = 28;
constexpr int kTableWidth = 380;
constexpr int kMinimumIndent = 1;
constexpr int kMaximumIndent = 8;

// The schemes in the order of the combo box.
constexpr std::array<ColorScheme, 3> kSchemes{ColorScheme::desktop, ColorScheme::light, ColorScheme::dark};

QString sliderText(int value) {
    return QString::fromLatin1(kRows[5].text).replace(QLatin1String("%ld"), QString::number(value));
}

QWidget* rowWidget(QWidget* content, QWidget* trailing = nullptr) {
    auto* cell = new QWidget;
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(12, 0, 12, 0);
    layout->addWidget(content);
    if (trailing) layout->addWidget(trailing, 1);
    return cell;
}

} // namespace

PreferencesPanel::PreferencesPanel(platform::UserDefaults& defaults, Appearance& appearance, QWidget* parent)
    : QDialog(parent), defaults_(defaults), appearance_(appearance), table_(new QTableWidget(this)),
      previewNote_(new QLabel(this)) {
    setWindowTitle(tr("Preferences"));
    setWindowModality(Qt::WindowModal);
    platform::SettingsMarkdownDefaults stored(defaults_);
    options_ = stored.markdownOptions().value_or(MarkdownOptions::defaults().toKeyValues());

    buildRows();
    previewNote_->setText(tr("The preview takes the new colors when Quillet starts again."));
    previewNote_->setWordWrap(true);
    previewNote_->setEnabled(false); // drawn subdued
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    cancelButton_ = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::clicked, this, &PreferencesPanel::buttonPressed);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(previewNote_);
    syncFolderRow_ = new SyncFolderRow(defaults_, this);
    syncFolderRow_->setFixedWidth(kTableWidth);
    layout->addWidget(syncFolderRow_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // follows the note shown or hidden
    previewNote_->setFixedWidth(kTableWidth);
    showOptions();
}

void PreferencesPanel::buildRows() {
    table_->setColumnCount(1);
    table_->setRowCount(int(kRows.size()));
    table_->horizontalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->verticalHeader()->hide();
    table_->setShowGrid(false);
    // On the window's colour, not the list's: a dark scheme draws its check boxes in the list's
    // colour, which would hide the empty ones.
    table_->viewport()->setBackgroundRole(QPalette::Window);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int height = 2 * table_->frameWidth();
    for (int row = 0; row < int(kRows.size()); ++row) {
        const Row& each = kRows[std::size_t(row)];
        const bool section = each.kind == RowKind::section;
        const QString text = QCoreApplication::translate("PreferencesPanel", each.text);
        table_->setRowHeight(row, section ? kSectionRowHeight : kRowHeight);
        height += table_->rowHeight(row);
        switch (each.kind) {
        case RowKind::section: {
            auto* item = new QTableWidgetItem(text);
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
            item->setFlags(Qt::ItemIsEnabled);
            table_->setItem(row, 0, item);
            break;
        }
        case RowKind::checkBox:
            table_->setCellWidget(row, 0, rowWidget(new QCheckBox(text)));
            break;
        case RowKind::slider:
            sliderLabel_ = new QLabel;
            slider_ = new QSlider(Qt::Horizontal);
            slider_->setRange(kMinimumIndent, kMaximumIndent);
            slider_->setPageStep(1);
            connect(slider_, &QSlider::valueChanged, this, &PreferencesPanel::sliderChanged);
            table_->setCellWidget(row, 0, rowWidget(sliderLabel_, slider_));
            break;
        case RowKind::colorScheme:
            schemeBox_ = new QComboBox;
            schemeBox_->addItems({tr("Follow the desktop"), tr("Light"), tr("Dark")});
            connect(schemeBox_, &QComboBox::currentIndexChanged, this, &PreferencesPanel::updatePreviewNote);
            table_->setCellWidget(row, 0, rowWidget(new QLabel(text), schemeBox_));
            break;
        case RowKind::spellingLanguage:
            spellingBox_ = new QComboBox;
            fillSpellingLanguages();
            table_->setCellWidget(row, 0, rowWidget(new QLabel(tr(each.text)), spellingBox_));
            break;
        }
    }
    table_->setFixedSize(kTableWidth, height);
}

QCheckBox* PreferencesPanel::checkBox(int row) const {
    if (row < 0 || row >= int(kRows.size()) || kRows[std::size_t(row)].kind != RowKind::checkBox) return nullptr;
    return table_->cellWidget(row, 0)->findChild<QCheckBox*>();
}

void PreferencesPanel::present() {
    showOptions();
    syncFolderRow_->load();
    open();
}

void PreferencesPanel::showOptions() {
    const auto value = [this](const char* key) {
        const auto found = options_.find(key);
        return found == options_.end() ? 0L : found->second;
    };
    for (int row = 0; row < int(kRows.size()); ++row)
        if (QCheckBox* box = checkBox(row)) box->setChecked(value(kRows[std::size_t(row)].key) != 0);
    const int indent = int(value(kRows[5].key));
    slider_->setValue(indent);
    // The label tells the stored width even where the slider cannot reach it.
    sliderLabel_->setText(sliderText(indent));
    const auto scheme = std::find(kSchemes.begin(), kSchemes.end(), storedColorScheme(defaults_));
    schemeBox_->setCurrentIndex(int(scheme - kSchemes.begin()));
    updatePreviewNote();
    spellingBox_->setCurrentIndex(spellingBox_->findData(platform::SpellChecker::shared().language()));
}

void PreferencesPanel::readBackRows() {
    for (int row = 0; row < int(kRows.size()); ++row)
        if (QCheckBox* box = checkBox(row)) options_[kRows[std::size_t(row)].key] = box->isChecked() ? 1 : 0;
    options_[kRows[5].key] = slider_->value();
}

void PreferencesPanel::buttonPressed(QAbstractButton* button) {
    if (button != okButton_) {
        reject();
        return;
    }
    readBackRows();
    platform::SettingsMarkdownDefaults(defaults_).setMarkdownOptions(options_);
    const ColorScheme chosen = kSchemes[std::size_t(schemeBox_->currentIndex())];
    // A scheme left as stored is not applied again: --dark stays until the user picks one.
    if (chosen != storedColorScheme(defaults_)) {
        storeColorScheme(defaults_, chosen);
        appearance_.apply(chosen);
    }
    storeSpellingLanguage();
    accept();
}

// Each dictionary by its language's English name and its tag: "English (United States) — en_US".
void PreferencesPanel::fillSpellingLanguages() {
    for (const QString& tag : platform::SpellChecker::shared().availableLanguages()) {
        const QLocale locale(tag);
        QString name = QLocale::languageToString(locale.language());
        if (tag.contains(QLatin1Char('_')))
            name += QStringLiteral(" (%1)").arg(QLocale::territoryToString(locale.territory()));
        spellingBox_->addItem(QStringLiteral("%1 \u2014 %2").arg(name, tag), tag);
    }
}

// The system's language is followed until the user picks another dictionary.
void PreferencesPanel::storeSpellingLanguage() {
    const QString chosen = spellingBox_->currentData().toString();
    platform::SpellChecker& checker = platform::SpellChecker::shared();
    if (chosen.isEmpty() || chosen == checker.language()) return;
    quillet::storeSpellingLanguage(defaults_, chosen);
    applySpellingLanguage(defaults_, checker);
}

void PreferencesPanel::sliderChanged(int value) {
    sliderLabel_->setText(sliderText(value));
}

void PreferencesPanel::updatePreviewNote() {
    const ColorScheme chosen = kSchemes[std::size_t(std::max(schemeBox_->currentIndex(), 0))];
    previewNote_->setVisible(appearance_.isDark(chosen) != appearance_.webEngineIsDark());
}

} // namespace quillet

#include "moc_PreferencesPanel.cpp"
