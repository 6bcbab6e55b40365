#pragma once

#include <QString>

class QWidget;

/// The file-open dialog of the picture pickers.
class FilePicker
{
public:
    virtual ~FilePicker() = default;
    /// Shows the dialog in the folder @p startFolder, listing the files @p filter admits (a
    /// QFileDialog name filter list); returns the full path chosen, or an empty string when
    /// cancelled.
    virtual QString choose(QWidget *parent, const QString &startFolder, const QString &filter) = 0;
};

/// The platform's file-open dialog.
class QtFilePicker : public FilePicker
{
public:
    QString choose(QWidget *parent, const QString &startFolder, const QString &filter) override;
};
