#pragma once

#include <QString>

class QWidget;

/// The file-open dialog of the picture pickers.
class FilePicker
{
public:
    virtual ~FilePicker() = default;
    /// Shows the dialog; returns the full path chosen, or an empty string when cancelled.
    virtual QString choose(QWidget *parent, const QString &startPath) = 0;
};

/// The platform's file-open dialog, listing every file.
class QtFilePicker : public FilePicker
{
public:
    QString choose(QWidget *parent, const QString &startPath) override;
};
