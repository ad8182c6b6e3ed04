#include "BrowserTestSupport.h"
#include "browser/NoteTree.h"
#include "platform/ItemLock.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

class PreparationTest : public ::testing::Test {
protected:
    void prepare(bool python) {
        tree.prepareLocalContainer(
            {container(), python, [this](const QString& name) -> std::optional<QByteArray> {
                 requested.append(name);
                 if (name == "Markdown.md") return QByteArray("# Welcome\n");
                 if (name == "InsertDate.py") return QByteArray("print('today')\n");
                 return std::nullopt;
             }});
    }
    QString container() const { return root.filePath("Documents"); }
    QString at(const QString& relative) const { return container() + "/" + relative; }

    QTemporaryDir root, settings;
    platform::UserDefaults defaults{settings.filePath("defaults.ini")};
    platform::ManualDispatcher dispatcher;
    NoteTree tree{defaults, dispatcher};
    QStringList requested;
};

TEST_F(PreparationTest, WithPythonAFreshContainerGetsScriptsAndTheWelcomeNote) {
    prepare(true);
    EXPECT_EQ(contentsOf(at("Script/InsertDate.py")), QByteArray("print('today')\n"));
    EXPECT_EQ(contentsOf(at("Markdown.md")), QByteArray("# Welcome\n"));
    const FileRep top = tree.localTop();
    ASSERT_TRUE(top);
    EXPECT_EQ(top->children->size(), 2u);
    EXPECT_TRUE(testing::childNamed(top, "Markdown"));
    EXPECT_EQ(testing::namesOf(*testing::childNamed(top, "Script")->children), QStringList{"InsertDate"});
}

TEST_F(PreparationTest, WithoutPythonNothingIsSeeded) {
    prepare(false);
    EXPECT_TRUE(QFileInfo(container()).isDir());
    EXPECT_TRUE(QDir(container()).isEmpty());
    EXPECT_TRUE(requested.isEmpty());
    EXPECT_TRUE(tree.localTop()->children->empty());
}

TEST_F(PreparationTest, TheWelcomeNoteGoesOnlyIntoAContainerWithoutFilesAndNothingIsReplaced) {
    testing::writeFile(at("Mine.txt"), "mine\n");
    prepare(true);
    EXPECT_FALSE(QFileInfo::exists(at("Markdown.md")));

    QFile::remove(at("Mine.txt"));
    testing::writeFile(at("Script/InsertDate.py"), "my own version\n");
    testing::writeFile(at("Projects/Plan.md"));
    prepare(true);
    EXPECT_EQ(contentsOf(at("Script/InsertDate.py")), QByteArray("my own version\n"));
    EXPECT_EQ(contentsOf(at("Markdown.md")), QByteArray("# Welcome\n"));

    testing::writeFile(at("Markdown.md"), "edited\n");
    prepare(true);
    EXPECT_EQ(contentsOf(at("Markdown.md")), QByteArray("edited\n"));
}

TEST_F(PreparationTest, AFolderThatRefusesTheScriptsIsNotFatal) {
    QDir().mkpath(container());
    if (!platform::setImmutableAttribute(container(), true))
        GTEST_SKIP() << "the immutable attribute cannot be set";
    prepare(true);
    platform::setImmutableAttribute(container(), false);
    EXPECT_TRUE(QDir(container()).isEmpty());
    ASSERT_TRUE(tree.localTop());
    EXPECT_TRUE(tree.localTop()->children->empty());
}

TEST(BundledResources, TheWelcomeNoteAndTheScriptAreBuiltIn) {
    const LocalContainerSetup system = LocalContainerSetup::system();
    EXPECT_TRUE(system.resource("Markdown.md").value_or("").startsWith("# "));
    EXPECT_TRUE(system.resource("InsertDate.py").value_or("").startsWith("#! /usr/bin/env python3\n"));
    EXPECT_FALSE(system.resource("Missing.md").has_value());
}

} // namespace
} // namespace quillet
