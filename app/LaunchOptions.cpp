#include "app/LaunchOptions.h"

#include <QColor>
#include <QCommandLineParser>

namespace quillet {

namespace {

LaunchOptions parseExport(const QCommandLineParser& parser, const QCommandLineOption& pdf,
                          const QCommandLineOption& html, const QCommandLineOption& css) {
    LaunchOptions options;
    const QStringList notes = parser.positionalArguments();
    if (parser.isSet(pdf) == parser.isSet(html))
        options.error = QStringLiteral("Give one of --export-pdf and --export-html.");
    else if (notes.size() != 1)
        options.error = QStringLiteral("Give exactly one note to export.");
    if (!options.error.isEmpty()) return options;
    options.exportPdfPath = parser.isSet(pdf) ? std::optional(parser.value(pdf)) : std::nullopt;
    options.exportHtmlPath = parser.isSet(html) ? std::optional(parser.value(html)) : std::nullopt;
    if (parser.isSet(css)) options.exportCss = parser.value(css);
    options.exportNotePath = notes.first();
    return options;
}

} // namespace

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
    // Headless export of one note, in a process of its own.
    const QCommandLineOption exportPdf(QStringLiteral("export-pdf"),
                                       QStringLiteral("Write NOTE as PDF to OUT and quit."), QStringLiteral("OUT"));
    const QCommandLineOption exportHtml(QStringLiteral("export-html"),
                                        QStringLiteral("Write NOTE as HTML to OUT and quit."), QStringLiteral("OUT"));
    const QCommandLineOption css(QStringLiteral("css"), QStringLiteral("Export with the style sheet NAME."),
                                 QStringLiteral("NAME"));
    parser.addOptions({exportPdf, exportHtml, css});
    // Qt's own options (-style, -platform, ...) are taken by QApplication before this parse.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);

    LaunchOptions options;
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    if (parser.isSet(exportPdf) || parser.isSet(exportHtml)) return parseExport(parser, exportPdf, exportHtml, css);
    if (!parser.positionalArguments().isEmpty()) {
        options.error = QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().first());
        return options;
    }
    if (parser.isSet(open)) options.openPath = parser.value(open);
    if (parser.isSet(screenshot)) options.screenshotPath = parser.value(screenshot);
    options.quitAfterScreenshot = parser.isSet(quit);
    options.showPreview = parser.isSet(preview);
    options.dark = parser.isSet(dark);
    options.reportStartup = parser.isSet(reportStartup);
    return options;
}

QPalette darkPalette() {
    const QColor window(0x2b, 0x2d, 0x30);
    const QColor base(0x1f, 0x21, 0x24);
    const QColor text(0xe4, 0xe6, 0xea);
    const QColor accent(0x4c, 0x9a, 0xff);
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x8a, 0x8f, 0x98));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(0xff, 0x6b, 0x6b));
    palette.setColor(QPalette::Link, accent);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Light, window.lighter(150));
    palette.setColor(QPalette::Midlight, window.lighter(125));
    palette.setColor(QPalette::Mid, window.darker(120));
    palette.setColor(QPalette::Dark, window.darker(150));
    palette.setColor(QPalette::Shadow, Qt::black);
    const QColor disabled(0x74, 0x78, 0x80);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabled);
    return palette;
}

bool isDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

} // namespace quillet
