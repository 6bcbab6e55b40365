#pragma once

#include <QString>

class QWidget;

/// Modal message boxes: a text, a title, one OK button, no icon.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void show(QWidget *parent, const QString &text, const QString &title) = 0;
    /// A question with the buttons Yes and No; true for Yes. A service that cannot ask
    /// answers No, so nothing happens that the user did not agree to.
    virtual bool ask(QWidget *parent, const QString &text, const QString &title)
    {
        Q_UNUSED(parent);
        Q_UNUSED(text);
        Q_UNUSED(title);
        return false;
    }
};

/// The real, modal QMessageBox.
class QtMessageBoxes : public MessageBoxes
{
public:
    void show(QWidget *parent, const QString &text, const QString &title) override;
    bool ask(QWidget *parent, const QString &text, const QString &title) override;
};
