#pragma once

#include <QString>

class QWidget;

/// The answer to "save before closing?".
enum class UnsavedChoice
{
    Save,    ///< 保存
    Discard, ///< 不保存
    Cancel,  ///< 取消: nothing closes
};

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
    /// Asks whether to save work before it would be lost, with the buttons 保存, 不保存 and
    /// 取消. A service that cannot ask answers Cancel, so nothing is lost unasked.
    virtual UnsavedChoice askUnsaved(QWidget *parent, const QString &text, const QString &title)
    {
        Q_UNUSED(parent);
        Q_UNUSED(text);
        Q_UNUSED(title);
        return UnsavedChoice::Cancel;
    }
};

/// The real, modal QMessageBox.
class QtMessageBoxes : public MessageBoxes
{
public:
    void show(QWidget *parent, const QString &text, const QString &title) override;
    bool ask(QWidget *parent, const QString &text, const QString &title) override;
    UnsavedChoice askUnsaved(QWidget *parent, const QString &text, const QString &title) override;
};
