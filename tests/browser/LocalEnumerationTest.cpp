#include "BrowserTestSupport.h"
#include "browser/NoteTree.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillet {
namespace {

using testing::childNamed;
using testing::namesOf;
using testing::writeFile;

class LocalEnumerationTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.setView(&view);
        tree.setLocalContainer(QUrl::fromLocalFile(library.path()));
    }
    QString at(const QString& relative) const { return library.filePath(relative); }
    FileRep enumerate() {
        tree.queryLocalTop();
        return tree.localTop();
    }

    QTemporaryDir library, settings;
    platform::UserDefaults defaults{settings.filePath("defaults.ini")};
    platform::ManualDispatcher dispatcher;
    testing::RecordingView view;
    NoteTree tree{defaults, dispatcher};
};

TEST_F(LocalEnumerationTest, UnreadableMissingAndBundleFoldersGiveNoChildren) {
    writeFile(at("Open/Note.md"));
    writeFile(at("Closed/Secret.md"));
    ::chmod(QFile::encodeName(library.path()).constData(), 0755);
    ::chmod(QFile::encodeName(at("Closed")).constData(), 0); // closed to everyone but root
    // Root reads every folder: the child drops to "nobody" first.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
        const FileRep top = enumerate();
        const FileRep closed = childNamed(top, "Closed"), open = childNamed(top, "Open");
        ::_exit(closed && closed->children->empty() && open && open->children->size() == 1 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(QFile::encodeName(at("Closed")).constData(), 0700); // so that the folder can be removed
    if (WEXITSTATUS(status) != 99) {
        EXPECT_EQ(status, 0);
    }

    tree.setLocalContainer(QUrl::fromLocalFile(at("missing")));
    EXPECT_TRUE(enumerate()->children->empty());
    EXPECT_TRUE(view.calls.empty()); // nothing to show: no refresh
    const FileRep bundle = FileRepresentation::forPath(at("Viewer.app"));
    writeFile(at("Viewer.app/Inside.md"));
    tree.enumerateLocalFile(bundle, 0);
    EXPECT_TRUE(bundle->children && bundle->children->empty());
}

TEST_F(LocalEnumerationTest, FoldersAreSortedBySortModeAndTheSelectionIsKept) {
    for (const auto& [name, seconds] :
         {std::pair("b.md", 1000), std::pair("a.md", 3000), std::pair("C.md", 2000),
          std::pair("Sub/z.md", 1000), std::pair("Sub/y.md", 3000), std::pair("Sub/x.md", 2000)}) {
        writeFile(at(name));
        QFile file(at(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            file.setFileTime(QDateTime::fromSecsSinceEpoch(seconds), QFileDevice::FileModificationTime));
    }
    FileRep top = enumerate();
    EXPECT_EQ(namesOf(*top->children), (QStringList{"Sub", "a", "C", "b"})); // newest first: Sub changed last
    EXPECT_EQ(view.calls, std::vector<std::string>{"updateTable"});

    tree.setSortMode(kSortModeName);
    view.selected = childNamed(enumerate(), "a");
    top = enumerate();
    EXPECT_EQ(namesOf(*top->children), (QStringList{"C", "Sub", "a", "b"}));
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
    EXPECT_EQ(view.calls, std::vector<std::string>{"reloadData"});
    dispatcher.advance(std::chrono::milliseconds(499));
    EXPECT_EQ(view.calls.size(), 1u);
    dispatcher.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"reloadData", "expand " + testing::RecordingView::name(top),
                                        "select First", "open First"}));

    view.calls.clear();
    tree.setLocalFolderURL(std::nullopt);
    EXPECT_EQ(tree.localFolderTop(), nullptr);
    EXPECT_EQ(view.calls, std::vector<std::string>{"reloadData"});
}

TEST_F(LocalEnumerationTest, AnEmptyFolderSelectsNothingAndClosingCancelsTheOpening) {
    QTemporaryDir empty, folder;
    tree.setLocalFolderURL(QUrl::fromLocalFile(empty.path()));
    dispatcher.advance(platform::seconds(1));
    EXPECT_EQ(view.calls, std::vector<std::string>{"reloadData"});
    writeFile(folder.filePath("Note.md"));
    view.calls.clear();
    tree.setLocalFolderURL(QUrl::fromLocalFile(folder.path()));
    tree.setLocalFolderURL(std::nullopt);
    dispatcher.advance(platform::seconds(1));
    EXPECT_EQ(view.calls, (std::vector<std::string>{"reloadData", "reloadData"}));
}

} // namespace
} // namespace quillet
