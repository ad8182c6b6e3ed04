#include "bench/FeelCost.h"

#include "app/WindowController.h"
#include "bench/ChildProcess.h"
#include "bench/ProcessTree.h"
#include "bench/Statistics.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <QTextBlock>
#include <QThread>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace quillet::bench {

namespace {

constexpr int kKeyIntervalMs = 60;
// After the keys: the preview refresh (2 s after the last key) and the autosave (5 s) they cause.
constexpr int kAfterTypingMs = 6500;
constexpr int kSettleMs = 3000;
constexpr int kPreviewLimitMs = 10000;
constexpr int kMarkers = 5;
constexpr int kLaunchLimitMs = 30000;

// Runs the event loop for `ms`; nothing else wakes it, so the waiting costs the main thread nothing.
void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double megabytes(long kb) {
    return static_cast<double>(kb) / 1024.0;
}

struct Cpu {
    double tree = 0, main = 0;
};

Cpu cpuNow() {
    const pid_t self = getpid();
    return {treeCpuSeconds(self), threadCpuSeconds(self, self)};
}

// Keys into the text view, one every kKeyIntervalMs, as a steady typist.
void typeKeys(QPlainTextEdit& view, int keys) {
    static const char kWords[] = "typing costs what the whole desktop does for it ";
    QEventLoop loop;
    int typed = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        QTest::keyClick(&view, kWords[typed % (sizeof kWords - 1)]);
        if (++typed == keys) loop.quit();
    });
    timer.start(kKeyIntervalMs);
    loop.exec();
}

struct KeyCost {
    double treeMs = 0, mainMs = 0; // per key
    Memory memory;
};

// The keys and what they cause afterwards (preview refresh, autosave), per key.
KeyCost measureKeys(QPlainTextEdit& view, int keys) {
    wait(kSettleMs);
    const Cpu before = cpuNow();
    typeKeys(view, keys);
    wait(kAfterTypingMs);
    const Cpu after = cpuNow();
    return {(after.tree - before.tree) * 1000 / keys, (after.main - before.main) * 1000 / keys, treeMemory(getpid())};
}

QWebEngineView* shownPreview(WindowController& window) {
    for (QWebEngineView* view : window.findChildren<QWebEngineView*>())
        if (view->isVisible()) return view;
    return nullptr;
}

struct PreviewLatency {
    std::optional<double> shownMs; // from the marker's last key; none: not within the limit
    double mainMs = 0;             // main-thread CPU from the first key to shown
};

// Types a marker word and asks the preview's page, from the application's script world, until its
// text holds the marker: end to end, whatever path the refresh takes. (textContent: innerText
// needs a rendered body and answers nothing useful for a page the window does not draw yet.)
PreviewLatency previewLatency(WindowController& window, QPlainTextEdit& view, const QString& marker) {
    const Cpu before = cpuNow();
    QTest::keyClicks(&view, marker);
    QElapsedTimer clock;
    clock.start();
    struct Asking {
        bool pending = false, shown = false;
    };
    auto asking = std::make_shared<Asking>();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        QWebEngineView* preview = shownPreview(window);
        if (asking->pending || !preview) return;
        asking->pending = true;
        const QString script =
            QStringLiteral("document.body !== null && document.body.textContent.indexOf('%1') >= 0").arg(marker);
        preview->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                       [asking, loop = &loop](const QVariant& found) {
                                                                                      asking->pending = false;
                                           if (!found.toBool() || asking->shown) return;
                                           asking->shown = true;
                                           loop->quit();
                                       });
    });
    poll.start(10);
    QTimer::singleShot(kPreviewLimitMs, &loop, &QEventLoop::quit);
    loop.exec();
    PreviewLatency latency;
    if (asking->shown) latency.shownMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    latency.mainMs = (cpuNow().main - before.main) * 1000;
    asking->shown = true; // a late answer no longer quits a loop that is gone
    return latency;
}

