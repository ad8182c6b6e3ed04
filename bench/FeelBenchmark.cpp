// How the application feels with a large note, in the real window: the pauses of the main thread
// while a person types into a 1 MB note with the preview shown and autosave running, and how soon
// a change another program writes to the open note shows in the editor.
// Goals: pauses under 16 ms at the 99th percentile and under 50 ms at worst; a change written by
// another program shown within 1 s.
//
//   cmake --build build --target quillet-feel-bench
//   xvfb-run -a -s "-screen 0 1600x1000x24" build/bin/quillet-feel-bench
//       [--kb K] [--seconds S] [--changes N] [--only typing|outside|cost] [--keys K] [--launches N]
//       [--realtime]
//
// The window and the application delegate run in this process as app/main.cpp assembles them, in
// a fresh temporary home (HOME and the XDG folders point there: the user's library is never
// touched), with the benchmark corpus's deterministic note of K kB (default 1000: about 22,000
// lines) in the local container, opened at launch with the preview shown. Preview pages that fail
// to load are counted: their rendering is then missing from the figures.
//
// Outside changes (first, while the note is clean): N times (default 20), a thread either writes a
// changed copy beside the note and renames it over the note, as editors save, or appends a line to
// it; the time runs from the rename or the append to the editor holding the new text (5 s at most).
//
// Typing: the caret goes to the middle of the note and keys reach the editor's text view as key
// events, one every 40-80 ms, in 5 s bursts separated by pauses of 2.5 s (a preview refresh) and
// 6.5 s (a preview refresh and an autosave), for S seconds (default 60) and a last long pause. A
// 1 ms precise timer on the main thread records the gaps between its ticks; a pause ("stall") is a
// gap less the 1 ms period, so the handling of every key counts.
//
// Cost (--only cost, not in the default run): what typing and the preview cost the whole desktop.
// With the preview hidden, then shown: CPU time per keystroke of the whole process tree (this
// process and the web engine's processes it started, from /proc) and of the main thread, over
// --keys K keys (default 150) one every 60 ms and the refresh and autosave they cause; resident
// memory and PSS summed over the tree. Then the time from typing a marker word to the preview's
// page holding it (asked through the page, whatever path the refresh takes); the time from
// launching `quillet --open NOTE --report-startup` to the note shown (--launches N, default 3);
// and, with xdotool typing into the windows, Quillet beside ghostwriter when ghostwriter is on PATH
// (interleaved rounds, with the ratios; without it, Quillet alone and a message). The launched
// applications run on the same display, in the same temporary home.
//
// --realtime runs the main thread alone at real-time priority (SCHED_FIFO with SCHED_RESET_ON_FORK:
// the threads and processes it starts stay as they were), so that other programs on a busy machine
// do not show as the application's stalls. The load average is printed beside the figures.

#include "app/AppDelegate.h"
#include "app/WebViewController.h"
#include "app/WindowController.h"
#include "bench/CorpusGenerator.h"
#include "bench/FeelCost.h"
#include "bench/Statistics.h"
#include "browser/NoteTree.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"
#include "platform/Containers.h"
#include "platform/Dispatcher.h"
#include "platform/QtDispatcher.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <sched.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace quillet;
using namespace quillet::bench;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kGoalP99Ms = 16, kGoalMaxMs = 50, kGoalShownMs = 1000;
constexpr int kShownTimeoutMs = 5000;
constexpr int kBurstMs = 5000, kShortPauseMs = 2500, kLongPauseMs = 6500;

struct Options {
    int kilobytes = 1000;
    int seconds = 60;
    int changes = 20;
    int keys = 150;
    int launches = 3;
    bool typing = true, outside = true, cost = false, realtime = false;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--kb" && hasValue) options.kilobytes = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--seconds" && hasValue) options.seconds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--changes" && hasValue) options.changes = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--keys" && hasValue) options.keys = std::max(10, std::atoi(argv[++i]));
        else if (arg == "--launches" && hasValue) options.launches = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--only" && hasValue) {
            const std::string only = argv[++i];
            options.typing = only == "typing";
            options.outside = only == "outside";
            options.cost = only == "cost";
        } else if (arg == "--realtime") options.realtime = true;
    }
    return options;
}

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

const char* verdict(double value, double goal) { return value < goal ? "met" : "missed"; }

