// The application's start-up with a large library: the time from starting build/bin/quillet to
// its window being shown, with 10,000 notes in 200 folders under "On My Mac", and the resident
// memory at that moment (preview closed, as at every launch).
// Goals: shown within 1.5 s; resident memory under 250 MB.
//
//   cmake --build build --target quillet quillet-startup-bench
//   build/bin/quillet-startup-bench [--runs N] [--app PATH]
//
// Each run starts the application in a fresh temporary home (QT_QPA_PLATFORM=offscreen unless a
// platform is set) with --report-startup: once the window is shown and the event queue has
// drained, the application prints "quillet-startup rss-kb=<resident kB>" and quits. The time is
// taken here, from the process start to that line, so loading the libraries counts.

#include "bench/LibraryShape.h"

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

namespace {

constexpr double kGoalSeconds = 1.5;
constexpr double kGoalMegabytes = 250;

struct Startup {
    double seconds = 0;
    long residentKb = 0;
};

QProcessEnvironment environmentFor(const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_CACHE_HOME", home + "/.cache");
    if (!env.contains("QT_QPA_PLATFORM")) env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return env;
}

std::optional<Startup> startOnce(const QString& app, const QString& home) {
    QProcess process;
    process.setProcessEnvironment(environmentFor(home));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(app, {"--report-startup"});
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

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QString app = QCoreApplication::applicationDirPath() + "/quillet";
    int runs = 5;
    const QStringList arguments = application.arguments();
    for (int i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "--runs") runs = std::max(1, arguments[i + 1].toInt());
        if (arguments[i] == "--app") app = arguments[i + 1];
    }

    QTemporaryDir home;
    // A first start makes the container (and installs the style sheets); the library goes there.
    if (!startOnce(app, home.path())) return 1;
    const QString container = findContainer(home.path());
    if (container.isEmpty()) {
        std::fprintf(stderr, "no local container under %s\n", qPrintable(home.path()));
        return 1;
    }
    writeLibrary(container);

    std::vector<double> seconds;
    std::vector<double> megabytes;
    for (int run = 0; run < runs; ++run) {
        const auto startup = startOnce(app, home.path());
        if (!startup) return 1;
        seconds.push_back(startup->seconds);
        megabytes.push_back(startup->residentKb / 1024.0);
        std::printf("run %d: shown after %.3f s, resident %.1f MB\n", run + 1, startup->seconds,
                    startup->residentKb / 1024.0);
    }
    const double shown = median(seconds);
    const double resident = median(megabytes);
    std::printf("start-up with %d notes: median %.3f s (goal < %.1f s: %s), resident %.1f MB (goal < %.0f MB: %s)\n",
                quillet::bench::kLibraryNotes, shown, kGoalSeconds, shown < kGoalSeconds ? "met" : "missed", resident, kGoalMegabytes,
                resident < kGoalMegabytes ? "met" : "missed");
    return 0;
}
