#pragma once
// The editor's own keys, watched on its text view: Ctrl+] and Ctrl+[ shift the selected lines
// in and out (any file), Return continues a list or quote (a Markdown file, outside code fences
// and HTML blocks). A read-only text is left to the view.

#include <QObject>

namespace quillet {

class MarkdownViewController;

class MarkdownKeyCommands final : public QObject {
public:
    explicit MarkdownKeyCommands(MarkdownViewController& editor);
    ~MarkdownKeyCommands() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool caretLineMayContinue() const;

    MarkdownViewController& editor_;
};

} // namespace quillet
