// The preview's refresh and its style sheet; the editor font; the search commands.

#include "ViewControllerTestSupport.h"

namespace quillet::testing {
namespace {

const QByteArray kNoteText = "# Trip\n\nPack the tent.\n";

TEST_F(ViewControllerTest, ThePreviewRefreshesTwoSecondsAfterTheLastEdit) {
    QDir().mkpath(container + "/CSS");
    writeBytes(container + "/CSS/paper.css", "body { color: black }");
    controller->markdownStyleMenuSelected("paper.css");
    open(writeNote("Trip.md", kNoteText));
    ASSERT_FALSE(preview->pages.empty());
    EXPECT_EQ(preview->cssURLs.back(), QUrl::fromLocalFile(container + "/CSS/paper.css"));
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
}

TEST_F(ViewControllerTest, AHiddenPreviewIsNotConvertedAndRefreshesCoalesce) {
    open(writeNote("Trip.md", kNoteText));
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
    for (int i = 0; i < 3; ++i)
        controller->updateWebView();
    dispatcher.runPending();
    EXPECT_EQ(preview->pages.size(), shown + 3);
    EXPECT_TRUE(preview->pages.back().contains("More.abc"));
}

TEST_F(ViewControllerTest, AnEditPatchesOnlyItsPiecesAndAnotherNoteIsANewPage) {
    open(writeNote("Trip.md", "# Trip\n\nPack the tent.\n\nLast line.\n"));
    ASSERT_FALSE(preview->updates.empty());
    EXPECT_TRUE(preview->updates.back().newDocument);
    const qsizetype pieces = preview->body.size();

    typeAtEnd("More");
    advance(2.0);
    const PreviewUpdate& edit = preview->updates.back();
    EXPECT_FALSE(edit.newDocument);
    EXPECT_EQ(edit.patch.start + edit.patch.removed, pieces);
    ASSERT_EQ(edit.patch.inserted.size(), 1);
    EXPECT_TRUE(edit.patch.inserted[0].contains("More")) << edit.patch.inserted[0].toStdString();

    open(writeNote("Other.md", "Other note.\n"));
    EXPECT_TRUE(preview->updates.back().newDocument);
    EXPECT_EQ(preview->pages.back(), "<p>Other note.</p>");
    controller->togglePreview(false);
    EXPECT_FALSE(preview->shownStates.back()) << "a hidden pane is told to let its page go";
}

TEST_F(ViewControllerTest, ThePreviewUsesAPrivateTemporaryFolderAndCleansIt) {
    open(writeNote("Trip.md", kNoteText));
    ASSERT_FALSE(preview->baseURLs.empty());
    const QString folder = preview->baseURLs.back().toLocalFile();
    EXPECT_TRUE(folder.startsWith(QDir::tempPath() + "/quillet-")) << folder.toStdString();
    EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());

    writeBytes(folder + "/old-image.png", "png");
    writeBytes(folder + "/.hidden", "kept");
    controller->updateWebView();
    dispatcher.runPending();
    EXPECT_FALSE(QFile::exists(folder + "/old-image.png"));
    EXPECT_TRUE(QFile::exists(folder + "/.hidden"));
}

TEST_F(ViewControllerTest, TheEditorFontIsKeptInTheDefaults) {
    EXPECT_EQ(controller->selectedFont().family(), "Helvetica");
    defaults->setObject("NSFont", "DejaVu Serif");
    makeController();
    EXPECT_EQ(controller->selectedFont().family(), "DejaVu Serif");

    QFont chosen("DejaVu Sans Mono");
    chosen.setPointSizeF(11.5);
    controller->setFont(chosen);
    EXPECT_EQ(editor().selectedFont().family(), "DejaVu Sans Mono");
    makeController();
    EXPECT_EQ(controller->selectedFont().family(), "DejaVu Sans Mono");
    EXPECT_DOUBLE_EQ(controller->selectedFont().pointSizeF(), 11.5);
}

TEST_F(ViewControllerTest, SearchingTheOpenNoteAndOthers) {
    const FileRep trip = writeNote("Trip.md", kNoteText);
    open(trip);
    typeAtEnd("Tent pegs.\n"); // unsaved: the open note is searched in the editor
    EXPECT_TRUE(controller->searchResults("TENT", trip));
    ASSERT_NE(trip->searchResults(), nullptr);
    EXPECT_EQ(trip->searchResults()->size(), 2u);

    const FileRep other = writeNote("Other.md", "A tent here.\nAnd a tent there.\n");
    const FileRep without = writeNote("Without.md", "Nothing to see.\n");
    EXPECT_FALSE(controller->searchResults("tent", other)); // read in the background
    controller->findString("TENT", other);
    controller->findString("tent", without);
    dispatcher.runPending();
    ASSERT_NE(other->searchResults(), nullptr);
    EXPECT_EQ(other->searchResults()->at(1).lineRange, (Range{13, 17}));
    EXPECT_TRUE(other->hasSearchTarget());
    EXPECT_FALSE(without->hasSearchTarget());

    controller->setSearchTarget("pegs");
    EXPECT_EQ(editor().searchTarget(), "pegs");
    EXPECT_EQ(controller->folderViewController()->searchTarget(), "pegs");
    controller->enterOutlineMode(true);
    controller->enterOutlineMode(false);
    EXPECT_EQ(shell.searchFieldStates, (std::vector<bool>{false, true}));
}

} // namespace
} // namespace quillet::testing
