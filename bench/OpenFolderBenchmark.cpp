// Opening a folder of notes anywhere on disk beside building the library at start: a folder of
// 10,000 notes in 200 folders, 5 levels deep, opened with the File menu's Open Folder (the chooser
// answered at once) until the browser shows its rows painted, and the library of the same shape
// built afresh ("On This Computer", as at every start) until the browser shows it. Goal: the
// folder opens as fast as the library builds (ratio at most 1.1, the noise of a shared machine).
//
//   cmake --build build --target quillet-open-folder-bench
//   QT_QPA_PLATFORM=offscreen build/bin/quillet-open-folder-bench [--runs N]
//
// The runs alternate between the two, so that both meet the same page cache and the same load.

#include "bench/LibraryShape.h"
#include "bench/Statistics.h"
#include "browser/LocalTreeBuilder.h"
#include "browser/NoteTree.h"
#include "browser/view/FolderViewController.h"
#include "browser/view/NoteTreeModel.h"
#include "documents/ViewController.h"
#include "platform/Dispatcher.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quillet;
using namespace quillet::bench;

namespace {

constexpr double kGoalRatio = 1.1;

// Returns the number of entries directly in the folder.
int writeNotes(const QString& root) {
    bench::writeLibrary(root);
    return int(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

// The browser lists the top with all its entries, and has painted them.
bool showsTop(FolderViewController& browser, const FileRep& top, int entries) {
    NoteTreeModel& model = *browser.treeModel();
    for (int row = 0; row < model.rowCount(QModelIndex()); ++row) {
        const QModelIndex index = model.index(row, 0, QModelIndex());
        if (model.itemAt(index).record == top && model.rowCount(index) == entries) {
            browser.outlineView()->viewport()->repaint();
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int runs = 7;
    const QStringList arguments = application.arguments();
    for (int i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "--runs") runs = std::max(1, arguments[i + 1].toInt());

    QTemporaryDir home;
    bench::pointHomeAt(home.path());
    const QString library = home.path() + QStringLiteral("/library");
    const QString folder = home.path() + QStringLiteral("/elsewhere/Notes");
    const int libraryEntries = writeNotes(library);
    const int folderEntries = writeNotes(folder);

    platform::UserDefaults defaults(home.path() + QStringLiteral("/settings.ini"));
    ViewController controller(defaults, platform::Dispatcher::shared());
    controller.resize(1200, 800);
    controller.show();
    controller.viewDidLoad({library, false, [](const QString&) { return std::optional<QByteArray>(); }});
    controller.setFolderChooser([&folder] { return folder; });
    FolderViewController& browser = *controller.folderViewController();
    NoteTree& tree = browser.noteTree();

    std::vector<double> opening, building;
    for (int run = 0; run < runs; ++run) {
        controller.closeFolder();
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        controller.openFolder();
        if (!showsTop(browser, tree.localFolderTop(), folderEntries)) {
            std::fprintf(stderr, "run %d: the opened folder is not shown\n", run + 1);
            return 1;
        }
        opening.push_back(clock.nsecsElapsed() / 1e6);
        controller.closeFolder();

        clock.start();
        tree.queryLocalTop();
        browser.reloadData();
        if (!showsTop(browser, tree.localTop(), libraryEntries)) {
            std::fprintf(stderr, "run %d: the library is not shown\n", run + 1);
            return 1;
        }
        building.push_back(clock.nsecsElapsed() / 1e6);
    }
    const double open = median(opening), build = median(building);
    std::printf("%d notes in 200 folders, %d runs, %d threads listing\n", bench::kLibraryNotes, runs,
                localTreeThreads());
    std::printf("open folder    median %7.1f ms  worst %7.1f ms\n", open,
                *std::max_element(opening.begin(), opening.end()));
    std::printf("library start  median %7.1f ms  worst %7.1f ms\n", build,
                *std::max_element(building.begin(), building.end()));
    std::printf("ratio %.2f (goal <= %.1f: %s)\n", open / build, kGoalRatio,
                open / build <= kGoalRatio ? "met" : "missed");
    return 0;
}
