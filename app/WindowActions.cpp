#include "app/WindowActions.h"

#include "app/HelpLinks.h"
#include "app/SplitButtonImage.h"
#include "app/ToolbarIcons.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <array>

namespace quillet {

namespace {

struct MarkdownButton {
    const char* command;
    const char* label;
    const char* toolTip;
};

constexpr std::array<MarkdownButton, 7> kMarkdownButtons{{
    {"header", QT_TRANSLATE_NOOP("WindowActions", "Header"),
     QT_TRANSLATE_NOOP("WindowActions", "Insert header marker")},
    {"list", QT_TRANSLATE_NOOP("WindowActions", "List"),
     QT_TRANSLATE_NOOP("WindowActions", "Insert list marker")},
    {"quote", QT_TRANSLATE_NOOP("WindowActions", "Quote"),
     QT_TRANSLATE_NOOP("WindowActions", "Insert quote marker")},
    {"link", QT_TRANSLATE_NOOP("WindowActions", "Link"), QT_TRANSLATE_NOOP("WindowActions", "Insert link")},
    {"image", QT_TRANSLATE_NOOP("WindowActions", "Image"),
     QT_TRANSLATE_NOOP("WindowActions", "Insert image")},
    {"bold", QT_TRANSLATE_NOOP("WindowActions", "Bold"), QT_TRANSLATE_NOOP("WindowActions", "Make bold")},
    {"italic", QT_TRANSLATE_NOOP("WindowActions", "Italic"),
     QT_TRANSLATE_NOOP("WindowActions", "Make italic")},
}};

QIcon markdownButtonIcon(int index) {
    switch (index) {
    case 0:
        return glyphIcon(QStringLiteral("H"), true);
    case 1:
        return listIcon();
    case 2:
        return quoteIcon();
    case 3:
        return linkIcon();
    case 4:
        return imageIcon();
    case 5:
        return glyphIcon(QStringLiteral("B"), true);
    default:
        return glyphIcon(QStringLiteral("I"), false, true);
    }
}

QIcon splitIcon(SplitSide side, bool shown) {
    const QColor color = shown ? splitButtonShownColor() : splitButtonHiddenColor();
    return QIcon(QPixmap::fromImage(splitButtonImageWithSize(QSize(32, 32), color, side)));
}

} // namespace

std::optional<QString> markdownButtonCommand(int segment) {
    if (segment < 0 || segment >= static_cast<int>(kMarkdownButtons.size())) return std::nullopt;
    return QString::fromLatin1(kMarkdownButtons[static_cast<std::size_t>(segment)].command);
}

QAction* WindowActions::make(const QString& text, QObject* parent) {
    return new QAction(text, parent);
}

WindowActions::WindowActions(QObject* parent) : QObject(parent) {
    newNote = make(tr("New Note"), this);
    newNote->setShortcuts(QKeySequence::New);
    duplicateNote = make(tr("Duplicate"), this);
    duplicateNote->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    // Plain Delete belongs to the browser's rows and to the editor's text.
    deleteNote = make(tr("Delete Note"), this);
    deleteNote->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    renameNote = make(tr("Rename…"), this);
    renameNote->setShortcut(QKeySequence(Qt::Key_F2));
    copyNoteTo = make(tr("Copy To…"), this);
    moveNote = make(tr("Move to"), this);
    moveMenu = new QMenu; // a menu has no QObject parent to go with: deleted with the actions
    connect(this, &QObject::destroyed, moveMenu, [menu = moveMenu] { delete menu; });
    moveToSynced = moveMenu->addAction(tr("Synced"));
    moveToLocal = moveMenu->addAction(tr("On This Computer"));
    moveNote->setMenu(moveMenu);
    // Ctrl+I stays italic, as in the desktop's other editors.
    noteInfo = make(tr("Note Info"), this);
    noteInfo->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));

    openFolder = make(tr("Open Folder\u2026"), this);
    openFolder->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    closeFolder = make(tr("Close Folder"), this);

    quit = make(tr("Quit Quillet"), this);
    // Some platforms (the offscreen one, a bare X server) bind no key to Quit.
    quit->setShortcuts(QKeySequence::keyBindings(QKeySequence::Quit));
    if (quit->shortcut().isEmpty()) quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);

    const auto standard = [this](const QString& text, QKeySequence::StandardKey key) {
        QAction* action = make(text, this);
        action->setShortcuts(key);
        // The focused text widget handles these keys itself; the menu item is for the mouse.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        return action;
    };
    undo = standard(tr("Undo"), QKeySequence::Undo);
    redo = standard(tr("Redo"), QKeySequence::Redo);
    cut = standard(tr("Cut"), QKeySequence::Cut);
    copy = standard(tr("Copy"), QKeySequence::Copy);
    paste = standard(tr("Paste"), QKeySequence::Paste);
    selectAll = standard(tr("Select All"), QKeySequence::SelectAll);
    find = make(tr("Find…"), this);
    find->setShortcuts(QKeySequence::Find);
    // Most Linux desktops bind no key to the standard Preferences one: Ctrl+, as elsewhere.
    preferences = make(tr("Preferences…"), this);
    preferences->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    preferences->setMenuRole(QAction::PreferencesRole);

    togglePreview = make(tr("Show Preview"), this);
    togglePreview->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P));
    toggleBrowser = make(tr("Hide Browser"), this);
    toggleBrowser->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B));
    setPreviewShown(false);
    setBrowserShown(true);
    // The toolbar's sort popup, for the keyboard.
    auto* sortGroup = new QActionGroup(this);
    for (const auto& [mode, text] : {std::pair{"Date", tr("By &Date")}, std::pair{"Name", tr("By &Name")}}) {
        QAction* item = make(text, sortGroup);
        item->setCheckable(true);
        item->setData(QString::fromLatin1(mode));
        sortModes.append(item);
    }

    font = make(tr("Font…"), this);
    font->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));

    for (const char* title : {kHelpGuideTitle, kReportIssueTitle}) {
        QAction* item = make(QCoreApplication::translate("WindowActions", title), this);
        item->setData(QString::fromUtf8(title));
        helpItems.append(item);
    }
    helpItems.first()->setShortcut(QKeySequence::HelpContents);
    about = make(tr("About Quillet"), this);
    about->setMenuRole(QAction::AboutRole);

    for (std::size_t i = 0; i < kMarkdownButtons.size(); ++i) {
        QAction* button = make(QCoreApplication::translate("WindowActions", kMarkdownButtons[i].label), this);
        button->setToolTip(QCoreApplication::translate("WindowActions", kMarkdownButtons[i].toolTip));
        button->setData(QString::fromLatin1(kMarkdownButtons[i].command));
        button->setIcon(markdownButtonIcon(static_cast<int>(i)));
        // Enabled by the menu validation while an editable note is open.
        button->setEnabled(false);
        markdownButtons.append(button);
    }
    // Bold and italic on the keys the desktop's editors use (Ctrl+Alt+B is the browser's).
    markdownButtons[5]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    markdownButtons[6]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));

    makeExportActions();
    makeEditorToolActions();

    spelling = make(tr("Spelling"), this);
    spelling->setCheckable(true);
    spelling->setChecked(true);
    makePopoverActions();

    editButton = make(tr("Lock"), this);
    editButton->setCheckable(true);
    setEditButtonState(true);
    setNoteCommandsEnabled(false, false);
}

