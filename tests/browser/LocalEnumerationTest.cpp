#include "BrowserTestSupport.h"
#include "browser/LocalRecords.h"
#include "browser/NoteTree.h"
#include "platform/ManualDispatcher.h"
#include "platform/Tags.h"
#include "platform/TypeIdentifiers.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillet {
namespace {

using testing::childNamed;
using testing::namesOf;
using testing::writeFile;

const QByteArray kPngBytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\x02\0\0\0", 29);

class LocalEnumerationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.isValid());
        tree.setView(&view);
        tree.setLocalContainer(QUrl::fromLocalFile(library.path()));
    }
    QString at(const QString& relative) const { return library.filePath(relative); }
    FileRep enumerate() {
        tree.queryLocalTop();
        return tree.localTop();
    }

    QTemporaryDir library;
    QTemporaryDir settings;
    platform::UserDefaults defaults{settings.filePath("defaults.ini")};
    platform::ManualDispatcher dispatcher;
    testing::RecordingView view;
    NoteTree tree{defaults, dispatcher};
};

TEST_F(LocalEnumerationTest, TakesNotesStyleSheetsScriptsAndFolders) {
    writeFile(at("Note.md"), "# Title\n");
    writeFile(at("Latin.md"), "caf\xe9 au lait\n"); // not UTF-8: still a note, read later
    writeFile(at("Plain.txt"));
    writeFile(at("Style.css"), "body { color: red; }\n");
    writeFile(at("Tool.py"), "print(1)\n");
    writeFile(at("Picture.png"), kPngBytes);
    writeFile(at("Blob"), QByteArray("\0\1\2\3binary\0", 11));
    writeFile(at("Shopping"), "words without an extension\n");
    writeFile(at("Viewer.app/Contents/Info.md"));
    writeFile(at("Sub/Inner.md"));
    writeFile(at("Sub/iChats/Kept.md"));
    writeFile(at("iChats"), "chat log\n");
    writeFile(at(".hidden.md"));
    writeFile(at("Sub/.DS_Store"));
    QDir(library.path()).mkdir("Empty");

    const FileRep top = enumerate();
    QStringList names = namesOf(*top->children);
    names.sort();
    EXPECT_EQ(names, (QStringList{"Empty", "Latin", "Note", "Plain", "Shopping", "Style", "Sub", "Tool"}));

    const FileRep note = childNamed(top, "Note");
    EXPECT_EQ(note->filename, QStringLiteral("Note"));
    EXPECT_EQ(note->UTI, QString::fromLatin1(platform::kMarkdownTypeIdentifier));
    EXPECT_EQ(note->path(), at("Note.md"));
    EXPECT_FALSE(note->directory || note->iCloud || note->top || note->children);
    EXPECT_EQ(note->downloaded, true);
    EXPECT_TRUE(note->lastModified.has_value());
    EXPECT_EQ(childNamed(top, "Style")->UTI, QString::fromLatin1(platform::kCssTypeIdentifier));
    EXPECT_EQ(childNamed(top, "Tool")->UTI, QString::fromLatin1(platform::kPythonScriptTypeIdentifier));
    EXPECT_EQ(childNamed(top, "Shopping")->UTI, QString::fromLatin1(platform::kPlainTextTypeIdentifier));

    const FileRep sub = childNamed(top, "Sub");
    ASSERT_TRUE(sub && sub->directory && sub->children);
    QStringList subNames = namesOf(*sub->children);
    subNames.sort();
    EXPECT_EQ(subNames, (QStringList{"Inner", "iChats"})); // a folder named "iChats" is listed
    EXPECT_EQ(namesOf(*childNamed(sub, "iChats")->children), QStringList{"Kept"});
    const FileRep empty = childNamed(top, "Empty");
    EXPECT_TRUE(empty->children.has_value() && empty->children->empty());
}

