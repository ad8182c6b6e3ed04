#include "app/LaunchOptions.h"

#include <QCommandLineParser>

namespace quillet {

LaunchOptions LaunchOptions::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption open(QStringLiteral("open"), QStringLiteral("Open the note at PATH."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window to PATH."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption quit(QStringLiteral("quit"), QStringLiteral("Quit after the screenshot."));
    const QCommandLineOption preview(QStringLiteral("preview"), QStringLiteral("Show the preview pane."));
    const QCommandLineOption dark(QStringLiteral("dark"), QStringLiteral("Use a dark palette."));
    const QCommandLineOption reportStartup(
        QStringLiteral("report-startup"),
        QStringLiteral("Once the note is shown, print the resident memory and quit."));
    parser.addOptions({open, screenshot, quit, preview, dark, reportStartup});
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Notes to open."),
                                 QStringLiteral("[FILE\u2026]"));
    // Qt's own options (-style, -platform, ...) are taken by QApplication before this parse.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);

    LaunchOptions options;
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    options.files = parser.positionalArguments();
    if (parser.isSet(open)) options.openPath = parser.value(open);
    if (parser.isSet(screenshot)) options.screenshotPath = parser.value(screenshot);
    options.quitAfterScreenshot = parser.isSet(quit);
    options.showPreview = parser.isSet(preview);
    options.dark = parser.isSet(dark);
    options.reportStartup = parser.isSet(reportStartup);
    return options;
}

QStringList LaunchOptions::notePaths() const {
    QStringList paths;
    if (openPath) paths << *openPath;
    return paths + files;
}

} // namespace quillet
