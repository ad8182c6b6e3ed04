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
    QString documents = temp.filePath("Documents");
    QDir css{temp.filePath("Documents/CSS")};
    QDir bundled{QString::fromLatin1(kStyleSheetResourceFolder)};
    QStringList names = bundledStyleSheetNames();
    platform::UserDefaults defaults{temp.filePath("defaults.ini")};

    QString version() const {
        return defaults.string(QString::fromLatin1(keys::kMarkdownStyleVersion)).value_or(QString());
    }
    void setVersion(const QString& value) {
        defaults.setObject(QString::fromLatin1(keys::kMarkdownStyleVersion), value);
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(MarkdownStyleSheetsTest, FirstInstallationCopiesEverySheetWritableAndStoresTheVersion) {
    ASSERT_TRUE(names.contains("markdown.css"));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), names.size());
    EXPECT_EQ(css.entryList({"*.css"}, QDir::Files, QDir::Name), names);
    for (const QString& name : names) {
        EXPECT_FALSE(read(css.filePath(name)).isEmpty()) << name.toStdString();
        EXPECT_EQ(read(css.filePath(name)), read(bundled.filePath(name))) << name.toStdString();
        // Copies of resources would be read-only, which the browser takes for a locked note.
        EXPECT_TRUE(QFile::permissions(css.filePath(name)) & QFileDevice::WriteOwner) << name.toStdString();
    }
    EXPECT_EQ(version(), QStringLiteral("1.0"));
    EXPECT_GE(defaults.date(QString::fromLatin1(keys::kMarkdownStyleCreateDate)).value_or(QDateTime()),
              before);

    // All of them missing again counts as a first installation.
    setVersion("sentinel");
    ASSERT_TRUE(css.removeRecursively());
    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), names.size());
    EXPECT_EQ(version(), QStringLiteral("1.0"));
}

TEST_F(MarkdownStyleSheetsTest, LaterLaunchesCopyOnlyMissingSheetsAndNeverOverwrite) {
    initMarkdownStyleSheet(documents, defaults);
    QFile edited(css.filePath("markdown.css"));
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
    edited.write("body { color: red; }");
    edited.close();
    const QString removed = css.filePath(names.last() == "markdown.css" ? names.first() : names.last());
    ASSERT_TRUE(QFile::remove(removed));
    setVersion("sentinel");

    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), 1);
    EXPECT_TRUE(QFile::exists(removed));
    EXPECT_EQ(read(edited.fileName()), QByteArray("body { color: red; }"));
    EXPECT_EQ(version(), QStringLiteral("sentinel"))
        << "the keys are written only when every sheet was missing";
    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), 0);
}

TEST_F(MarkdownStyleSheetsTest, WhatStandsInTheWayIsLeftAlone) {
    // A folder named like a sheet counts as the sheet.
    ASSERT_TRUE(QDir().mkpath(css.filePath("markdown.css")));
    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), names.size() - 1);
    EXPECT_TRUE(version().isEmpty());

    // A file where the folder should be: nothing at all.
    ASSERT_TRUE(css.removeRecursively());
    QFile file(css.path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(initMarkdownStyleSheet(documents, defaults), 0);
    EXPECT_TRUE(version().isEmpty());
}

} // namespace
} // namespace quillet