// The preview's pages: loaded (and styled) or failed.
struct PreviewPages {
    int loaded = 0, failed = 0;
    explicit PreviewPages(WebViewController& preview) {
        QObject::connect(&preview, &WebViewController::previewReady, &guard, [this] { ++loaded; });
        QObject::connect(&preview, &WebViewController::loadFinished, &guard, [this](bool ok) { failed += !ok; });
    }
    int finished() const { return loaded + failed; }
    QObject guard;
};

void useTemporaryHome(const QString& home) {
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    qputenv("XDG_CACHE_HOME", (home + "/.cache").toUtf8());
    qputenv("XDG_STATE_HOME", (home + "/.local/state").toUtf8());
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

void runMainThreadInRealTime() {
    sched_param param{};
    param.sched_priority = 50;
    if (sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) != 0)
        std::perror("could not run the main thread at real-time priority");
}

// Runs the event loop (never sleeping the main thread) until `done` or the timeout; true when done.
bool runUntil(const std::function<bool()>& done, int timeoutMs, int pollMs = 2) {
    if (done()) return true;
    QEventLoop loop;
    bool reached = false;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            reached = true;
            loop.quit();
        }
    });
    poll.start(pollMs);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return reached;
}

void settle(int ms) {
    runUntil([] { return false; }, ms, 100);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (written <= 0) return false;
        done += written;
    }
    return true;
}

// As another program writes: a whole new file renamed over the note, or a line appended to it.
void replaceFile(const QString& path, const QByteArray& bytes) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".feel-new";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written = fd >= 0 && writeAll(fd, bytes);
    if (fd >= 0) ::close(fd);
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) std::perror("replacing the note");
}

void appendToFile(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND);
    if (fd < 0 || !writeAll(fd, bytes)) std::perror("appending to the note");
    if (fd >= 0) ::close(fd);
}

// ---- The outside changes

constexpr double kNotShown = std::numeric_limits<double>::infinity();

std::string describeTimes(const std::vector<double>& times) {
    if (times.empty()) return "none";
    const auto ms = [](double value) {
        return value == kNotShown ? "> " + std::to_string(kShownTimeoutMs) + " ms" : QString::number(value, 'f', 1).toStdString() + " ms";
    };
    return "median " + ms(percentile(times, 0.5)) + ", max " + ms(percentile(times, 1.0)) + " (" +
           std::to_string(times.size()) + (times.size() == 1 ? " change)" : " changes)");
}

// Both measures print their figures and return their part of the summary line.
std::string measureOutsideChanges(MarkdownViewController& editor, const QString& path, int changes) {
    std::vector<double> renamed, appended; // infinite: not shown in time
    bool contentsChanged = false;
    QObject guard;
    QObject::connect(editor.textView()->document(), &QTextDocument::contentsChanged, &guard,
                     [&] { contentsChanged = true; });
    for (int i = 0; i < changes; ++i) {
        const bool append = i % 2 == 1;
        const QByteArray before = fileBytes(path);
        const QByteArray line = "Line " + QByteArray::number(i) + " that another program added.\n";
        QByteArray after = before;
        if (append) after += line;
        else after.insert(before.indexOf('\n', before.size() / 2) + 1, line);
        const QString expected = QString::fromUtf8(after);

        std::atomic<bool> written{false};
        Clock::time_point changedAt;
        contentsChanged = false;
        std::thread writer([&] {
            if (append) appendToFile(path, line);
            else replaceFile(path, after);
            changedAt = Clock::now();
            written = true;
        });
        const bool shown = runUntil(
            [&] {
                if (!written || !contentsChanged) return false;
                contentsChanged = false;
                return editor.string() == expected;
            },
            kShownTimeoutMs);
        const Clock::time_point seen = Clock::now();
        writer.join();
        (append ? appended : renamed).push_back(shown ? msBetween(changedAt, seen) : kNotShown);
        settle(500);
    }
    std::vector<double> all = renamed;
    all.insert(all.end(), appended.begin(), appended.end());
    std::printf("outside change shown in the editor (%d changes, note clean):\n", changes);
    const auto missed = std::count(all.begin(), all.end(), kNotShown);
    std::printf("  renamed over the note: %s\n", describeTimes(renamed).c_str());
    std::printf("  appended to the note:  %s\n", describeTimes(appended).c_str());
    std::printf("  not shown within %d s: %td of %d\n", kShownTimeoutMs / 1000, missed, changes);
    const double worst = percentile(all, 1.0);
    return "outside change shown: " + describeTimes(all) + " (goal < " + std::to_string(int(kGoalShownMs)) +
           " ms: " + verdict(worst, kGoalShownMs) + ")";
}

