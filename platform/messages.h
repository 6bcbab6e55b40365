#pragma once

#include <QString>

class QWidget;

/// Modal message boxes: a text, a title, one OK button, no icon.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void show(QWidget *parent, const QString &text, const QString &title) = 0;
};

/// The real, modal QMessageBox.
class QtMessageBoxes : public MessageBoxes
{
public:
    void show(QWidget *parent, const QString &text, const QString &title) override;
};
