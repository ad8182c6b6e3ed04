#include "browser/LocalRecords.h"

#include "BrowserTestSupport.h"
#include "browser/PathComponents.h"
#include "platform/TypeIdentifiers.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(LocalRecords, NamesLoseTheirExtensionAsByThePathRule) {
    platform::FolderEntry entry;
    entry.isRegularFile = true;
    entry.typeIdentifier = QStringLiteral("public.plain-text");
    for (const char* name :
         {"Note.md", "a.b.md", "v1.2 notes", ".profile", "trailing.", "plain", "..double"}) {
        entry.name = QString::fromUtf8(name);
        entry.path = QStringLiteral("/notes/") + entry.name;
        const FileRep rep = recordForFolderEntry(entry);
        EXPECT_EQ(rep->filename, lastComponentWithoutExtension(entry.path)) << name;
        EXPECT_EQ(rep->displayName, rep->filename) << name;
        EXPECT_EQ(rep->path(), entry.path) << name;
    }
}

TEST(LocalRecords, EntriesWithoutAReportedTypeAreJudgedByTheirExtension) {
    platform::FolderEntry entry;
    entry.isRegularFile = true;
    const auto typeOf = [&](const char* name) {
        entry.name = QString::fromUtf8(name);
        entry.path = QStringLiteral("/notes/") + entry.name;
        return *recordForFolderEntry(entry)->UTI;
    };
    EXPECT_EQ(typeOf("Lost.md"), QString::fromLatin1(platform::kMarkdownTypeIdentifier));
    EXPECT_EQ(typeOf("Lost"), QString::fromLatin1(platform::kPlainTextTypeIdentifier));
    EXPECT_TRUE(isBrowsableEntry(entry));
    typeOf("iChats");
    EXPECT_FALSE(isBrowsableEntry(entry));
    typeOf("Photo.png");
    EXPECT_FALSE(isBrowsableEntry(entry, QString::fromLatin1(platform::kPngTypeIdentifier)));
    entry.isRegularFile = false;
    entry.isDirectory = true;
    typeOf("Photo.app");
    EXPECT_FALSE(isBrowsableEntry(entry));
}

} // namespace
} // namespace quillet
