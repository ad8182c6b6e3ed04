#pragma once
// The main window's commands as actions shared by its menus and its toolbar, with the desktop's
// standard shortcuts. The window controller connects them; this class only makes and labels them.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class QAction;
class QMenu;
class QMenuBar;

namespace quillet {

// The command name of a Markdown toolbar button ("header", "list", ..., "italic"); none for an
// index past the seven buttons.
std::optional<QString> markdownButtonCommand(int segment);

class WindowActions : public QObject {
    Q_OBJECT

public:
    explicit WindowActions(QObject* parent = nullptr);

    // File: the note operations act on the open note
    QAction* newNote;
    QAction* duplicateNote;
    QAction* deleteNote;
    QAction* renameNote;
    QAction* copyNoteTo;
    QAction* moveNote; // between the synced and the local library
    // File > Move to ▸ Synced / On This Computer: only the library the open note is not in.
    QMenu* moveMenu;
    QAction* moveToSynced;
    QAction* moveToLocal;
    void setMoveTargets(bool openNoteIsSynced);
    QAction* noteInfo;
    // File: the folder shown beside the library ("Open Recent Folder" is filled when it opens)
    QAction* openFolder;
    QAction* closeFolder;
    QMenu* openRecentFolderMenu = nullptr;
    QAction* quit;
    // Edit
    QAction* undo;
    QAction* redo;
    QAction* cut;
    QAction* copy;
    QAction* paste;
    QAction* selectAll;
    QAction* find;
    QAction* preferences;
    // View
    QAction* togglePreview;
    QAction* toggleBrowser;
    QList<QAction*> sortModes; // View > Sort Notes: by date, by name (data: "Date", "Name")
    // Format ("Markdown Style" is a submenu filled when it opens)
    QAction* font;
    // Help
    QList<QAction*> helpItems;
    QAction* about;
    // Export and import (WindowActionsExport.cpp): File > Export ▸ Plain Text / Markdown / HTML
    // (each item's data is its format title), Import…, Export as PDF…, Print…; Edit > Copy as HTML.
    QList<QAction*> exportFormats;
    QAction* importNote;
    QAction* exportPdf;
    QAction* print;
    QAction* copyAsHtml;
    // Edit > Spelling: checked while the editor checks spelling as the user types
    QAction* spelling;

    // Editor tools (WindowActionsEditorTools.cpp): Format > Calculate (F9), also a toolbar
    // button after the Markdown buttons.
    QAction* calculate;

    // The editor's popovers (WindowActionsPopovers.cpp): View > Show Headers, Format > Add Image….
    QAction* showHeaders;
    QAction* addImage;
    // Toolbar
    QList<QAction*> markdownButtons; // in the order of markdownButtonCommand
    QAction* editButton;             // checked: the note is editable ("Lock" locks it)

    // Builds File, Edit, View, Format and Help; returns the "Markdown Style" submenu.
    QMenu* buildMenuBar(QMenuBar* menuBar);

    // Titles that follow the panes: "Show Preview"/"Hide Preview", "Show Browser"/"Hide Browser".
    void setPreviewShown(bool shown);
    void setBrowserShown(bool shown);
    // Checked: "Lock" (editable); unchecked: "Edit".
    void setEditButtonState(bool editable);
    // The commands on the open note are off without one; "Move to" is shown only where a synced
    // library is set up.
    void setNoteCommandsEnabled(bool hasOpenNote, bool hasSyncedLibrary);
    // Headers need an open Markdown note; adding an image, one that can be edited.
    void setPopoverCommandsEnabled(bool hasOpenMarkdownNote, bool editable);

    // Lists the style sheets in `menu`, checking `chosen`; each item carries its file name.
    static void fillMarkdownStyleMenu(QMenu* menu, const QStringList& names, const QString& chosen);

private:
    void makeEditorToolActions();
    void addEditorToolItems(QMenu* format);
    void makeExportActions();
    void addExportItems(QMenu* file);
    void setExportCommandsEnabled(bool hasOpenNote);
    void makePopoverActions();
    void addPopoverItems(QMenu* view, QMenu* format);
    QAction* make(const QString& text, QObject* parent);
};

} // namespace quillet
