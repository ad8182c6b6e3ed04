#include "browser/NoteTree.h"
#include "platform/Containers.h"
#include "platform/FileOperations.h"
#include "platform/FolderListing.h"
#include "platform/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>
#include <algorithm>

namespace quillet {

namespace {

const QString kScriptFolder = QStringLiteral("Script");
const QString kScriptResource = QStringLiteral("InsertDate.py");
const QString kWelcomeNote = QStringLiteral("Markdown.md");

std::optional<QByteArray> bundledResource(const QString& name) {
    QFile file(QStringLiteral(":/quillet/") + name);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
}

void copyResource(const LocalContainerSetup& setup, const QString& name, const QString& destination) {
    if (!setup.resource) return;
    const std::optional<QByteArray> bytes = setup.resource(name);
    if (!bytes) return;
    if (const platform::Status status = platform::writeFileAtomically(destination, *bytes); !status)
        qDebug("can't copy '%s': %s", qUtf8Printable(name), qUtf8Printable(status.description));
}

void prepareScriptFolder(const LocalContainerSetup& setup, const QString& container) {
    const QString scriptFolder = container + QLatin1Char('/') + kScriptFolder;
    if (!platform::itemExists(scriptFolder) && !platform::createFolder(scriptFolder, false))
        qWarning("ERROR: can't creat 'Script' folder.");
    const QString script = scriptFolder + QLatin1Char('/') + kScriptResource;
    if (QFileInfo(scriptFolder).isDir() && !platform::itemExists(script))
        copyResource(setup, kScriptResource, script);
}

// The welcome note goes only into a container that holds no file.
void seedWelcomeNote(const LocalContainerSetup& setup, const QString& container) {
    platform::ListingOptions options;
    options.typeIdentifiers = false;
    options.tags = false;
    const auto listing = platform::listFolder(container, options);
    if (!listing.ok()) return;
    const bool onlyFolders =
        std::all_of(listing->begin(), listing->end(),
                    [](const platform::FolderEntry& entry) { return entry.isDirectory; });
    const QString note = container + QLatin1Char('/') + kWelcomeNote;
    if (onlyFolders && !platform::itemExists(note)) copyResource(setup, kWelcomeNote, note);
}

} // namespace

LocalContainerSetup LocalContainerSetup::system() {
    return {platform::localContainerPath(),
            !QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty(), bundledResource};
}

void NoteTree::prepareLocalContainer(const LocalContainerSetup& setup) {
    rowHeight_ = 34.0;
    const QString container =
        QDir::cleanPath(setup.containerPath.isEmpty() ? platform::localContainerPath() : setup.containerPath);
    if (const platform::Status status = platform::createFolder(container, true); !status)
        qWarning("can't create the local container: %s", qUtf8Printable(status.description));
    localContainer_ = QUrl::fromLocalFile(container);
    if (setup.pythonInstalled) {
        prepareScriptFolder(setup, container);
        seedWelcomeNote(setup, container);
    }
    queryLocalTop();
}

} // namespace quillet