void printKeyCost(const char* preview, const KeyCost& cost) {
    std::printf("preview %s: CPU per keystroke, whole process tree %.2f ms, main thread %.2f ms (tree %.1fx main); "
                "resident %.0f MB, PSS over the tree %.0f MB\n",
                preview, cost.treeMs, cost.mainMs, cost.mainMs > 0 ? cost.treeMs / cost.mainMs : 0.0,
                megabytes(cost.memory.residentKb), megabytes(cost.memory.treePssKb));
}

// ---- Launches

QString quilletExecutable() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/quillet");
}

// From the start of `quillet --open note --report-startup` to its line: the note shown and painted.
std::optional<double> launchToNoteShown(const CostOptions& options) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(quilletExecutable(), {QStringLiteral("--open"), options.notePath, QStringLiteral("--report-startup")});
    QByteArray output;
    while (!output.contains("quillet-startup") && process.waitForReadyRead(kLaunchLimitMs))
        output += process.readAllStandardOutput();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (!process.waitForFinished(5000)) process.kill();
    process.waitForFinished();
    if (!output.contains("quillet-startup")) return std::nullopt;
    return seconds;
}

QString xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// An editor driven from outside, as a user drives it: its window found by process, keys typed into
// it by xdotool, the cost read from /proc.
struct ExternalRun {
    std::optional<double> windowSeconds; // launch to its window mapped
    double treeMsPerKey = 0;
    Memory memory;
};

ExternalRun runExternal(const QString& program, const QStringList& arguments, int keys) {
    ExternalRun run;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForStarted(kLaunchLimitMs)) {
        std::fprintf(stderr, "could not start %s\n", qPrintable(program));
        return run;
    }
    const QString pid = QString::number(process.processId());
    QString windowId;
    while (windowId.isEmpty() && clock.elapsed() < kLaunchLimitMs && process.state() == QProcess::Running) {
        windowId = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), pid})
                       .section(QLatin1Char('\n'), 0, 0);
        if (windowId.isEmpty()) QThread::msleep(20);
    }
    if (!windowId.isEmpty()) {
        run.windowSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        QThread::msleep(kSettleMs);
        const pid_t root = static_cast<pid_t>(process.processId());
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId});
        const double before = treeCpuSeconds(root);
        static const QString kWords = QStringLiteral("typing costs what the whole desktop does for it ");
        QString text;
        while (text.size() < keys) text += kWords;
        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QString::number(kKeyIntervalMs), text.left(keys)});
        QThread::msleep(kAfterTypingMs);
        run.treeMsPerKey = (treeCpuSeconds(root) - before) * 1000 / keys;
        run.memory = treeMemory(root);
    }
    process.terminate();
    if (!process.waitForFinished(5000)) process.kill();
    process.waitForFinished();
    return run;
}

struct SideBySide {
    std::vector<double> windowSeconds, treeMsPerKey, pssMb;
    void add(const ExternalRun& run) {
        if (!run.windowSeconds) return;
        windowSeconds.push_back(*run.windowSeconds);
        treeMsPerKey.push_back(run.treeMsPerKey);
        pssMb.push_back(megabytes(run.memory.treePssKb));
    }
    void print(const char* name) const {
        std::printf("  %-11s window after %.3f s, CPU per keystroke (tree) %.2f ms, PSS over the tree %.0f MB (%zu runs)\n",
                    name, median(windowSeconds), median(treeMsPerKey), median(pssMb), windowSeconds.size());
    }
};

double ratio(const std::vector<double>& ours, const std::vector<double>& theirs) {
    const double below = median(theirs);
    return below > 0 ? median(ours) / below : 0;
}

