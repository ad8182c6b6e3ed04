// How long the note operations take in a library of 10,000 notes: creating, duplicating and
// deleting a note, each from the command until the browser is refreshed and the note that takes
// its place is open in the editor. Goal: under 50 ms each.
//
//   cmake --build build --target quillet-note-ops-bench
//   QT_QPA_PLATFORM=offscreen build/bin/quillet-note-ops-bench [--runs N]
//
// The main controller with its real panes runs in this process on the application's dispatcher,
// in a fresh temporary home (HOME and the XDG folders point there: the user's library and trash
// are never touched), with the library of bench/LibraryShape.h (200 folders, 5 levels deep) and
// the folder of the notes operated on expanded. Each run creates a note, duplicates it and deletes
// the duplicate (to the trash); the figures are the median and the worst of N runs (default 20).

#include "bench/LibraryShape.h"
#include "browser/NoteTree.h"
#include "browser/view/FolderViewController.h"
#include "documents/ViewController.h"
#include "platform/Dispatcher.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace quillet;

namespace {

constexpr double kGoalMs = 50.0;

// Runs the events until the condition holds (10 s at most); the milliseconds since `start`, or -1.
double waitUntil(const QElapsedTimer& start, const std::function<bool()>& done) {
    while (!done()) {
        if (start.elapsed() > 10000) return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return double(start.nsecsElapsed()) / 1e6;
}

struct Figures {
    const char* name;
    std::vector<double> ms;
    void print() {
        std::sort(ms.begin(), ms.end());
        const double median = ms[ms.size() / 2];
        std::printf("%-10s median %6.1f ms  worst %6.1f ms  (goal < %.0f ms: %s)\n", name, median, ms.back(), kGoalMs,
                    median < kGoalMs ? "met" : "missed");
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int runs = 20;
    const QStringList arguments = application.arguments();
    for (int i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "--runs") runs = std::max(1, arguments[i + 1].toInt());

    QTemporaryDir home;
    bench::pointHomeAt(home.path());
    const QString container = home.path() + QStringLiteral("/library");
    QDir().mkpath(container);
    bench::writeLibrary(container);

    platform::UserDefaults defaults(home.path() + QStringLiteral("/settings.ini"));
    platform::Dispatcher& dispatcher = platform::Dispatcher::shared();
    ViewController controller(defaults, dispatcher);
    controller.resize(1200, 800);
    controller.show();
    controller.viewDidLoad({container, false, [](const QString&) { return std::optional<QByteArray>(); }});
    NoteTree& tree = controller.folderViewController()->noteTree();
    const FileRep folder = tree.localTop()->children->front();
    if (!folder || !folder->hasChildren()) return 1;
    controller.folderViewController()->expandItem(folder);
    QElapsedTimer opening;
    opening.start();
    FileRep first;
    for (const FileRep& child : *folder->children)
        if (!child->directory) first = child;
    controller.openDocument(first);
    if (waitUntil(opening, [&] { return controller.lastFileRepresentation() == first; }) < 0) return 1;

    const auto openChanged = [&controller](const FileRep& before) {
        return [&controller, before] {
            const FileRep open = controller.lastFileRepresentation();
            return open && open != before;
        };
    };
    Figures create{"create", {}}, duplicate{"duplicate", {}}, remove{"delete", {}};
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        FileRep before = controller.lastFileRepresentation();
        timer.start();
        controller.newNote();
        create.ms.push_back(waitUntil(timer, openChanged(before)));

        before = controller.lastFileRepresentation();
        timer.start();
        controller.duplicateNote();
        duplicate.ms.push_back(waitUntil(timer, openChanged(before)));

        before = controller.lastFileRepresentation();
        timer.start();
        controller.deleteNoteInFileRep(before);
        remove.ms.push_back(waitUntil(timer, openChanged(before)));
        if (create.ms.back() < 0 || duplicate.ms.back() < 0 || remove.ms.back() < 0) {
            std::fprintf(stderr, "run %d: an operation did not finish\n", run + 1);
            return 1;
        }
    }
    std::printf("%d notes, %d runs\n", bench::kLibraryNotes, runs);
    create.print();
    duplicate.print();
    remove.print();
    return 0;
}
