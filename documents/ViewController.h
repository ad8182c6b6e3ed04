#pragma once
// The main controller of the window. It owns the open document: it reads a note off the main
// thread, hands the text to the editor, restores the note's selection and lock state, saves edits
// back 5 seconds after the last one (and refreshes the preview 2 seconds after it), and closes
// the note again. It holds the split view of the three panes (browser, editor, preview) and
// serves the browser, the editor and the window around it.
//
// Its work is split by concern over ViewController*.cpp: lifecycle, saving, coordinated file
// operations, editor font, preview, outline and search, and the note operations (new, duplicate,
// delete, move and copy, rename, lock, info), which also serve the browser's context menu, rename
// popover and drag and drop (BrowserCommands).

#include "browser/BrowserCommands.h"
#include "browser/BrowserHost.h"
#include "browser/FileRepresentation.h"
#include "browser/NoteTree.h"
#include "documents/RecentFolders.h"
#include "editor/EditorHost.h"
#include "engine/Range.h"
#include "platform/Dispatcher.h"
#include "platform/Status.h"

#include <QFont>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QSplitter;

namespace quillet {

namespace platform {
class UserDefaults;
}
class DocumentAlerts;
class ExportPanels;
struct HtmlExportRequest;
class FolderViewController;
class MarkdownViewController;
class PreviewPane;
class ShellHost;
class DocumentSession;
class NotePrefetch;

using ReadCompletion = std::function<void(std::optional<QString> text, const platform::Status& error)>;

class ViewController : public QWidget, public EditorHost, public BrowserHost, public BrowserCommands {
    Q_OBJECT

public:
    ViewController(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher,
                   QWidget* parent = nullptr);
    ~ViewController() override;

    // Set-up, before viewDidLoad: the preview pane (none: no preview), the window's controls and
    // the alerts (default: message boxes on this window).
    void setPreviewPane(PreviewPane* preview);
    void setShell(ShellHost* shell);
    void setAlerts(DocumentAlerts* alerts);

    // Start: editor font, style sheet name, the browser's tree from `setup`, the panes connected.
    void viewDidLoad(const LocalContainerSetup& setup = LocalContainerSetup::system());

    QSplitter* splitView() const;
    FolderViewController* folderViewController() const;
    MarkdownViewController* markdownViewController() const;
    PreviewPane* webViewController() const;

    // ---- The open document (owned by the document session; the panes ask it)
    DocumentSession& session() const;
    FileRep lastFileRepresentation() const override;
    bool editState() const;
    bool documentDirty() const;
    QString displayName() const override;

    void openDocument(const FileRep& note) override;
    // Opens the note with `selection` selected instead of its stored selection.
    void openDocument(const FileRep& note, Range selection) override;
    // Opens the note with the read started for it at launch (when it is the note read).
    void openDocument(const FileRep& note, const std::shared_ptr<NotePrefetch>& prefetch);
    void closeDocument() override;

    // EditorHost: the editor's text changed; its first line gives a new name.
    void textDidChange() override;
    void firstLineNameDidChange(const QString& name) override;
    // Saves pending edits (when the window's focus changes, the desktop suspends the app…).
    void autosaveFile();
    static QString convertLineBreak(const QString& text);
    void setSelectedRange(Range range) override;
    // The edit button: state 1 unlocks the open note, 0 locks it (saving pending edits first).
    void changeEditState(int state);

    // ---- Note operations on the open note (File menu and toolbar)
    // A new note beside the open one (else at the top of the library), opened.
    void newNote();
    // A copy of the open note named "Copy NAME", opened.
    void duplicateNote();
    // Asks "Delete Note: NAME", then moves the open note to the trash.
    void deleteNote();
    // Moves the open note between the synced and the local library (only with a synced one).
    void moveTo();
    void showNoteInfo();
    // "Copy to…" of the open note.
    void copyOpenNote();
    // A new record for a copy of `item` beside it ("Copy NAME"); not in the tree, no file written.
    FileRep copyFileRepresentation(const FileRep& item) const;
    bool isExporting() const;

