#pragma once

#include <QString>

class QFileDialog;
class QFileInfo;
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

/// The file-open dialog, Qt's own, in Chinese whatever language the system speaks: the file
/// types by name only, each file's type and date in Chinese.
class QtFilePicker : public FilePicker
{
public:
    QString choose(QWidget *parent, const QString &startFolder, const QString &filter) override;
    /// The dialog choose() shows, not yet shown; the caller owns it.
    static QFileDialog *dialog(QWidget *parent, const QString &startFolder, const QString &filter);
    /// What the dialog calls @p file's type: "JPEG 图片", "文件夹", "TXT 文件"…
    static QString typeName(const QFileInfo &file);
};
