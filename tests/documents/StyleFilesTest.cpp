// New style sheets and scripts, and the script commands, on a main controller with real panes.
#include "ViewControllerTestSupport.h"

namespace quillet::testing {
namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class ScriptRecorder final : public ViewController {
public:
    using ViewController::ViewController;
    void runPythonFromString(const QString& text) override { ran.append(text); }
    QStringList ran;
};

class StyleFilesTest : public ViewControllerTest {
protected:
    void SetUp() override {
        container = platform::localContainerPath();
        for (const char* folder : {"CSS", "Script/Tools", "Project/Script"})
            ASSERT_TRUE(QDir(container).mkpath(folder));
        writeBytes(container + "/Script/InsertDate.py", "print(1)\n");
        writeBytes(container + "/Script/Empty.py", "");
        writeBytes(container + "/Script/Tools/Sort.py", "x\n");
        writeBytes(container + "/Project/Script/Build.py", "x\n");
        ViewControllerTest::SetUp();
    }
    std::unique_ptr<ViewController> newController() override {
        return std::make_unique<ScriptRecorder>(*defaults, dispatcher);
    }
    FileRep record(const QString& relative) {
        return controller->folderViewController()->noteTree().findFileRep(QUrl::fromLocalFile(notePath(relative)));
    }
    // "Create File" answered with `name`.
    void create(const FileRep& folder, const std::optional<QString>& name) {
        shell.newFileName = name;
        controller->createFile(folder);
        dispatcher.runPending();
    }
    QString openPath() {
        const FileRep open = controller->lastFileRepresentation();
        return open ? open->path() : QString();
    }
};

TEST_F(StyleFilesTest, ANewStyleSheetOrScriptIsWrittenListedFirstAndOpened) {
    create(record("CSS"), "dark");
    EXPECT_EQ(shell.askedForNames, QStringList{notePath("CSS") + " .css"});
    EXPECT_EQ(contentsOf(notePath("CSS/dark.css")), "/* CSS for Markdown */\n\n");
    EXPECT_EQ(openPath(), notePath("CSS/dark.css"));
    EXPECT_EQ(record("CSS")->children->front()->path(), notePath("CSS/dark.css"));
    create(record("CSS"), "a.css"); // the extension is always added
    EXPECT_EQ(openPath(), notePath("CSS/a.css.css"));
    create(record("Script"), "tool");
    EXPECT_EQ(contentsOf(notePath("Script/tool.py")), "#! /usr/bin/env python3\n# coding: utf-8\n");

    // Another folder, Cancel and an empty name: nothing.
    create(FileRepresentation::forPath(notePath("Project")), "x");
    create(record("CSS"), std::nullopt);
    create(record("CSS"), QString());
    EXPECT_EQ(shell.askedForNames.size(), 5);
    EXPECT_EQ(QDir(notePath("CSS")).entryList(QDir::Files), (QStringList{"a.css.css", "dark.css"}));
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(StyleFilesTest, AFailedWriteSaysSoAndNeverReplacesAFile) {
    writeBytes(notePath("CSS/mine.css"), "body {}\n"); // made after the dialog checked the name
    create(record("CSS"), "mine");
    EXPECT_EQ(contentsOf(notePath("CSS/mine.css")), "body {}\n");
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].message, "Couldn't create “mine.css”.");

    const FileRep css = record("CSS");
    ASSERT_TRUE(QDir(notePath("CSS")).removeRecursively());
    create(css, "gone");
    EXPECT_EQ(alerts.alerts.size(), 2u);
    EXPECT_TRUE(css->children->empty());
    EXPECT_TRUE(openPath().isEmpty());
}

TEST_F(StyleFilesTest, NewScriptGoesBesideTheOpenScriptElseIntoTheLibrarysScriptFolder) {
    controller->addScriptFile();
    open(writeNote("Note.md", "# Note\n"));
    controller->addScriptFile();
    open(record("Project/Script/Build.py"));
    controller->addScriptFile();
    open(record("Script/Tools/Sort.py")); // not in a "Script" folder itself
    controller->addScriptFile();
    const QString library = notePath("Script") + " .py";
    EXPECT_EQ(shell.askedForNames, (QStringList{library, library, notePath("Project/Script") + " .py", library}));
}

TEST_F(StyleFilesTest, ScriptsOpenAndHandTheirTextToTheHook) {
    controller->editScriptFile("Missing.py");
    EXPECT_TRUE(openPath().isEmpty());
    controller->editScriptFile("InsertDate.py");
    dispatcher.runPending();
    EXPECT_EQ(openPath(), notePath("Script/InsertDate.py"));

    for (const QString title : {"Edit Python", "Empty.py", "Missing.py", "InsertDate.py"})
        controller->scriptMenuDidSelect(title);
    dispatcher.runPending();
    EXPECT_EQ(static_cast<ScriptRecorder&>(*controller).ran, QStringList{"print(1)\n"});
    EXPECT_FALSE(controller->pythonAvailable());
}

} // namespace
} // namespace quillet::testing
