#include "filepicker.h"

#include <QFileDialog>

QString QtFilePicker::choose(QWidget *parent, const QString &startFolder, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("选择图片"), startFolder, filter);
}
