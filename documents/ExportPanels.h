#pragma once
// The file dialogs of export and import. The window's implementation uses the desktop's dialogs
// (the portal's where there is one); tests answer with paths of their own.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace quillet {

class ExportPanels {
public:
    virtual ~ExportPanels() = default;
    // A file to write, starting with `proposedName`; none when cancelled.
    virtual std::optional<QString> chooseSaveFile(const QString& title, const QString& proposedName,
                                                  const QStringList& nameFilters) = 0;
    // One file to read; none when cancelled.
    virtual std::optional<QString> chooseOpenFile(const QString& title, const QStringList& nameFilters) = 0;
};

// Modal desktop file dialogs over `parent`'s window.
class FileDialogPanels final : public ExportPanels {
public:
    explicit FileDialogPanels(QWidget* parent) : parent_(parent) {}
    std::optional<QString> chooseSaveFile(const QString& title, const QString& proposedName,
                                          const QStringList& nameFilters) override;
    std::optional<QString> chooseOpenFile(const QString& title, const QStringList& nameFilters) override;

private:
    QWidget* parent_;
};

} // namespace quillet