// Quillet and ghostwriter, one after the other in each round, on the same note and display.
std::string compareWithGhostwriter(const CostOptions& options) {
    const std::filesystem::path ghostwriter = findExecutable("ghostwriter");
    if (xdotool({QStringLiteral("version")}).isEmpty()) {
        std::printf("side by side: xdotool is not on PATH: skipped\n");
        return "side by side skipped (no xdotool)";
    }
    if (ghostwriter.empty())
        std::printf("side by side: ghostwriter is not on PATH: its runs and the ratios are skipped; Quillet "
                    "alone, driven the same way:\n");
    SideBySide quillet, other;
    for (int round = 0; round < options.launches; ++round) {
        quillet.add(runExternal(quilletExecutable(), {QStringLiteral("--open"), options.notePath}, options.keys));
        if (!ghostwriter.empty())
            other.add(runExternal(QString::fromStdString(ghostwriter.string()), {options.notePath}, options.keys));
    }
    if (!ghostwriter.empty()) std::printf("side by side, %d interleaved rounds, keys typed by xdotool:\n", options.launches);
    quillet.print("Quillet:");
    if (ghostwriter.empty()) return "side by side skipped (no ghostwriter)";
    other.print("ghostwriter:");
    const double window = ratio(quillet.windowSeconds, other.windowSeconds);
    const double cpu = ratio(quillet.treeMsPerKey, other.treeMsPerKey);
    const double memory = ratio(quillet.pssMb, other.pssMb);
    std::printf("  Quillet / ghostwriter: window %.2fx, CPU per keystroke %.2fx, PSS %.2fx\n", window, cpu, memory);
    char summary[160];
    std::snprintf(summary, sizeof summary, "vs ghostwriter: window %.2fx, CPU/key %.2fx, PSS %.2fx", window, cpu, memory);
    return summary;
}

} // namespace

std::string measureCost(WindowController& window, const CostOptions& options) {
    ViewController& controller = *window.viewController();
    QPlainTextEdit& view = *controller.markdownViewController()->textView();
    QTextCursor middle(view.document()->findBlockByNumber(view.document()->blockCount() / 2));
    middle.movePosition(QTextCursor::EndOfBlock);
    view.setTextCursor(middle);
    view.setFocus();

    controller.showPreview(false);
    const KeyCost hidden = measureKeys(view, options.keys);
    printKeyCost("hidden", hidden);
    controller.showPreview(true);
    wait(kSettleMs);
    const KeyCost shown = measureKeys(view, options.keys);
    printKeyCost("shown", shown);

    std::vector<double> latencies, refreshMain;
    int missed = 0;
    for (int i = 0; i < kMarkers; ++i) {
        const PreviewLatency latency = previewLatency(window, view, QStringLiteral(" zq%1marker").arg(i));
        if (latency.shownMs) {
            latencies.push_back(*latency.shownMs);
            refreshMain.push_back(latency.mainMs);
        } else {
            ++missed;
        }
        wait(1000);
    }
    std::printf("keystroke to preview shown: median %.0f ms, max %.0f ms (%d of %d not shown within %d s); main-thread "
                "CPU from the keys to shown: median %.1f ms\n",
                median(latencies), latencies.empty() ? -1.0 : *std::max_element(latencies.begin(), latencies.end()),
                missed, kMarkers, kPreviewLimitMs / 1000, median(refreshMain));
    controller.showPreview(false);
    wait(kSettleMs);

    std::vector<double> launches;
    for (int i = 0; i < options.launches; ++i)
        if (const auto seconds = launchToNoteShown(options)) launches.push_back(*seconds);
    std::printf("launch to note shown (quillet --open NOTE --report-startup): median %.3f s (%zu of %d runs reported)\n",
                median(launches), launches.size(), options.launches);
    std::fflush(stdout);
    const std::string sideBySide = compareWithGhostwriter(options);

    char summary[400];
    std::snprintf(summary, sizeof summary,
                  "CPU/key hidden tree %.2f ms main %.2f ms, shown tree %.2f ms main %.2f ms; preview shown after "
                  "%.0f ms; launch to note %.3f s; PSS hidden %.0f MB shown %.0f MB; %s",
                  hidden.treeMs, hidden.mainMs, shown.treeMs, shown.mainMs, median(latencies), median(launches),
                  megabytes(hidden.memory.treePssKb), megabytes(shown.memory.treePssKb), sideBySide.c_str());
    return summary;
}

} // namespace quillet::bench
