#pragma once
// The user guide that ships with Quillet: a Markdown note in the data folder, shown read-only in
// a window of its own. The guide is outside every library and is only ever read: nothing in this
// window can write to it, its metadata or the user's settings.

#include <QString>
#include <QStringList>
#include <QWidget>

class QTextBrowser;

namespace quillet {

// The guide for the first of `uiLanguages` that has one (guide/<language>/), else the English
// guide; empty when `dataFolder` holds none.
QString helpGuidePath(const QString& dataFolder, const QStringList& uiLanguages);

class HelpGuideWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpGuideWindow(QWidget* parent = nullptr);

    // Shows the guide at `path`, converted as the preview converts a note; false when it cannot
    // be read (the window is then left as it was).
    bool load(const QString& path);
    QTextBrowser* view() const { return view_; }
    QString path() const { return path_; }

private:
    QTextBrowser* view_;
    QString path_;
};

} // namespace quillet