void WindowActions::setNoteCommandsEnabled(bool hasOpenNote, bool hasSyncedLibrary) {
    for (QAction* command : {duplicateNote, deleteNote, renameNote, copyNoteTo, noteInfo, editButton})
        command->setEnabled(hasOpenNote);
    moveNote->setVisible(hasSyncedLibrary);
    moveNote->setEnabled(hasOpenNote && hasSyncedLibrary);
    setExportCommandsEnabled(hasOpenNote);
}

void WindowActions::setMoveTargets(bool openNoteIsSynced) {
    moveToSynced->setEnabled(!openNoteIsSynced);
    moveToLocal->setEnabled(openNoteIsSynced);
}

void WindowActions::setPreviewShown(bool shown) {
    togglePreview->setText(shown ? tr("Hide Preview") : tr("Show Preview"));
    togglePreview->setToolTip(shown ? tr("Hide the preview") : tr("Show the preview"));
    togglePreview->setIcon(splitIcon(SplitSide::Right, shown));
    togglePreview->setIconText(tr("Preview"));
}

void WindowActions::setBrowserShown(bool shown) {
    toggleBrowser->setText(shown ? tr("Hide Browser") : tr("Show Browser"));
    toggleBrowser->setToolTip(shown ? tr("Hide the note browser") : tr("Show the note browser"));
    toggleBrowser->setIcon(splitIcon(SplitSide::Left, shown));
    toggleBrowser->setIconText(tr("Browser"));
}

