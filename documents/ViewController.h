#pragma once
// The main controller of the window. It owns the open document: it reads a note off the main
// thread, hands the text to the editor, restores the note's selection and lock state, saves edits
// back 5 seconds after the last one (and refreshes the preview 2 seconds after it), and closes
// the note again. It holds the split view of the three panes (browser, editor, preview) and
// serves the browser, the editor and the window around it.
//
// Its work is split by concern over ViewController*.cpp: lifecycle, saving, coordinated file
// operations, editor font, preview, outline and search.

#include "browser/BrowserHost.h"
#include "browser/FileRepresentation.h"
#include "browser/NoteTree.h"
#include "documents/NoteMetadata.h"
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
class FolderViewController;
class MarkdownViewController;
class PreviewPane;
class ShellHost;

using SaveCompletion = std::function<void(bool success, const platform::Status& error)>;
using ReadCompletion = std::function<void(std::optional<QString> text, const platform::Status& error)>;

class ViewController : public QWidget, public EditorHost, public BrowserHost {
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
    NoteMetadata& noteMetadata();

    // ---- The open document
    FileRep lastFileRepresentation() const override;
    void setLastFileRepresentation(FileRep note);
    std::optional<QUrl> openedFileURL() const;
    bool editState() const;

    void openDocument(const FileRep& note) override;
    void updateDocument(const FileRep& note);
    void revertDocumentWithContentsOfURL(const QUrl& url);
    void closeDocument() override;
    void clearDocument();

    void scheduleAutosave() override;
    void disableAutosave();
    void autosaveFile() override;
    // `srcString` none: the editor's text. The completion is not called when there is nothing
    // to save.
    void saveFile(const FileRep& note, std::optional<QString> srcString, bool lockOption,
                  SaveCompletion completion);
    void saveContents(QString text, const QUrl& url, const QString& title);
    static QString convertLineBreak(const QString& text);
    void setSelectedRange(Range range) override;
    // The edit button: state 1 unlocks the open note, 0 locks it (saving pending edits first).
    void changeEditState(int state);

    // ---- Coordinated file operations (completions run on a worker thread)
    void coordinateReadURL(const QUrl& url, ReadCompletion completion);
    void coordinateSaveURL(const QUrl& url, SaveCompletion completion);
    void coordinateDeleteURL(const std::optional<QUrl>& url, SaveCompletion completion);
    void coordinateLockFileRep(const FileRep& note, SaveCompletion completion);
    void coordinateRenameURL(const QUrl& source, const QUrl& destination, SaveCompletion completion);

    // ---- Editor font
    QFont selectedFont() const;
    void setFont(const QFont& font);
    void revertToDefaultFont();

    // ---- Preview
    void updateWebView();
    void togglePreview(bool shown);
    // Shows (true) or hides (false) the preview pane.
    void showPreview(bool show);
    bool webViewState() const;
    void markdownStyleMenuSelected(const QString& title);
    QString markdownCSS() const;
    // The chosen style sheet's file; the application's own "markdown.css" when it is unreadable.
    QUrl styleSheetURL();

    // ---- Outline and search
    QString searchTarget() const;
    void setSearchTarget(const QString& target);
    void searchFieldEntered(const QString& text);
    void enterOutlineMode(bool outlineMode) override;
    void textViewDidChangeSelection(Range range) override;
    bool searchResults(const QString& searchString, const FileRep& note) override;
    void findString(const QString& searchString, const FileRep& note) override;
    // Selects the record's "lineRange" in the editor.
    void rangeDictDidSelect(Range lineRange);

signals:
    // The open note changed (opened, closed, renamed): the window updates its title.
    void documentChanged();

private:
    struct Private;
    struct ReadOutcome;
    QFont defaultEditorFont() const;
    void showAlert(const QString& message, const QString& informativeText);
    void finishOpening(const FileRep& note, const QString& typeIdentifier, const ReadOutcome& outcome);
    static void readNoteFile(const QString& path, FileRepresentation* note, bool iCloud,
                             const NoteMetadata& metadata, ReadOutcome& outcome);
    void rereadDocument(const QUrl& url, bool iCloud, bool readMetadata);
    void finishRereading(const ReadOutcome& outcome);
    void saveCompleted(const FileRep& note, bool success, const platform::Status& error);
    void writeMetadata(FileRepresentation& note);
    void touchSynchronizeData();
    void saveICloudNote(const FileRep& note, std::optional<QString> srcString, bool lockOption,
                        SaveCompletion completion);
    void lockOpenNote();
    void unlockOpenNote();
    void applyEditState(bool editable);
    void saveEditsBeforeReplacingText(const FileRep& incoming);

    std::unique_ptr<Private> d;
};

} // namespace quillet
