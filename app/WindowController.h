#pragma once
// The main window: its toolbar (Markdown buttons, pane buttons, edit button, sort popup, search
// field), its menus, and the main controller as its content. It forwards the toolbar's and the
// menus' commands to the main controller, keeps the window frame across launches and asks the
// application whether it may close.

#include "documents/ShellHost.h"

#include <QMainWindow>
#include <QUrl>
#include <functional>

class QComboBox;
class QLineEdit;
class QMenu;

namespace quillet {

namespace platform {
class Dispatcher;
class UserDefaults;
} // namespace platform
struct LocalContainerSetup;
class AboutPanelController;
class ExportCommands;
class HelpGuideWindow;
class InfoPanelController;
class MenuValidation;
class PreferencesPanel;
class ViewController;
class WebViewController;
class WindowActions;

class WindowController : public QMainWindow, public ShellHost {
    Q_OBJECT

public:
    WindowController(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher,
                     const LocalContainerSetup& setup, QWidget* parent = nullptr);
    ~WindowController() override;

    ViewController* viewController() const;
    WebViewController* webViewController() const;
    WindowActions& actions() const;
    QLineEdit* searchField() const;
    QComboBox* sortOptionPopup() const;

    // Asked before the window closes (which quits the application): true closes now, false
    // means the application closes the window itself later (after a save).
    void setCloseHandler(std::function<bool()> handler);
    // How the Help menu and the about sheet open addresses (the desktop's unless replaced).
    void setURLOpener(std::function<void(const QUrl&)> opener);

    // ShellHost
    void setEditButtonState(bool editable) override;
    void setSearchFieldEnabled(bool enabled) override;
    void previewPaneShown(bool shown) override;
    void showNoteInfo(const QUrl& url, const QVariantMap& noteInfo, std::function<void()> ended) override;
    std::optional<QString> chooseCopyDestination(const QString& folder, const QString& proposedName) override;
    std::optional<QString> askNewFileName(const QString& folder, const QString& extension) override;

    // What enables and titles the menus and the toolbar's actions.
    MenuValidation& menuValidation() const;
    QMenu* markdownStyleMenu() const;

    // The note-info sheet (made on first use; none before).
    InfoPanelController* infoPanelController() const;
    // "Rename…": asks for the open note's new file name (the note's extension is added to a name
    // without one). Replaceable, so that tests answer instead of a person.
    void setRenamePrompt(std::function<std::optional<QString>(const QString& currentName)> prompt);
    void renameOpenNote();

    // Toolbar and menu commands.
    void splitButtonsPressed(int segment); // 0: browser pane, 1: preview pane
    void markdownButtonsPressed(int segment); // the editor's Markdown command of markdownButtonCommand
    void editButtonPressed(bool editable);
    void searchFieldEntered();
    void performFindPanelAction();
    void showAboudPanel();
    void menuItemSelectedInHelpMenu(const QString& title);
    void markdownStyleMenuSelected(const QString& name);
    void chooseFont();
    // The preferences sheet, made on first use and kept; what OK stored reaches the editor, the
    // preview and the colour scheme at once.
    void showPreferences();
    PreferencesPanel* preferencesPanel() const;

    bool isBrowserShown() const;
    bool isPreviewShown() const;

    // The user guide, read-only in its own window (made on first use; none before). Its data
    // folder is the application's unless set.
    void showHelpGuide();
    HelpGuideWindow* helpGuideWindow() const;
    void setDataFolder(const QString& folder);

    // Export as PDF and print (WindowExportCommands.cpp).
    ExportCommands& exportCommands() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void windowDidLoad();
    void initAccessibility(); // WindowAccessibility.cpp
    void initToolbarItems();
    void initMenus();
    void connectEditActions();
    void windowDidBecomeKey();
    void windowDidResignKey();
    void fillMarkdownStyleMenu();
    void updateWindowTitle();
    void connectNoteCommands();
    void connectFolderCommands();
    void updateFolderCommands();
    void connectExportCommands();
    void connectSpelling();
    void connectEditorToolCommands();
    void connectPopoverCommands();
    void updateNoteCommands();
    void saveFrame();
    void restoreFrame();
    QString styleSheetFolder() const;

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace quillet