TEST_F(LocalEnumerationTest, EntriesWithoutReportedTypeFallBackByExtension) {
    platform::FolderEntry entry;
    entry.path = at("Lost.md");
    entry.name = "Lost.md";
    entry.isRegularFile = true;
    EXPECT_EQ(*recordForFolderEntry(entry)->UTI, QString::fromLatin1(platform::kMarkdownTypeIdentifier));
    entry.name = "Lost";
    EXPECT_EQ(*recordForFolderEntry(entry)->UTI, QString::fromLatin1(platform::kPlainTextTypeIdentifier));
    EXPECT_TRUE(isBrowsableEntry(entry, typeIdentifierOfEntry(entry)));
    entry.name = "iChats";
    EXPECT_FALSE(isBrowsableEntry(entry, typeIdentifierOfEntry(entry)));
    entry.name = "Photo.png";
    EXPECT_FALSE(isBrowsableEntry(entry, QString::fromLatin1(platform::kPngTypeIdentifier)));
    entry.isRegularFile = false;
    entry.isDirectory = true;
    entry.name = "Photo.app";
    EXPECT_FALSE(isBrowsableEntry(entry, QString::fromLatin1(platform::kFolderTypeIdentifier)));
}

TEST_F(LocalEnumerationTest, LinksAreNeverFollowedIntoFolders) {
    writeFile(at("Loop/Note.md"));
    ASSERT_EQ(::symlink(".", at("Loop/again").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink("..", at("Loop/up").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink("Note.md", at("Loop/Alias.md").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink("Nowhere.md", at("Loop/Dangling.md").toUtf8().constData()), 0);
    const FileRep loop = childNamed(enumerate(), "Loop");
    ASSERT_TRUE(loop);
    QStringList names = namesOf(*loop->children);
    names.sort();
    EXPECT_EQ(names, (QStringList{"Alias", "Note"}));
}

TEST_F(LocalEnumerationTest, RecordsCarryLocksTagsAndOddNames) {
    writeFile(at("Locked.md"));
    ASSERT_EQ(::chmod(at("Locked.md").toUtf8().constData(), 0444), 0);
    writeFile(at("Tagged.md"));
    ASSERT_TRUE(platform::writeTags(at("Tagged.md"), {"Red", "Work"}));
    writeFile(at("ManyTags.md"));
    QStringList manyTags;
    for (int i = 0; i < 40; ++i)
        manyTags.append(QStringLiteral("Tag number %1").arg(i)); // over 256 bytes
    ASSERT_TRUE(platform::writeTags(at("ManyTags.md"), manyTags));
    writeFile(at("Two\nlines.md"));
    const QByteArray badName = QFile::encodeName(library.path()) + "/Bad\xff\xfe.md";
    const int fd = ::open(badName.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);

    const FileRep top = enumerate();
    EXPECT_TRUE(childNamed(top, "Locked")->isImmutable);
    EXPECT_FALSE(childNamed(top, "Tagged")->isImmutable);
    EXPECT_EQ(childNamed(top, "Tagged")->tagNames(), (QStringList{"Red", "Work"}));
    EXPECT_EQ(childNamed(top, "ManyTags")->tagNames(), manyTags);
    EXPECT_TRUE(childNamed(top, "Locked")->tagNames().isEmpty());
    EXPECT_TRUE(childNamed(top, "Two\nlines"));
    EXPECT_EQ(top->children->size(), 4u); // the name that is not UTF-8 cannot be addressed: left out
    ::unlink(badName.constData());        // nor removed through QDir
}

// Runs `body` in a child process that dropped root, if it had it (root reads every folder);
// returns its exit code.
int runUnprivileged(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST_F(LocalEnumerationTest, AnUnreadableFolderIsEmpty) {
    writeFile(at("Open/Note.md"));
    writeFile(at("Closed/Secret.md"));
    ::chmod(library.path().toUtf8().constData(), 0755);
    ::chmod(at("Open").toUtf8().constData(), 0755);
    ::chmod(at("Open/Note.md").toUtf8().constData(), 0644);
    ::chmod(at("Closed").toUtf8().constData(), 0); // closed to everyone but root
    const int code = runUnprivileged([this] {
        const FileRep top = enumerate();
        const FileRep closed = childNamed(top, "Closed");
        const FileRep open = childNamed(top, "Open");
        if (!closed || !open) return 1;
        if (!closed->children || !closed->children->empty()) return 2;
        return open->children->size() == 1 ? 0 : 3;
    });
    ::chmod(at("Closed").toUtf8().constData(), 0700); // so that the folder can be removed
    if (code == 99) GTEST_SKIP() << "cannot drop to an unprivileged user";
    EXPECT_EQ(code, 0);
}

TEST_F(LocalEnumerationTest, AVanishedOrMissingFolderGivesNoChildren) {
    tree.setLocalContainer(QUrl::fromLocalFile(at("missing")));
    const FileRep top = enumerate();
    ASSERT_TRUE(top->children);
    EXPECT_TRUE(top->children->empty());
    EXPECT_TRUE(view.calls.empty()); // nothing to show: no refresh

    const FileRep bundle = FileRepresentation::forPath(at("Viewer.app"));
    writeFile(at("Viewer.app/Inside.md"));
    tree.enumerateLocalFile(bundle, 0);
    EXPECT_TRUE(bundle->children && bundle->children->empty());
}

TEST_F(LocalEnumerationTest, TopIsSortedBySortModeAndSubfoldersOnlyWithASelection) {
    const auto touch = [&](const QString& name, qint64 seconds) {
        writeFile(at(name));
        QFile file(at(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            file.setFileTime(QDateTime::fromSecsSinceEpoch(seconds), QFileDevice::FileModificationTime));
    };
    touch("b.md", 1000);
    touch("a.md", 3000);
    touch("C.md", 2000);
    touch("Sub/z.md", 1000);
    touch("Sub/y.md", 3000);
    touch("Sub/x.md", 2000);

    FileRep top = enumerate();
    EXPECT_EQ(namesOf(*top->children), (QStringList{"Sub", "a", "C", "b"})); // newest first: Sub changed last
    EXPECT_EQ(view.calls, std::vector<std::string>{"updateTable"});

    tree.setSortMode(kSortModeName);
    top = enumerate();
    EXPECT_EQ(namesOf(*top->children), (QStringList{"C", "Sub", "a", "b"}));

    view.selected = childNamed(top, "a");
    top = enumerate();
    EXPECT_EQ(namesOf(*childNamed(top, "Sub")->children), (QStringList{"x", "y", "z"}));
    view.calls.clear();
    dispatcher.runPending();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"select a", "select a"})); // once per folder listed
}

TEST_F(LocalEnumerationTest, OpeningAFolderSelectsAndOpensItsFirstNoteLater) {
    QTemporaryDir folder;
    writeFile(folder.filePath("First.md"));
    tree.setSortMode(kSortModeName);
    tree.setLocalFolderURL(QUrl::fromLocalFile(folder.path() + "/"));
    const FileRep top = tree.localFolderTop();
    EXPECT_EQ(top->displayName, QFileInfo(folder.path()).fileName());
    EXPECT_EQ(top->path(), folder.path());
    EXPECT_TRUE(top->top && top->directory && !top->iCloud);
    EXPECT_EQ(tree.localFolderURL(), QUrl::fromLocalFile(folder.path() + "/"));
    EXPECT_EQ(view.calls, std::vector<std::string>{"reloadData"});

    dispatcher.advance(std::chrono::milliseconds(499));
    EXPECT_EQ(view.calls.size(), 1u);
    dispatcher.advance(std::chrono::milliseconds(1));
    const std::string name = testing::RecordingView::name(top);
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"reloadData", "expand " + name, "select First", "open First"}));

    view.calls.clear();
    tree.setLocalFolderURL(std::nullopt);
    EXPECT_EQ(tree.localFolderTop(), nullptr);
    EXPECT_FALSE(tree.localFolderURL().has_value());
    EXPECT_EQ(view.calls, std::vector<std::string>{"reloadData"});
}

TEST_F(LocalEnumerationTest, AnEmptyFolderSelectsNothingAndClosingCancelsTheOpening) {
    QTemporaryDir empty;
    tree.setLocalFolderURL(QUrl::fromLocalFile(empty.path()));
    dispatcher.advance(platform::seconds(1));
    EXPECT_EQ(view.calls, std::vector<std::string>{"reloadData"});

    QTemporaryDir folder;
    writeFile(folder.filePath("Note.md"));
    view.calls.clear();
    tree.setLocalFolderURL(QUrl::fromLocalFile(folder.path()));
    tree.setLocalFolderURL(std::nullopt);
    dispatcher.advance(platform::seconds(1));
    EXPECT_EQ(view.calls, (std::vector<std::string>{"reloadData", "reloadData"}));
}

} // namespace
} // namespace quillet
