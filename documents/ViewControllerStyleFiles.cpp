// New style sheets and scripts in the library's "CSS" and "Script" folders, and the script
// commands. A new file is created only where no file of its name is: the write itself refuses to
// replace one, so a file made meanwhile by another program is never overwritten either.

#include "browser/view/FolderViewController.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "platform/Containers.h"
#include "platform/TypeIdentifiers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillet {

namespace {

const QString kStyleSheetFolder = QStringLiteral("CSS");
const QString kScriptFolder = QStringLiteral("Script");

struct StyleFileKind {
    QString extension;
    const char* typeIdentifier;
    QByteArray firstText;
};

QString folderName(const FileRepresentation& folder) {
    return folder.filename.value_or(QFileInfo(folder.path()).fileName());
}

std::optional<StyleFileKind> styleFileKindFor(const FileRepresentation& folder) {
    const QString name = folderName(folder);
    if (name == kStyleSheetFolder)
        return StyleFileKind{QStringLiteral("css"), platform::kCssTypeIdentifier, "/* CSS for Markdown */\n\n"};
    if (name == kScriptFolder)
        return StyleFileKind{QStringLiteral("py"), platform::kPythonScriptTypeIdentifier,
                             "#! /usr/bin/env python3\n# coding: utf-8\n"};
    return std::nullopt;
}

// Empty when the file was made; else why not.
QString writeNewFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString error = file.errorString();
        file.remove();
        return error.isEmpty() ? QObject::tr("The disk may be full.") : error;
    }
    return QString();
}

} // namespace

QString ViewController::specialFolderPath(const QString& name) const {
    QString container;
    if (hasSyncedContainer()) container = platform::ubiquityContainerPath().value_or(QString());
    if (container.isEmpty()) container = noteTree().localContainer().toLocalFile();
    if (container.isEmpty()) container = platform::localContainerPath();
    return QDir(container).filePath(name);
}

bool ViewController::pythonAvailable() const {
    return false;
}

void ViewController::runPythonFromString(const QString& text) {
    (void)text;
}

void ViewController::createFile(const FileRep& folder) {
    if (d->addingNote || !folder) return;
    const std::optional<StyleFileKind> kind = styleFileKindFor(*folder);
    if (!kind || !d->shell) return;
    const std::optional<QString> name = d->shell->askNewFileName(folder->path(), kind->extension);
    if (!name || name->isEmpty()) return;
    const QString fileName = *name + QLatin1Char('.') + kind->extension;
    const QString path = QDir(folder->path()).filePath(fileName);

    d->addingNote = true;
    closeDocument();
    const bool iCloud = folder->iCloud;
    d->onWorker<QString>([path, bytes = kind->firstText] { return writeNewFile(path, bytes); },
                         [this, folder, path, fileName, iCloud](const QString& error) {
                             d->addingNote = false;
                             if (!error.isEmpty()) {
                                 showAlert(tr("Couldn't create “%1”.").arg(fileName), error);
                                 return;
                             }
                             // The record as the folder's listing would make it.
                             const FileRep file = recordForPath(path);
                             if (!file) return;
                             file->iCloud = iCloud;
                             addCreatedNote(folder, file);
                         });
}

void ViewController::addScriptFile() {
    NoteTree& tree = noteTree();
    FileRep target;
    if (const FileRep open = lastFileRepresentation()) {
        const FileRep parent = tree.findParentFileRep(open->fileURL());
        // Only a "Script" folder takes scripts: one below it is passed over for the library's.
        if (parent && folderName(*parent) == kScriptFolder) target = parent;
    }
    const FileRep top = hasSyncedContainer() ? tree.iCloudTop() : tree.localTop();
    if (!target && top) target = tree.findFileRep(QUrl::fromLocalFile(specialFolderPath(kScriptFolder)));
    if (target) createFile(target);
}

void ViewController::editScriptFile(const QString& fileName) {
    const QString path = QDir(specialFolderPath(kScriptFolder)).filePath(fileName);
    if (const FileRep script = noteTree().findFileRep(QUrl::fromLocalFile(path))) selectAndOpen(script);
}

void ViewController::scriptMenuDidSelect(const QString& title) {
    if (title == tr("Edit Python") || title == tr("Edit Script")) return;
    const QString path = QDir(specialFolderPath(kScriptFolder)).filePath(title);
    std::weak_ptr<bool> token = d->alive;
    platform::Dispatcher* main = &d->dispatcher;
    coordinateReadURL(QUrl::fromLocalFile(path), [this, token, main](std::optional<QString> text,
                                                                     const platform::Status&) {
        if (!text || text->isEmpty()) return;
        main->onMain([this, token, text = std::move(*text)] {
            if (token.lock()) runPythonFromString(text);
        });
    });
}

} // namespace quillet
