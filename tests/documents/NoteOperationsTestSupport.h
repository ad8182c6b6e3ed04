#pragma once
// The main controller on a temporary library for the note operations: a window stand-in that
// records the info sheets and answers the "Copy to" dialog, and checks that the tree and the disk
// agree.

#include "ViewControllerTestSupport.h"
#include "browser/LocalRecords.h"
#include "platform/FolderListing.h"

#include <QDirIterator>
#include <QSet>
#include <functional>

namespace quillet::testing {

class NoteOperationsShell final : public ShellHost {
public:
    void setEditButtonState(bool editable) override { editButtonStates.push_back(editable); }
    void setSearchFieldEnabled(bool) override {}
    void previewPaneShown(bool) override {}
    void showNoteInfo(const QUrl& url, const QVariantMap& noteInfo, std::function<void()> ended) override {
        infoURLs.push_back(url);
        infos.push_back(noteInfo);
        endInfo = std::move(ended);
    }
    std::optional<QString> chooseCopyDestination(const QString& folder, const QString& proposedName) override {
        copyProposals.push_back(folder + "/" + proposedName);
        return copyDestination;
    }
    std::vector<bool> editButtonStates;
    std::vector<QUrl> infoURLs;
    std::vector<QVariantMap> infos;
    std::function<void()> endInfo;
    std::vector<QString> copyProposals;
    std::optional<QString> copyDestination;
};

class NoteOperationsTest : public ViewControllerTest {
protected:
    void SetUp() override {
        ViewControllerTest::SetUp();
        controller->setShell(&noteShell);
    }

    // Folders (ending in "/") and notes with their text, then the controller on them.
    void library(std::initializer_list<std::pair<const char*, const char*>> items) {
        for (const auto& [path, text] : items) {
            if (QString(path).endsWith('/'))
                ASSERT_TRUE(QDir(container).mkpath(path));
            else
                writeNote(path, text);
        }
        makeController();
        controller->setShell(&noteShell);
    }
    NoteTree& tree() { return controller->folderViewController()->noteTree(); }
    FileRep top() { return tree().localTop(); }
    FileRep rowAt(const QString& relativePath) {
        return NoteTree::findFileRep(QUrl::fromLocalFile(notePath(relativePath)), top());
    }
    FileRep openNote() { return controller->lastFileRepresentation(); }
    QString openPath() { return openNote() ? openNote()->path() : QString(); }
    QString selectedPath() {
        const FileRep selected = controller->folderViewController()->selectedItem();
        return selected ? selected->path() : QString();
    }
    // Empty when every folder's rows are the browsable entries on disk, each once; else what differs.
    QString treeDisagreement(const FileRep& folder) const {
        QSet<QString> onDisk, inTree;
        for (const platform::FolderEntry& entry : platform::listFolder(folder->path()).value.value_or(
                 std::vector<platform::FolderEntry>()))
            if (isBrowsableEntry(entry)) onDisk.insert(entry.path);
        for (const FileRep& child : folder->children.value_or(FileRepList())) {
            if (inTree.contains(child->path())) return "twice: " + child->path();
            inTree.insert(child->path());
            if (child->directory)
                if (QString below = treeDisagreement(child); !below.isEmpty()) return below;
        }
        if (onDisk != inTree)
            return "in " + folder->path() + ": disk " + QStringList(onDisk.values()).join(",") + " tree " +
                   QStringList(inTree.values()).join(",");
        return {};
    }
    std::vector<QString> alertMessages() const {
        std::vector<QString> messages;
        for (const Alert& alert : alerts.alerts)
            messages.push_back(alert.message);
        return messages;
    }

    NoteOperationsShell noteShell;
};

} // namespace quillet::testing
