// The application's start-up with a large library: the time from starting build/bin/quillet to
// the last opened note shown in its window, with 10,000 notes in 200 folders under "On This Computer",
// and the resident memory at that moment (preview closed, as at every launch).
// Goals: shown within 1.5 s; resident memory under 250 MB.
//
//   cmake --build build --target quillet quillet-startup-bench
//   build/bin/quillet-startup-bench [--runs N] [--app PATH] [--note-kb K]
//
// Each run starts the application in a fresh temporary home with --open on a note of K kB
// (default 2) and --report-startup: once that note's text is in the editor, the window exposed and
// the editor painted, the application prints "quillet-startup rss-kb=<resident kB>" and quits. The
// time is taken here, from the process start to that line, so loading the libraries counts. The
// runs go twice, interleaved: on an X server of their own (Xvfb, as a user's desktop draws the
// window) and offscreen (no display at all); without Xvfb the first are skipped with a message.

#include "bench/LibraryShape.h"
#include "bench/Statistics.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

using quillet::bench::median;

namespace {

constexpr double kGoalSeconds = 1.5;
constexpr double kGoalMegabytes = 250;

struct Startup {
    double seconds = 0;
    long residentKb = 0;
};

// Where the window goes: an X display (":N") or, when empty, offscreen.
QProcessEnvironment environmentFor(const QString& home, const QString& display) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_CACHE_HOME", home + "/.cache");
    if (display.isEmpty()) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", display);
    }
    env.remove("WAYLAND_DISPLAY");
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return env;
}

std::optional<Startup> startOnce(const QString& app, const QString& home, const QString& display,
                                 const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(environmentFor(home, display));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(app, QStringList{"--report-startup"} + arguments);
    static const QRegularExpression line("quillet-startup rss-kb=(\\d+)");
    QByteArray output;
    while (process.waitForReadyRead(30000)) {
        output += process.readAllStandardOutput();
        const auto match = line.match(QString::fromUtf8(output));
        if (match.hasMatch()) {
            const Startup startup{clock.nsecsElapsed() / 1e9, match.captured(1).toLong()};
            process.waitForFinished(30000);
            return startup;
        }
    }
    process.kill();
    process.waitForFinished();
    std::fprintf(stderr, "the application printed no start-up line: %s\n", output.constData());
    return std::nullopt;
}

// The local container the application made in `home`: the "Documents" folder under the data home.
QString findContainer(const QString& home) {
    // The library's place since it moved to the documents folder, else the former hidden one.
    if (QDir(home + "/Documents/Quillet").exists()) return home + "/Documents/Quillet";
    QDirIterator it(home + "/.local/share", {"Documents"}, QDir::Dirs, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

void writeLibrary(const QString& container) {
    const std::vector<QString> folders = quillet::bench::makeLibraryFolders(container);
    for (int i = 0; i < quillet::bench::kLibraryNotes; ++i) {
        QFile file(quillet::bench::libraryNotePath(folders, i));
        if (file.open(QIODevice::WriteOnly))
            file.write("# Note " + QByteArray::number(i + 1) + "\n\nSome words of the note, then more words.\n");
    }
}

// A Markdown note of about `kilobytes` kB: headings, paragraphs and lists.
void writeNote(const QString& path, int kilobytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    QByteArray text = "# The last note\n\n";
    for (int section = 1; text.size() < kilobytes * 1000; ++section)
        text += "## Section " + QByteArray::number(section) +
                "\n\nA paragraph with *emphasis*, `code` and a [link](https://example.org).\n\n- one\n- two\n\n";
    file.write(text);
}

// An X server of the benchmark's own; stopped with the object. Its display is empty when it
// could not start.
class VirtualDisplay {
public:
    VirtualDisplay() {
        server_.setProgram("Xvfb");
        server_.setArguments({"-displayfd", "1", "-screen", "0", "1600x1000x24", "-nolisten", "tcp"});
        server_.setProcessChannelMode(QProcess::SeparateChannels);
        server_.setStandardErrorFile(QProcess::nullDevice());
        server_.start();
        if (!server_.waitForStarted(5000)) return;
        QByteArray number;
        while (!number.contains('\n') && server_.waitForReadyRead(10000)) number += server_.readAllStandardOutput();
        if (number.trimmed().isEmpty()) return;
        display_ = ":" + QString::fromLatin1(number.trimmed());
    }
    ~VirtualDisplay() {
        server_.terminate();
        if (!server_.waitForFinished(3000)) server_.kill();
        server_.waitForFinished();
    }
    QString display() const { return display_; }

private:
    QProcess server_;
    QString display_;
};

struct Series {
    const char* name;
    QString display;
    std::vector<double> seconds, megabytes;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QString app = QCoreApplication::applicationDirPath() + "/quillet";
    int runs = 5;
    int noteKb = 2;
    const QStringList arguments = application.arguments();
    for (int i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "--runs") runs = std::max(1, arguments[i + 1].toInt());
        if (arguments[i] == "--app") app = arguments[i + 1];
        if (arguments[i] == "--note-kb") noteKb = std::max(1, arguments[i + 1].toInt());
    }

    QTemporaryDir home;
    // A first start makes the container (and installs the style sheets); the library goes there.
    if (!startOnce(app, home.path(), QString(), {})) return 1;
    const QString container = findContainer(home.path());
    if (container.isEmpty()) {
        std::fprintf(stderr, "no local container under %s\n", qPrintable(home.path()));
        return 1;
    }
    writeLibrary(container);
    const QString note = container + "/Last note.md";
    writeNote(note, noteKb);
    const QStringList openNote{"--open", note};

    const VirtualDisplay xvfb;
    std::vector<Series> series{{"Xvfb", xvfb.display(), {}, {}}, {"offscreen", QString(), {}, {}}};
    if (xvfb.display().isEmpty()) {
        std::printf("Xvfb could not be started: the runs on an X display are skipped\n");
        series.erase(series.begin());
    }
    for (int run = 0; run < runs; ++run) {
        for (Series& platform : series) {
            const auto startup = startOnce(app, home.path(), platform.display, openNote);
            if (!startup) return 1;
            platform.seconds.push_back(startup->seconds);
            platform.megabytes.push_back(startup->residentKb / 1024.0);
            std::printf("run %d, %s: note shown after %.3f s, resident %.1f MB\n", run + 1, platform.name,
                        startup->seconds, startup->residentKb / 1024.0);
        }
    }
    for (const Series& platform : series) {
        const double shown = median(platform.seconds);
        const double resident = median(platform.megabytes);
        std::printf("start-up with %d notes, a %d kB note shown, %s: median %.3f s (goal < %.1f s: %s), resident "
                    "%.1f MB (goal < %.0f MB: %s)\n",
                    quillet::bench::kLibraryNotes, noteKb, platform.name, shown, kGoalSeconds,
                    shown < kGoalSeconds ? "met" : "missed", resident, kGoalMegabytes,
                    resident < kGoalMegabytes ? "met" : "missed");
    }
    return 0;
}
