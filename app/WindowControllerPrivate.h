#pragma once
// The window controller's state, shared by its set-up and its command handlers.

#include "app/WindowController.h"

#include <QUrl>
#include <functional>
#include <optional>

class QMenu;
class QToolBar;

namespace quillet {

struct WindowController::Private {
    Private(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher)
        : defaults(defaults), dispatcher(dispatcher) {}

    platform::UserDefaults& defaults;
    platform::Dispatcher& dispatcher;
    ViewController* viewController = nullptr;
    WebViewController* webViewController = nullptr;
    WindowActions* actions = nullptr;
    QToolBar* toolbar = nullptr;
    QLineEdit* searchField = nullptr;
    QComboBox* sortOptionPopup = nullptr;
    QMenu* markdownStyleMenu = nullptr;
    AboutPanelController* aboutPanelController = nullptr;
    InfoPanelController* infoPanelController = nullptr;
    PreferencesPanel* preferencesPanel = nullptr;
    MenuValidation* menuValidation = nullptr;
    std::function<std::optional<QString>(const QString&)> renamePrompt;
    std::function<bool()> closeHandler;
    std::function<void(const QUrl&)> openURL;
    int browserWidth = 240;
    ExportCommands* exportCommands = nullptr;
    // The Help menu's guide (WindowHelpGuide.cpp).
    HelpGuideWindow* helpGuideWindow = nullptr;
    QString dataFolder; // empty: the installed or in-tree one
};

} // namespace quillet
