#include "filepicker.h"

#include <QFileDialog>

QString QtFilePicker::choose(QWidget *parent, const QString &startFolder, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), startFolder, filter);
}
