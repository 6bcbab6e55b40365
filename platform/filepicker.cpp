#include "filepicker.h"

#include <QFileDialog>

QString QtFilePicker::choose(QWidget *parent, const QString &startPath)
{
    return QFileDialog::getOpenFileName(parent, QString(), startPath);
}