    // ---- BrowserCommands: the same on any row
    void showNoteInfoForFileRep(const FileRep& item) override;
    void changeEditState(int state, const FileRep& item) override;
    void createFile(const FileRep& folder) override;
    void newNoteInFileRep(const FileRep& folder) override;
    void moveFileRep(const FileRep& item, const FileRep& target, int index, bool deletingAfter) override;
    void deleteNote(const FileRep& item) override;
    void deleteNoteInFileRep(const FileRep& item) override;
    void deleteFolder(const FileRep& folder) override;
    void copyToFileRep(const FileRep& item) override;
    bool copyFile(const QString& sourcePath, const FileRep& target, int index, bool needsToOpen) override;
    void filenameDidChange(const FileRep& renamed) override;
    bool hasSyncedContainer() const override;
    void showAlert(const QString& message, const QString& informativeText) override;

    // Reads a note's text on a worker; the completion runs there.
    void coordinateReadURL(const QUrl& url, ReadCompletion completion);

    // ---- Editor font
    QFont selectedFont() const;
    void setFont(const QFont& font);

    // ---- Preview
    // Converts the note for the preview on a worker and shows it (at once; a refresh asked for
    // during a conversion runs once after it).
    void updateWebView();
    // Refreshes the preview 2 seconds after the last edit.
    void schedulePreviewRefresh();
    void togglePreview(bool shown);
    // Shows (true) or hides (false) the preview pane.
    void showPreview(bool show);
    bool webViewState() const;
    void markdownStyleMenuSelected(const QString& title);
    QString markdownCSS() const;
    // The chosen style sheet's file; the application's own "markdown.css" when it is unreadable.
    QUrl styleSheetURL();

    // ---- Markdown options
    // Installs the options kept in the user defaults in the editor (restyling the open note) and
    // shows the preview's body again whole, converted with them.
    void applyStoredMarkdownOptions();

    // ---- Export, import, copy as HTML (ViewControllerExport.cpp)
    // The file dialogs (default: the desktop's, on this window).
    void setExportPanels(ExportPanels* panels);
    // File > Export: "Plain Text", "Markdown", anything else HTML.
    void exportAs(const QString& formatTitle);
    // The open note as an HTML document is made: its text, title, language, options, style sheet.
    HtmlExportRequest htmlExportRequest();
    // File > Import…: a text file as a new note beside the open one.
    void importFrom();
    // Edit > Copy as HTML: the selected lines' body elements, as HTML and as plain text.
    void copyAsHTML();
    // Marks the start and end of a print or PDF export: false when one is already under way.
    bool beginPrinting();
    void endPrinting();
    bool printing() const;

    // ---- Outline and search
    QString searchTarget() const;
    void setSearchTarget(const QString& target);
    void searchFieldEntered(const QString& text);
    void enterOutlineMode(bool outlineMode) override;
    void textViewDidChangeSelection(Range range) override;
    bool searchResults(const QString& searchString, const FileRep& note) override;
    void findString(const QString& searchString, const FileRep& note) override;

    // ---- The headers popover and image links (ViewControllerHeaders.cpp)
    // Shows the headers popover over the editor (the open note's search results while it has
    // some), or closes it when it is shown.
    void showHeaders();
    QWidget* headersPopover() const;
    // Selects the range in the editor (a row chosen in the headers popover).
    void rangeDictDidSelect(Range lineRange);
    // Asks for an image URL and inserts the image's link at the editor's selection.
    void addImageTag();

