// 1,000 random note operations on a small library: after each, the tree matches the disk and no
// note's text is lost (every text is still in the library or in the trash). Run again with a
// failing seed: QUILLET_SEED=<seed>.

#include "NoteOperationsTestSupport.h"
#include "platform/FileOperations.h"
#include "platform/FreeNames.h"

#include <QRandomGenerator>

namespace quillet::testing {
namespace {

class NoteOperationsRandomTest : public NoteOperationsTest {
protected:
    QString trashFiles() const { return home.path() + "/data/Trash/files"; }

    // Every note's text in the library and the trash; the open note's as the editor holds it.
    QMap<QByteArray, int> allTexts() {
        QMap<QByteArray, int> texts;
        for (const QString& root : {container, trashFiles()}) {
            QDirIterator it(root, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                texts[path == openPath() ? editorText().toUtf8() : fileBytes(path)] += 1;
            }
        }
        return texts;
    }

    FileRepList rows(const FileRep& folder, int kind) { // kind: 0 notes, 1 folders (the top too)
        FileRepList all;
        if (kind == 1 && folder->top) all.push_back(folder);
        for (const FileRep& child : folder->children.value_or(FileRepList())) {
            if (int(child->directory) == kind) all.push_back(child);
            if (child->directory)
                for (const FileRep& below : rows(child, kind))
                    all.push_back(below);
        }
        return all;
    }
    FileRepList folders() { return rows(top(), 1); }
    FileRepList notes() { return rows(top(), 0); }
    template <typename T> T pick(const std::vector<T>& from) {
        return from.empty() ? T() : from[random.bounded(int(from.size()))];
    }

    // Moves an item from the trash back to where it was (under a free name) and lists its
    // folder again, as a restore in the file manager would be followed.
    void restoreFromTrash() {
        const QStringList trashed = QDir(trashFiles()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        if (trashed.isEmpty()) return;
        const QString name = trashed[random.bounded(int(trashed.size()))];
        const QString info = home.path() + "/data/Trash/info/" + name + ".trashinfo";
        QString original;
        for (const QByteArray& line : fileBytes(info).split('\n'))
            if (line.startsWith("Path=")) original = QUrl::fromPercentEncoding(line.mid(5));
        const QFileInfo place(original);
        ASSERT_TRUE(platform::createFolder(place.absolutePath(), true).ok);
        ASSERT_TRUE(platform::moveItemToFreeName(trashFiles() + "/" + name, place.absolutePath(), place.fileName()).ok());
        QFile::remove(info);
        for (const FileRep& folder : folders())
            tree().refreshFolder(folder);
    }
    // One operation; `expected` gets the texts it adds to the library.
    void operate(int kind, QMap<QByteArray, int>& expected) {
        const FileRep note = pick(notes());
        const FileRep folder = pick(folders());
        const std::size_t alertsBefore = alerts.alerts.size();
        const auto succeeded = [&] { return alerts.alerts.size() == alertsBefore; };
        switch (kind) {
        case 0:
            controller->newNoteInFileRep(folder);
            dispatcher.runPending();
            if (succeeded()) expected[editorText().toUtf8()] += 1;
            break;
        case 1:
            if (note) open(note);
            if (openNote()) controller->duplicateNote();
            dispatcher.runPending();
            if (openNote() && openNote() != note && succeeded()) expected[editorText().toUtf8()] += 1;
            break;
        case 2: {
            const FileRep item = random.bounded(3) == 0 ? pick(folders()) : note;
            if (!item || item->top) break;
            const FileRep renamed = FileRepresentation::forPath(item->path());
            renamed->filename = item->directory ? QStringLiteral("R%1").arg(++counter)
                                                : QStringLiteral("r%1.md").arg(++counter);
            controller->filenameDidChange(renamed);
            break;
        }
        case 3:
        case 4: {
            const FileRep item = random.bounded(3) == 0 ? pick(folders()) : note;
            if (!item || item->top) break;
            const bool copying = kind == 4;
            QMap<QByteArray, int> copied;
            if (copying)
                for (const FileRep& inside : item->directory ? rows(item, 0) : FileRepList{item})
                    copied[inside->path() == openPath() ? editorText().toUtf8() : fileBytes(inside->path())] += 1;
            controller->moveFileRep(item, folder, int(random.bounded(4)), !copying);
            if (copying && succeeded())
                for (auto it = copied.begin(); it != copied.end(); ++it)
                    expected[it.key()] += it.value();
            break;
        }
        case 5: {
            const FileRep item = random.bounded(3) == 0 ? folder : note;
            if (!item || item->top) break;
            const QString path = item->path();
            if (item->directory)
                controller->deleteFolder(item);
            else
                controller->deleteNoteInFileRep(item);
            deleted += platform::itemExists(path) ? 0 : 1;
            break;
        }
        case 6:
            restoreFromTrash();
            break;
        case 7:
            if (note) controller->changeEditState(int(random.bounded(2)), note);
            break;
        case 8: // as the browser's "New Folder" does
            platform::createFolder(folder->path() + QStringLiteral("/F%1").arg(++counter), false);
            tree().refreshFolder(folder);
            break;
        default:
            if (note) open(note);
            if (openNote() && controller->editState()) {
                const QByteArray before = editorText().toUtf8();
                typeAtEnd(QStringLiteral(" w%1").arg(++counter));
                expected[before] -= 1;
                if (expected[before] == 0) expected.remove(before);
                expected[editorText().toUtf8()] += 1;
            }
            break;
        }
        dispatcher.runPending();
    }

    QRandomGenerator random;
    int counter = 0;
    int deleted = 0;
};

TEST_F(NoteOperationsRandomTest, AThousandOperationsLoseNoTextAndKeepTheTreeOnTheDisk) {
    const quint32 seed = qEnvironmentVariableIsSet("QUILLET_SEED") ? qgetenv("QUILLET_SEED").toUInt()
                                                                   : QRandomGenerator::global()->generate();
    random.seed(seed);
    ASSERT_TRUE(QDir(container).mkpath("Trips/Old"));
    for (int i = 0; i < 6; ++i)
        writeNote(QString::fromLatin1(i < 3 ? "n%1.md" : "Trips/n%1.md").arg(i), QStringLiteral("# N%1\n").arg(i).toUtf8());
    makeController();
    QMap<QByteArray, int> expected = allTexts();
    for (int step = 0; step < 1000; ++step) {
        const int kind = int(random.bounded(10));
        operate(kind, expected);
        ASSERT_EQ(allTexts(), expected) << "seed " << seed << ", step " << step << ", operation " << kind;
        ASSERT_EQ(treeDisagreement(top()), "") << "seed " << seed << ", step " << step << ", operation " << kind;
    }
    // The run did change the library: notes were made and some went to the trash.
    EXPECT_GT(expected.size(), 6) << "seed " << seed;
    EXPECT_GT(deleted, 0) << "seed " << seed;
}

} // namespace
} // namespace quillet::testing
