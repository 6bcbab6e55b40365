#pragma once

#include "publisher.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

/// Asks where to publish the game as a web page: the page's folder (its zip goes beside it),
/// with a button to pick the place, and a line that says what is there now: nothing, a page
/// published earlier (replaced as a whole) or something else (left as it is; the dialog will
/// not take it).
class PublishDialog : public QDialog
{
    Q_OBJECT
public:
    PublishDialog(const QString &suggested, QWidget *parent = nullptr);
    /// The folder chosen, absolute.
    QString folder() const;
    /// Shows the dialog with @p suggested; the folder chosen, empty when cancelled.
    static QString ask(QWidget *parent, const QString &suggested);

private:
    void showPlace();
    void choosePlace();

    QLineEdit *m_folder;
    QLabel *m_note;
    QPushButton *m_publish;
};

/// Runs a publish on a thread of its own while it shows each step with a bar and 取消, so the
/// editor's window stays alive however long the music takes. Modal to its parent window;
/// 取消, Esc and closing the dialog all ask the publish to stop, which leaves nothing behind.
class PublishProgress : public QDialog
{
    Q_OBJECT
public:
    PublishProgress(Publisher &publisher, QWidget *parent = nullptr);
    /// Runs @p publisher (given to the constructor) and returns its status once it has ended.
    Publisher::Status run();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showStep(const QString &what, int percent);
    void cancel();

    Publisher &m_publisher;
    QLabel *m_step;
    QProgressBar *m_bar;
    QPushButton *m_cancel;
    bool m_cancelled = false;
};