void WindowActions::setEditButtonState(bool editable) {
    editButton->setChecked(editable);
    editButton->setText(editable ? tr("Lock") : tr("Edit"));
    editButton->setToolTip(editable ? tr("Lock the note") : tr("Unlock the note for editing"));
    editButton->setIcon(lockIcon(!editable));
}

QMenu* WindowActions::buildMenuBar(QMenuBar* menuBar) {
    QMenu* file = menuBar->addMenu(tr("&File"));
    file->addActions({newNote, duplicateNote});
    file->addSeparator();
    file->addActions({renameNote, copyNoteTo, moveNote, editButton, noteInfo});
    file->addSeparator();
    file->addAction(deleteNote);
    file->addSeparator();
    file->addAction(openFolder);
    openRecentFolderMenu = file->addMenu(tr("Open Recent Folder"));
    openRecentFolderMenu->setToolTipsVisible(true);
    file->addAction(closeFolder);
    file->addSeparator();
    addExportItems(file);
    file->addSeparator();
    file->addAction(quit);

    QMenu* edit = menuBar->addMenu(tr("&Edit"));
    edit->addActions({undo, redo});
    edit->addSeparator();
    edit->addActions({cut, copy, paste, selectAll});
    edit->addAction(copyAsHtml);
    edit->addSeparator();
    edit->addAction(find);
    edit->addAction(spelling);
    edit->addSeparator();
    edit->addAction(preferences);

    QMenu* view = menuBar->addMenu(tr("&View"));
    view->addActions({togglePreview, toggleBrowser});
    view->addSeparator();
    view->addMenu(tr("&Sort Notes"))->addActions(sortModes);

    QMenu* format = menuBar->addMenu(tr("F&ormat"));
    QMenu* styles = format->addMenu(tr("Markdown Style"));
    format->addAction(font);
    // The toolbar's Markdown buttons, for the keyboard.
    format->addSeparator();
    format->addActions(markdownButtons);
    addEditorToolItems(format);
    addPopoverItems(view, format);

    QMenu* help = menuBar->addMenu(tr("&Help"));
    help->addActions(helpItems);
    help->addSeparator();
    help->addAction(about);
    return styles;
}

void WindowActions::fillMarkdownStyleMenu(QMenu* menu, const QStringList& names, const QString& chosen) {
    menu->clear();
    for (QActionGroup* old : menu->findChildren<QActionGroup*>(QString(), Qt::FindDirectChildrenOnly))
        delete old;
    auto* group = new QActionGroup(menu);
    for (const QString& name : names) {
        QAction* item = menu->addAction(name);
        item->setCheckable(true);
        item->setChecked(name == chosen);
        item->setData(name);
        group->addAction(item);
    }
    if (names.isEmpty()) menu->addAction(tr("No style sheets"))->setEnabled(false);
}

} // namespace quillet

#include "moc_WindowActions.cpp"
