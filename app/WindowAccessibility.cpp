// What screen readers hear for the window's controls (Qt's accessibility reaches them through
// AT-SPI), the order Tab walks (browser, editor, preview, search field), and the toolbar's
// sort popup in the View menu, so that the keyboard reaches every command.
#include "app/WebViewController.h"
#include "app/WindowActions.h"
#include "app/WindowController.h"
#include "app/WindowControllerPrivate.h"
#include "browser/view/FolderViewController.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QWebEngineView>

namespace quillet {

namespace {

// A toolbar button says what its action says now: the pane buttons and the edit button change
// their titles with the window's state.
void describeButton(QToolBar* toolbar, QAction* action) {
    auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action));
    if (!button) return; // a separator, or a widget of its own (sort popup, search field)
    auto describe = [button, action] {
        button->setAccessibleName(QString(action->text()).remove(QLatin1Char('&')));
        button->setAccessibleDescription(action->toolTip());
    };
    describe();
    QObject::connect(action, &QAction::changed, button, describe);
}

} // namespace

void WindowController::initAccessibility() {
    for (QAction* action : d->toolbar->actions())
        describeButton(d->toolbar, action);
    d->sortOptionPopup->setAccessibleName(tr("Sort the notes by"));
    d->sortOptionPopup->setAccessibleDescription(tr("Lists the notes by date or by name"));
    d->searchField->setAccessibleName(tr("Search"));
    d->searchField->setAccessibleDescription(
        tr("Keeps the notes that contain the text, with the places it occurs; Tab goes to the browser"));

    // View > Sort Notes and the sort popup show the same order; either one changes it.
    auto checkSortMode = [this](int index) {
        if (QAction* mode = d->actions->sortModes.value(index)) mode->setChecked(true);
    };
    checkSortMode(d->sortOptionPopup->currentIndex());
    connect(d->sortOptionPopup, &QComboBox::currentIndexChanged, this, checkSortMode);
    for (QAction* mode : d->actions->sortModes)
        connect(mode, &QAction::triggered, this, [this, mode] {
            d->sortOptionPopup->setCurrentIndex(d->actions->sortModes.indexOf(mode));
            d->viewController->folderViewController()->sortMenuDidSelect(mode->data().toString());
        });

    QTreeView* tree = d->viewController->folderViewController()->outlineView();
    QPlainTextEdit* editor = d->viewController->markdownViewController()->textView();
    tree->setAccessibleName(tr("Notes"));
    tree->setAccessibleDescription(tr("The folders and notes of the library; selecting a note opens it"));
    editor->setAccessibleName(tr("Note"));
    editor->setAccessibleDescription(tr("The Markdown text of the open note"));
    setTabOrder(tree, editor);
    setTabOrder(editor, d->searchField);
    // The preview's web view is made when the pane shows a page, and the widget that takes its
    // focus once the page is there: only then can it join the order.
    connect(d->webViewController, &WebViewController::previewReady, this, [this, editor] {
        QWidget* view = d->webViewController->webView();
        if (!view) return;
        view->setAccessibleName(tr("Preview"));
        view->setAccessibleDescription(tr("The open note shown as a page"));
        QWidget* focusTaker = view->focusProxy() ? view->focusProxy() : view;
        setTabOrder(editor, focusTaker);
        setTabOrder(focusTaker, d->searchField);
    });
}

} // namespace quillet
