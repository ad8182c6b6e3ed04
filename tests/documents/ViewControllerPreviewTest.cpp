// The preview's refresh, its style sheet and its pane; the editor font; the search commands.

#include "ViewControllerTestSupport.h"

#include <QDirIterator>
#include <QSplitter>

namespace quillet::testing {
namespace {

const QByteArray kNoteText = "# Trip\n\nPack the tent.\n";

TEST_F(ViewControllerTest, ThePreviewRefreshesTwoSecondsAfterTheLastEdit) {
    QDir().mkpath(container + "/CSS");
    writeBytes(container + "/CSS/paper.css", "body { color: black }");
    controller->markdownStyleMenuSelected("paper.css");
    EXPECT_EQ(defaults->string("RQ1DselectedMarkdownStyle"), "paper.css");

    const FileRep note = writeNote("Trip.md", kNoteText);
    open(note);
    ASSERT_FALSE(preview->pages.empty());
    EXPECT_EQ(preview->cssURLs.back(), QUrl::fromLocalFile(container + "/CSS/paper.css"));
    EXPECT_TRUE(preview->pages.back().contains("<h1>Trip</h1>")) << preview->pages.back().toStdString();
    const std::size_t shown = preview->pages.size();

    typeAtEnd("## Lamp");
    advance(1.9);
    EXPECT_EQ(preview->pages.size(), shown);
    advance(0.2);
    ASSERT_EQ(preview->pages.size(), shown + 1);
    EXPECT_TRUE(preview->pages.back().contains("<h2>Lamp</h2>"));

    // A style sheet that went away falls back to the application's own.
    QFile::remove(container + "/CSS/paper.css");
    typeAtEnd(" Soon.");
    advance(2.0);
    EXPECT_EQ(preview->cssURLs.back(), QUrl("qrc:/quillet/css/markdown.css"));
    EXPECT_EQ(controller->markdownCSS(), "markdown.css");
}

TEST_F(ViewControllerTest, AHiddenPreviewIsNotConverted) {
    const FileRep note = writeNote("Trip.md", kNoteText);
    open(note);
    controller->togglePreview(false);
    const std::size_t shown = preview->pages.size();
    typeAtEnd("More.");
    advance(10.0);
    EXPECT_EQ(preview->pages.size(), shown);
    controller->togglePreview(true); // shown again: refreshed at once
    dispatcher.runPending();
    EXPECT_EQ(preview->pages.size(), shown + 1);

    // Refreshes asked for during a conversion run once after it, with the latest text.
    typeAtEnd("abc");
    for (int i = 0; i < 3; ++i) controller->updateWebView();
    dispatcher.runPending();
    EXPECT_EQ(preview->pages.size(), shown + 3);
    EXPECT_TRUE(preview->pages.back().contains("More.abc"));
}

TEST_F(ViewControllerTest, ThePreviewUsesAPrivateTemporaryFolderAndCleansIt) {
    const FileRep note = writeNote("Trip.md", kNoteText);
    open(note);
    ASSERT_FALSE(preview->baseURLs.empty());
    const QString folder = preview->baseURLs.back().toLocalFile();
    EXPECT_TRUE(folder.startsWith(QDir::tempPath() + "/quillet-")) << folder.toStdString();
    EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());

    writeBytes(folder + "/old-image.png", "png");
    writeBytes(folder + "/.hidden", "kept");
    QDir().mkpath(folder + "/sub");
    controller->updateWebView();
    dispatcher.runPending();
    EXPECT_FALSE(QFile::exists(folder + "/old-image.png"));
    EXPECT_TRUE(QFile::exists(folder + "/.hidden"));
    EXPECT_TRUE(QFileInfo(folder + "/sub").isDir());
}

TEST_F(ViewControllerTest, ShowingAndHidingThePreviewPane) {
    controller->resize(1200, 800);
    controller->show();
    QSplitter& split = *controller->splitView();
    ASSERT_EQ(split.count(), 3);
    EXPECT_GE(split.sizes()[0], 180);
    EXPECT_GT(split.sizes()[1], 0);
    EXPECT_GT(split.sizes()[2], 0);

    controller->showPreview(false);
    EXPECT_EQ(split.sizes()[2], 0);
    EXPECT_FALSE(controller->webViewState());
    EXPECT_EQ(shell.previewStates, std::vector<bool>{false});
    controller->showPreview(false); // already hidden: nothing more
    EXPECT_EQ(shell.previewStates.size(), 1u);

    controller->showPreview(true);
    EXPECT_GT(split.sizes()[2], 0);
    EXPECT_TRUE(controller->webViewState());
    EXPECT_EQ(shell.previewStates, (std::vector<bool>{false, true}));
}

TEST_F(ViewControllerTest, TheEditorFontComesFromTheDefaults) {
    EXPECT_EQ(controller->selectedFont().family(), "Helvetica");
    EXPECT_DOUBLE_EQ(controller->selectedFont().pointSizeF(), 15.0);

    defaults->setObject("NSFont", "DejaVu Serif");
    makeController();
    EXPECT_EQ(controller->selectedFont().family(), "DejaVu Serif");
    EXPECT_DOUBLE_EQ(controller->selectedFont().pointSizeF(), 15.0);

    QFont chosen("DejaVu Sans Mono");
    chosen.setPointSizeF(11.5);
    controller->setFont(chosen);
    EXPECT_EQ(defaults->string("RQ1DdefaultFontName"), "DejaVu Sans Mono");
    EXPECT_EQ(defaults->number("RQ1DdefaultFontSize"), 11.5);
    EXPECT_EQ(editor().selectedFont().family(), "DejaVu Sans Mono");
    makeController();
    EXPECT_EQ(controller->selectedFont().family(), "DejaVu Sans Mono");
    EXPECT_DOUBLE_EQ(controller->selectedFont().pointSizeF(), 11.5);
}

TEST_F(ViewControllerTest, SearchingTheOpenNoteAndOthers) {
    const FileRep open_ = writeNote("Trip.md", kNoteText);
    open(open_);
    typeAtEnd("Tent pegs.\n"); // unsaved: the open note is searched in the editor
    EXPECT_TRUE(controller->searchResults("TENT", open_));
    ASSERT_NE(open_->searchResults(), nullptr);
    EXPECT_EQ(open_->searchResults()->size(), 2u);

    const FileRep other = writeNote("Other.md", "A tent here.\nAnd a tent there.\n");
    EXPECT_FALSE(controller->searchResults("tent", other)); // read in the background
    EXPECT_EQ(other->searchResults(), nullptr);
    dispatcher.runPending();
    ASSERT_NE(other->searchResults(), nullptr);
    EXPECT_EQ(other->searchResults()->size(), 2u);
    EXPECT_EQ(other->searchResults()->at(1).lineRange, (Range{13, 17}));

    const FileRep without = writeNote("Without.md", "Nothing to see.\n");
    controller->findString("TENT", other);
    controller->findString("tent", without);
    dispatcher.runPending();
    EXPECT_TRUE(other->hasSearchTarget());
    EXPECT_FALSE(without->hasSearchTarget());

    controller->setSearchTarget("pegs");
    EXPECT_EQ(controller->searchTarget(), "pegs");
    EXPECT_EQ(editor().searchTarget(), "pegs");
    EXPECT_EQ(controller->folderViewController()->searchTarget(), "pegs");

    controller->enterOutlineMode(true);
    controller->enterOutlineMode(false);
    EXPECT_EQ(shell.searchFieldStates, (std::vector<bool>{false, true}));
}

} // namespace
} // namespace quillet::testing
