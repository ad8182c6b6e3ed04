#include "BrowserTestSupport.h"
#include "browser/NoteTree.h"
#include "platform/ItemLock.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace quillet {
namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

class PreparationTest : public ::testing::Test {
protected:
    LocalContainerSetup setup(bool python) {
        return {container(), python, [this](const QString& name) -> std::optional<QByteArray> {
                    requested.append(name);
                    if (name == "Markdown.md") return QByteArray("# Welcome\n");
                    if (name == "InsertDate.py") return QByteArray("print('today')\n");
                    return std::nullopt;
                }};
    }
    QString container() const { return root.filePath("Documents"); }
    QString at(const QString& relative) const { return container() + "/" + relative; }

    QTemporaryDir root;
    QTemporaryDir settings;
    platform::UserDefaults defaults{settings.filePath("defaults.ini")};
    platform::ManualDispatcher dispatcher;
    NoteTree tree{defaults, dispatcher};
    QStringList requested;
};

TEST_F(PreparationTest, WithPythonAFreshContainerGetsScriptsAndTheWelcomeNote) {
    tree.prepareLocalContainer(setup(true));
    EXPECT_EQ(contentsOf(at("Script/InsertDate.py")), QByteArray("print('today')\n"));
    EXPECT_EQ(contentsOf(at("Markdown.md")), QByteArray("# Welcome\n"));
    EXPECT_EQ(tree.rowHeight(), 34.0);
    EXPECT_EQ(tree.localContainer(), QUrl::fromLocalFile(container()));
    const FileRep top = tree.localTop();
    ASSERT_TRUE(top);
    EXPECT_EQ(top->displayName, QStringLiteral("On My Mac"));
    EXPECT_TRUE(top->top && top->directory && !top->iCloud && top->downloaded == true);
    EXPECT_EQ(testing::namesOf(*top->children).size(), 2); // "Markdown" and "Script"
    EXPECT_TRUE(testing::childNamed(top, "Markdown"));
    EXPECT_EQ(testing::namesOf(*testing::childNamed(top, "Script")->children), QStringList{"InsertDate"});
}

TEST_F(PreparationTest, WithoutPythonNothingIsSeeded) {
    tree.prepareLocalContainer(setup(false));
    EXPECT_TRUE(QFileInfo(container()).isDir());
    EXPECT_FALSE(QFileInfo::exists(at("Script")));
    EXPECT_FALSE(QFileInfo::exists(at("Markdown.md")));
    EXPECT_TRUE(requested.isEmpty());
    EXPECT_TRUE(tree.localTop()->children->empty());
}

TEST_F(PreparationTest, TheWelcomeNoteGoesOnlyIntoAContainerWithoutFiles) {
    testing::writeFile(at("Mine.txt"), "mine\n");
    tree.prepareLocalContainer(setup(true));
    EXPECT_FALSE(QFileInfo::exists(at("Markdown.md")));

    QFile::remove(at("Mine.txt"));
    testing::writeFile(at("Script/InsertDate.py"), "my own version\n");
    testing::writeFile(at("Projects/Plan.md"));
    tree.prepareLocalContainer(setup(true));
    EXPECT_EQ(contentsOf(at("Script/InsertDate.py")), QByteArray("my own version\n")); // never replaced
    EXPECT_EQ(contentsOf(at("Markdown.md")), QByteArray("# Welcome\n"));

    testing::writeFile(at("Markdown.md"), "edited\n");
    tree.prepareLocalContainer(setup(true));
    EXPECT_EQ(contentsOf(at("Markdown.md")), QByteArray("edited\n"));
}

TEST_F(PreparationTest, AFailedScriptFolderIsNotFatal) {
    QDir().mkpath(container());
    if (!platform::setImmutableAttribute(container(), true))
        GTEST_SKIP() << "the immutable attribute cannot be set here";
    tree.prepareLocalContainer(setup(true));
    platform::setImmutableAttribute(container(), false);
    EXPECT_FALSE(QFileInfo::exists(at("Script")));
    EXPECT_FALSE(QFileInfo::exists(at("Markdown.md")));
    ASSERT_TRUE(tree.localTop());
    EXPECT_TRUE(tree.localTop()->children->empty());
}

TEST(BundledResources, TheWelcomeNoteIsBuiltIn) {
    const LocalContainerSetup system = LocalContainerSetup::system();
    ASSERT_TRUE(system.resource);
    const std::optional<QByteArray> note = system.resource("Markdown.md");
    ASSERT_TRUE(note.has_value());
    EXPECT_TRUE(note->startsWith("# "));
    EXPECT_FALSE(system.resource("Missing.md").has_value());
}

} // namespace
} // namespace quillet
