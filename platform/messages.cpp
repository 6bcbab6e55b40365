#include "messages.h"

#include <QMessageBox>

void QtMessageBoxes::show(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}
