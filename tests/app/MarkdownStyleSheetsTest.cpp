#include "app/MarkdownStyleSheets.h"

#include "QtPrinting.h"
#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillet {
namespace {

namespace keys = platform::defaults_keys;

class MarkdownStyleSheetsTest : public testing::Test {
protected:
    QTemporaryDir temp;
    QString documents = temp.filePath(QStringLiteral("Documents"));
    QString css = temp.filePath(QStringLiteral("Documents/CSS"));
    platform::UserDefaults defaults{temp.filePath(QStringLiteral("defaults.ini"))};

    QString version() const {
        return defaults.string(QString::fromLatin1(keys::kMarkdownStyleVersion)).value_or(QString());
    }
    std::optional<QDateTime> createDate() const {
        return defaults.date(QString::fromLatin1(keys::kMarkdownStyleCreateDate));
    }

    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
};

TEST_F(MarkdownStyleSheetsTest, BundlesMarkdownCssAndAtLeastTwoMore) {
    const QStringList names = bundledStyleSheetNames();
    EXPECT_TRUE(names.contains(QStringLiteral("markdown.css")));
    EXPECT_GE(names.size(), 3);
    for (const QString& name : names)
        EXPECT_FALSE(read(QDir(QString::fromLatin1(kStyleSheetResourceFolder)).filePath(name)).isEmpty())
            << name.toStdString();
}

TEST_F(MarkdownStyleSheetsTest, FirstInstallationCopiesEverySheetWritableAndStoresTheVersion) {
    const QStringList names = bundledStyleSheetNames();
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), names.size());

    EXPECT_EQ(QDir(css).entryList({QStringLiteral("*.css")}, QDir::Files, QDir::Name), names);
    for (const QString& name : names) {
        const QString path = QDir(css).filePath(name);
        EXPECT_EQ(read(path), read(QDir(QString::fromLatin1(kStyleSheetResourceFolder)).filePath(name)));
        // Copies of resources would be read-only, which the browser takes for a locked note.
        EXPECT_TRUE(QFile::permissions(path) & QFileDevice::WriteOwner) << name.toStdString();
    }
    EXPECT_EQ(version(), QStringLiteral("1.0"));
    ASSERT_TRUE(createDate().has_value());
    EXPECT_GE(*createDate(), before);
}

TEST_F(MarkdownStyleSheetsTest, LaterLaunchesCopyOnlyMissingSheetsAndNeverOverwrite) {
    initMarkdownStyleSheet(documents, defaults);
    const QString edited = QDir(css).filePath(QStringLiteral("markdown.css"));
    write(edited, "body { color: red; }");
    const QStringList names = bundledStyleSheetNames();
    const QString removed =
        QDir(css).filePath(names.last() == QLatin1String("markdown.css") ? names.first() : names.last());
    ASSERT_TRUE(QFile::remove(removed));
    defaults.setObject(QString::fromLatin1(keys::kMarkdownStyleVersion), QStringLiteral("sentinel"));

    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), 1);
    EXPECT_TRUE(QFile::exists(removed));
    EXPECT_EQ(read(edited), QByteArray("body { color: red; }"));
    EXPECT_EQ(version(), QStringLiteral("sentinel")) << "keys are written only when every sheet was missing";

    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), 0);
    EXPECT_EQ(version(), QStringLiteral("sentinel"));
}

TEST_F(MarkdownStyleSheetsTest, AllSheetsMissingAgainCountsAsFirstInstallation) {
    initMarkdownStyleSheet(documents, defaults);
    defaults.setObject(QString::fromLatin1(keys::kMarkdownStyleVersion), QStringLiteral("sentinel"));
    ASSERT_TRUE(QDir(css).removeRecursively());

    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), bundledStyleSheetNames().size());
    EXPECT_EQ(version(), QStringLiteral("1.0"));
}

TEST_F(MarkdownStyleSheetsTest, AFolderOfTheSameNameCountsAsPresent) {
    ASSERT_TRUE(QDir().mkpath(QDir(css).filePath(QStringLiteral("markdown.css"))));
    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), bundledStyleSheetNames().size() - 1);
    EXPECT_TRUE(QFileInfo(QDir(css).filePath(QStringLiteral("markdown.css"))).isDir());
    EXPECT_TRUE(version().isEmpty());
}

TEST_F(MarkdownStyleSheetsTest, NothingHappensWhenTheFolderCannotBeMade) {
    ASSERT_TRUE(QDir().mkpath(documents));
    write(css, "a file where the folder should be");

    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), 0);
    EXPECT_TRUE(version().isEmpty());
    EXPECT_FALSE(createDate().has_value());
}

} // namespace
} // namespace quillet