    // ---- Style sheets and scripts (ViewControllerStyleFiles.cpp)
    // "New Script": a new script beside the open one, else in the library's "Script" folder.
    void addScriptFile();
    // Opens the script of that file name from the library's "Script" folder.
    void editScriptFile(const QString& fileName);
    // A script chosen in the script menu: its text goes to runPythonFromString.
    void scriptMenuDidSelect(const QString& title);
    // Where a script's text would run. Quillet runs no scripts: the hook receives it and does
    // nothing.
    virtual void runPythonFromString(const QString& text);
    // Off: the script menu is never offered.
    bool pythonAvailable() const;
    // The library's folder of that name ("CSS", "Script"): in the synced library while there is
    // one, else in the local one.
    QString specialFolderPath(const QString& name) const;

    // ---- A folder anywhere on disk, shown beside the library (ViewControllerFolders.cpp)
    // "Open Folder…": asks for a folder (the desktop's chooser unless replaced) and opens it.
    void openFolder();
    // Shows the folder in the browser and remembers it as the last opened and most recent one.
    // With `openFirstNote` false the caller opens a note there itself. False for a path that is
    // not a folder (nothing changes then).
    bool openFolderAtPath(const QString& path, bool openFirstNote = true);
    // Closes the open folder first, then opens the entry's folder where it still is.
    void openRecentFolder(const RecentFolder& entry);
    void closeFolder();
    void clearOpenRecentFoldersMenu();
    std::optional<QString> openedFolderPath() const;
    const QList<RecentFolder>& recentOpenedFolders() const;
    // Returns the chosen folder's path; empty when the user cancelled.
    void setFolderChooser(std::function<QString()> choose);

    // ---- The synced library (ViewControllerSyncedLibrary.cpp)
    // Shows the synchronised folder ROOT (its "Documents", with "CSS" and "Script", made when
    // missing) as the "Synced" top and keeps it current; none takes the top away. False when
    // ROOT is not a folder or its folders cannot be made.
    bool setupAndStartQuery(const std::optional<QString>& root);
    // The folder given at launch, else the one chosen in Preferences (none: no synced library).
    void startSyncedLibrary();
    std::optional<QString> syncFolder() const;
    // For a note of the synced library that is not listed yet (the first pass runs on a
    // worker): runs `open` once the library is listed and answers true; false for other paths
    // and once the library is listed.
    bool whenSyncedLibraryListed(const QString& path, std::function<void()> open);
    // One pass of the query over its latest items.
    void metadataQueryNotification();
    // The display names the key-value store holds for the children marked "updated".
    void readDisplayNameInChildren(FileRepList& children);

signals:
    // The open note changed (opened, closed, renamed): the window updates its title.
    void documentChanged();

private:
    struct Private;
    class SessionAdapter;
    QFont defaultEditorFont() const;
    QUrl previewBaseURL() const;
    // Note operations' shared steps (ViewControllerTreeEdits.cpp).
    NoteTree& noteTree() const;
    FileRep parentOf(const FileRep& item) const;
    bool holdsOpenNote(const FileRep& item) const;
    FileRep closeForOperation();
    // With `caret`, the note opens with it instead of its stored selection.
    void addCreatedNote(const FileRep& folder, const FileRep& note, std::optional<Range> caret = {});
    void selectAndOpen(const FileRep& item, std::optional<Range> caret = {});
    void moveToTrash(const FileRep& item, const QString& failureMessage);
    bool confirmPermanentDeletion(const FileRep& item);
    void writeNewNote(const FileRep& folder, const FileRep& note, const QString& text,
                      std::optional<Range> caret = {});
    void moveLocally(const FileRep& item, const FileRep& target, int index, bool deletingAfter);
    FileRep recordForPath(const QString& path) const;
    void reopenLastOpenedFolder();
    void showOpenedFolder(const std::optional<QString>& path, bool openFirstNote);
    // The synced halves of the note operations (ViewControllerSyncedLibrary.cpp).
    void readSyncedMetadata(const FileRep& note);
    void storeSyncedMetadata(const FileRep& note);
    void settleInLibrary(const FileRep& record, const FileRep& source, const FileRep& target);

    std::unique_ptr<Private> d;
};

} // namespace quillet
