#pragma once

#include <QLabel>

/// A label that opens something when clicked, or when Enter or Space is pressed on it.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    LinkLabel(const QString &caption, QWidget *parent);
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