// ---- Typing

// The note's version on disk: inode, size and modification time change with every save.
std::string diskVersion(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return std::to_string(info.st_ino) + ':' + std::to_string(info.st_size) + ':' +
           std::to_string(info.st_mtim.tv_sec) + '.' + std::to_string(info.st_mtim.tv_nsec);
}

void typeOneKey(QPlainTextEdit& view, int index) {
    static const char kWords[] = "the notes grow one word at a time while the preview follows and autosave keeps up ";
    if (index % 70 == 69) {
        QTest::keyClick(&view, Qt::Key_Return);
        return;
    }
    QTest::keyClick(&view, kWords[index % (sizeof kWords - 1)]);
}

std::string measureTyping(WindowController& window, const QString& path, int seconds) {
    MarkdownViewController& editor = *window.viewController()->markdownViewController();
    QPlainTextEdit& view = *editor.textView();
    QTextCursor cursor(view.document()->findBlockByNumber(view.document()->blockCount() / 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    view.setTextCursor(cursor);
    view.ensureCursorVisible();
    window.activateWindow();
    view.setFocus();
    settle(1000);

    int saves = 0, keys = 0;
    QObject guard;
    const PreviewPages previews(*window.webViewController());
    std::string version = diskVersion(path);
    QTimer diskPoll;
    QObject::connect(&diskPoll, &QTimer::timeout, &guard, [&] {
        const std::string now = diskVersion(path);
        if (now != version) ++saves;
        version = now;
    });
    diskPoll.start(250);

    // Each gap with the time from the last key to its start: negative when a key was handled in
    // it, about 2 s for a preview refresh, about 5 s for an autosave.
    std::vector<std::pair<double, double>> gaps;
    gaps.reserve(static_cast<std::size_t>(seconds + 30) * 1000);
    Clock::time_point lastTick = Clock::now(), lastKey = lastTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &guard, [&] {
        const Clock::time_point now = Clock::now();
        gaps.emplace_back(msBetween(lastTick, now), msBetween(lastKey, lastTick));
        lastTick = now;
    });

    QEventLoop loop;
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> keyDelay(40, 80);
    const Clock::time_point start = Clock::now();
    Clock::time_point burstEnd = start + std::chrono::milliseconds(kBurstMs);
    int pauses = 0;
    std::function<void()> step = [&] {
        const Clock::time_point now = Clock::now();
        if (now < burstEnd) {
            lastKey = now;
            typeOneKey(view, keys++);
            QTimer::singleShot(keyDelay(random), Qt::PreciseTimer, &loop, step);
            return;
        }
        const bool longPause = pauses++ % 2 == 1;
        if (msBetween(start, now) >= seconds * 1000.0) {
            QTimer::singleShot(kLongPauseMs, &loop, &QEventLoop::quit);
            return;
        }
        const int pause = longPause ? kLongPauseMs : kShortPauseMs;
        burstEnd = now + std::chrono::milliseconds(pause + kBurstMs);
        QTimer::singleShot(pause, Qt::PreciseTimer, &loop, step);
    };
    lastTick = Clock::now();
    tick.start(1);
    QTimer::singleShot(0, &loop, step);
    loop.exec();
    tick.stop();
    const double elapsed = msBetween(start, Clock::now()) / 1000;

    std::vector<double> stalls;
    stalls.reserve(gaps.size());
    for (const auto& gap : gaps) stalls.push_back(std::max(0.0, gap.first - 1.0));
    const auto above = [&](double ms) { return std::count_if(stalls.begin(), stalls.end(), [ms](double s) { return s > ms; }); };
    const double p99 = percentile(stalls, 0.99), worst = percentile(stalls, 1.0);
    const bool saved = fileBytes(path) == editor.string().toUtf8();
    std::printf("typing with the preview shown and autosave on (%.1f s, %d keys, %d saves seen, preview pages "
                "loaded %d, failed %d; text on disk at the end: %s):\n",
                elapsed, keys, saves, previews.loaded, previews.failed, saved ? "yes" : "no");
    std::printf("  main-thread stalls over %zu ticks: p50 %.2f ms, p99 %.2f ms (goal < %.0f ms: %s), max %.1f ms "
                "(goal < %.0f ms: %s); above 16 ms: %td, above 50 ms: %td\n",
                stalls.size(), percentile(stalls, 0.5), p99, kGoalP99Ms, verdict(p99, kGoalP99Ms), worst, kGoalMaxMs,
                verdict(worst, kGoalMaxMs), above(16), above(50));
    std::vector<double> keyStalls;
    for (const auto& gap : gaps)
        if (gap.second < 0) keyStalls.push_back(std::max(0.0, gap.first - 1.0));
    std::printf("  stalls that handled a key: p50 %.2f ms, p99 %.2f ms, max %.1f ms\n", percentile(keyStalls, 0.5),
                percentile(keyStalls, 0.99), percentile(keyStalls, 1.0));
    std::sort(gaps.begin(), gaps.end(), std::greater<>());
    std::printf("  longest stalls (ms after the last key):");
    for (std::size_t i = 0; i < std::min<std::size_t>(8, gaps.size()); ++i)
        std::printf(" %.1f (%.0f)", gaps[i].first - 1.0, std::max(0.0, gaps[i].second));
    std::printf("\n");
    char summary[200];
    std::snprintf(summary, sizeof summary, "typing stall p99 %.2f ms (goal < %.0f ms: %s), max %.1f ms (goal < %.0f ms: %s)",
                  p99, kGoalP99Ms, verdict(p99, kGoalP99Ms), worst, kGoalMaxMs, verdict(worst, kGoalMaxMs));
    return summary;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    QTemporaryDir home;
    useTemporaryHome(home.path());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setOrganizationName(QStringLiteral("Quillet"));
    QApplication::setOrganizationDomain(QStringLiteral("quillet.org"));

    if (!platform::ensureLocalContainer()) return 1;
    const QString path = platform::localContainerPath() + QStringLiteral("/Feel.md");
    const std::string corpus = bench::CorpusGenerator().notes(std::size_t(options.kilobytes) * 1000);
    const QString noteText = QString::fromStdString(corpus);
    QFile note(path);
    if (!note.open(QIODevice::WriteOnly) || note.write(corpus.data(), qint64(corpus.size())) != qint64(corpus.size()))
        return 1;
    note.close();

    platform::UserDefaults& defaults = platform::UserDefaults::standard();
    defaults.registerDefaults(
        {{QString::fromLatin1(platform::defaults_keys::kSystemFont), QApplication::font().family()}});
    platform::Dispatcher& dispatcher = platform::Dispatcher::shared();
    const Clock::time_point launched = Clock::now();
    auto delegate = std::make_unique<AppDelegate>(defaults, dispatcher);
    delegate->applicationWillFinishLaunching(path);
    auto window = std::make_unique<WindowController>(defaults, dispatcher, LocalContainerSetup::system());
    delegate->applicationDidFinishLaunching(path);
    window->resize(1400, 900);
    if (!options.cost) window->viewController()->showPreview(true);
    window->show();

    const PreviewPages previews(*window->webViewController());
    MarkdownViewController& editor = *window->viewController()->markdownViewController();
    if (!runUntil([&] { return editor.string() == noteText; }, 30000, 50)) {
        std::fprintf(stderr, "the note did not open in the editor\n");
        return 1;
    }
    const double openMs = msBetween(launched, Clock::now());
    if (!options.cost) runUntil([&] { return previews.finished() > 0; }, 30000, 50);
    if (!options.cost && previews.loaded == 0) std::printf("warning: the note's preview page did not load\n");
    if (editor.textView()->isReadOnly()) window->viewController()->changeEditState(1);
    settle(2000);
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("note: %zu bytes, %d lines, opened in %.0f ms; load average %.1f; main thread %s\n", corpus.size(),
                editor.textView()->document()->blockCount(), openMs, load[0],
                options.realtime ? "at real-time priority" : "at normal priority");
    std::fflush(stdout);
    if (options.realtime) runMainThreadInRealTime();

    std::string summary = std::to_string(options.kilobytes) + " kB note, main thread " +
                          (options.realtime ? "real-time" : "normal") + ":";
    if (options.outside) {
        summary += " " + measureOutsideChanges(editor, path, options.changes) + ";";
        std::fflush(stdout);
        settle(3000);
    }
    if (options.typing) summary += " " + measureTyping(*window, path, options.seconds);
    if (options.cost) {
        bench::CostOptions cost;
        cost.notePath = path;
        cost.keys = options.keys;
        cost.launches = options.launches;
        summary += " " + bench::measureCost(*window, cost);
    }
    std::printf("SUMMARY %s\n", summary.c_str());

    delegate.reset();
    window.reset();
    platform::QtDispatcher::waitForWorkers();
    return 0;
}

