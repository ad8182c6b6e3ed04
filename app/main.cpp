// Quillet: starts the application, its main window and its delegate.
#include "app/AppDelegate.h"
#include "app/ColorScheme.h"
#include "app/HeadlessExport.h"
#include "app/LaunchOptions.h"
#include "app/StartupReport.h"
#include "app/Translations.h"
#include "app/WebViewController.h"
#include "app/WindowController.h"
#include "browser/NoteTree.h"
#include "documents/ViewController.h"
#include "platform/Dispatcher.h"
#include "platform/LibraryMove.h"
#include "platform/QtDispatcher.h"
#include "platform/SingleInstance.h"
#include "platform/SyncContainer.h"
#include "platform/TerminationSignals.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

using namespace quillet;

// Chromium will not start as root with its sandbox on; the variable must be set before the web
// engine starts.
void allowWebEngineAsRoot() {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

// Saves a picture of the window once it has settled: after the note opened and, with the preview
// shown, after the preview applied its style sheet.
void scheduleScreenshot(WindowController& window, const LaunchOptions& options) {
    const QString path = *options.screenshotPath;
    const bool quit = options.quitAfterScreenshot;
    auto take = [&window, path, quit] {
        const bool saved = window.grab().save(path);
        std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot saved to" : "could not save",
                     qPrintable(path));
        if (quit) QCoreApplication::exit(saved ? 0 : 1);
    };
    constexpr int kSettleMs = 2500;
    if (!options.showPreview) {
        QTimer::singleShot(kSettleMs, &window, take);
        return;
    }
    // The preview fills in after the note opened; a page that never comes still gets its picture.
    auto* fallback = new QTimer(&window);
    fallback->setSingleShot(true);
    fallback->start(kSettleMs * 4);
    QObject::connect(fallback, &QTimer::timeout, &window, take);
    QObject::connect(window.webViewController(), &WebViewController::previewReady, &window, [fallback] {
        if (fallback->isActive()) fallback->start(800);
    });
}

// The resident set of this process in kB, from /proc/self/status; 0 when it cannot be read.
long residentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// For the start-up benchmark: once the launch's note is shown in the exposed window, report and
// quit.
void scheduleStartupReport(WindowController& window, bool expectNote) {
    new StartupReport(window, expectNote, [] {
        std::printf("quillet-startup rss-kb=%ld\n", residentKilobytes());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
}

// The arguments with the files named made absolute: the first instance runs in another folder.
QStringList argumentsForPrimary() {
    QStringList arguments = QApplication::arguments().mid(1);
    for (QString& argument : arguments)
        if (!argument.startsWith(QLatin1Char('-')) && QFileInfo::exists(argument))
            argument = QFileInfo(argument).absoluteFilePath();
    return arguments;
}

void tellAboutLibraryMove(QWidget& window, const platform::LibraryMove& move) {
    const bool moved = move.outcome == platform::LibraryMove::Outcome::moved;
    auto* box = new QMessageBox(moved ? QMessageBox::Information : QMessageBox::Warning,
                                QApplication::applicationName(), move.message, QMessageBox::Ok, &window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace

int main(int argc, char** argv) {
    allowWebEngineAsRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // An export from the command line never needs a display.
    if (asksForHeadlessExport(argc, argv)) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setOrganizationName(QStringLiteral("Quillet"));
    QApplication::setOrganizationDomain(QStringLiteral("quillet.org"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillet.Quillet"));
    installTranslations(application, QLocale::system().uiLanguages());

    const LaunchOptions options = LaunchOptions::parse(QApplication::arguments());
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "quillet: %s\n", qPrintable(options.error));
        return 2;
    }
    // Before the handoff below: a running Quillet never takes an export over.
    if (options.exports()) return runHeadlessExport(options);
    // --dark wins over the stored colour scheme; the desktop's is left alone, so that it follows
    // the desktop's own changes.
    Appearance& appearance = Appearance::shared();
    const ColorScheme scheme =
        options.dark ? ColorScheme::dark : storedColorScheme(platform::UserDefaults::standard());
    if (scheme != ColorScheme::desktop) appearance.apply(scheme);
    appearance.matchWebEngineTheme();

    // One Quillet per user: a later launch hands its arguments (a note to open) to the first.
    platform::SingleInstance instance(QStringLiteral("org.quillet.Quillet"));
    if (!instance.tryBecomePrimary() && instance.sendToPrimary(argumentsForPrimary(), 5000))
        return 0;
    platform::TerminationSignals terminationSignals;
    // A library at the former hidden place moves to ~/Documents/Quillet once, before it is read.
    const platform::LibraryMove libraryMove = platform::moveFormerLocalContainer();

    platform::UserDefaults& defaults = platform::UserDefaults::standard();
    defaults.registerDefaults(
        {{QString::fromLatin1(platform::defaults_keys::kSystemFont), QApplication::font().family()}});
    platform::Dispatcher& dispatcher = platform::Dispatcher::shared();
    platform::setLaunchSyncFolder(options.syncFolder);

    // The note is read while the window is built, and shown with it.
    // A note named by --open or by the file manager replaces the one the last session left.
    std::optional<QString> launchNote;
    for (const QString& path : options.notePaths())
        if (!launchNote && QFileInfo(path).isFile()) launchNote = path;
    if (!launchNote && !options.notePaths().isEmpty()) launchNote = options.notePaths().first();
    AppDelegate delegate(defaults, dispatcher);
    delegate.applicationWillFinishLaunching(launchNote);
    WindowController window(defaults, dispatcher, LocalContainerSetup::system());
    delegate.applicationDidFinishLaunching(launchNote);
    if (options.newNote) window.viewController()->newNote();
    QObject::connect(&instance, &platform::SingleInstance::argumentsReceived, &delegate,
                     &AppDelegate::openFromOtherInstance);
    QObject::connect(&terminationSignals, &platform::TerminationSignals::terminationRequested, &delegate,
                     [&delegate] { delegate.terminateForSignal(); });
    if (options.screenshotPath) scheduleScreenshot(window, options);
    if (options.reportStartup) scheduleStartupReport(window, delegate.opensNoteAtLaunch());
    window.show();
    // Once shown, the splitter has the window's width to share with the preview.
    if (options.showPreview) window.viewController()->showPreview(true);
    if (!libraryMove.message.isEmpty()) tellAboutLibraryMove(window, libraryMove);

    const int status = QApplication::exec();
    platform::QtDispatcher::waitForWorkers();
    defaults.synchronize();
    return status;
}
