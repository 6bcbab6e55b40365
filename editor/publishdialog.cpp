#include "publishdialog.h"

#include "editorplatform.h"
#include "pagefolder.h"
#include "windowtexts.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

using namespace EditorTexts;

PublishDialog::PublishDialog(const QString &suggested, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("publishDialog"));
    setWindowTitle(kWebPublishCaption);
    m_folder = new QLineEdit(QDir::toNativeSeparators(suggested), this);
    m_folder->setObjectName(QStringLiteral("publishFolder"));
    m_folder->setAccessibleName(kPublishFolderLabel);
    auto *label = new QLabel(kPublishFolderLabel, this);
    label->setBuddy(m_folder);
    auto *place = new QPushButton(kPublishPlace, this);
    place->setObjectName(QStringLiteral("publishPlace"));
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("publishNote"));
    m_note->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(this);
    m_publish = buttons->addButton(kPublishButton, QDialogButtonBox::AcceptRole);
    m_publish->setObjectName(QStringLiteral("publishButton"));
    buttons->addButton(kCancelButton, QDialogButtonBox::RejectRole);
    auto *grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(m_folder, 1, 0);
    grid->addWidget(place, 1, 1);
    grid->addWidget(m_note, 2, 0, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 2);
    connect(m_folder, &QLineEdit::textChanged, this, &PublishDialog::showPlace);
    connect(place, &QPushButton::clicked, this, &PublishDialog::choosePlace);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showPlace();
    resize(560, sizeHint().height());
}

QString PublishDialog::folder() const
{
    const QString text = m_folder->text().trimmed();
    return text.isEmpty()
               ? QString()
               : QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(text)).absoluteFilePath());
}

QString PublishDialog::ask(QWidget *parent, const QString &suggested)
{
    PublishDialog dialog(suggested, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.folder() : QString();
}

QString EditorPlatform::askPublishFolder(QWidget *parent, const QString &suggested)
{
    return PublishDialog::ask(parent, suggested);
}

void PublishDialog::showPlace()
{
    const QString out = folder();
    QString why;
    const PageFolder::Place place =
        out.isEmpty() ? PageFolder::Place::Taken : PageFolder::placeOf(out, &why);
    const QString zip = QFileInfo(out).fileName() + QStringLiteral(".zip");
    switch (place) {
    case PageFolder::Place::Free: m_note->setText(kPublishMakes.arg(zip)); break;
    case PageFolder::Place::EarlierPage: m_note->setText(kPublishReplaces.arg(zip)); break;
    case PageFolder::Place::Taken: m_note->setText(why); break;
    }
    m_publish->setEnabled(place != PageFolder::Place::Taken);
}

void PublishDialog::choosePlace()
{
    const QString where = QFileDialog::getExistingDirectory(this, kPublishPlaceCaption,
                                                            QFileInfo(folder()).absolutePath());
    if (where.isEmpty())
        return;
    // A page published there before is the folder itself; any other folder gets the page.
    const QString chosen = PageFolder::placeOf(where) == PageFolder::Place::EarlierPage
                               ? where
                               : where + u'/' + QFileInfo(folder()).fileName();
    m_folder->setText(QDir::toNativeSeparators(chosen));
}

PublishProgress::PublishProgress(Publisher &publisher, QWidget *parent)
    : QDialog(parent), m_publisher(publisher)
{
    setObjectName(QStringLiteral("publishProgress"));
    setWindowTitle(kWebPublishCaption);
    setWindowModality(Qt::ApplicationModal); // nothing changes the game while it is published
    m_step = new QLabel(this);
    m_step->setObjectName(QStringLiteral("publishStep"));
    m_step->setMinimumWidth(320);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("publishBar"));
    m_bar->setRange(0, 0);
    m_bar->setAccessibleName(kWebPublishCaption);
    m_cancel = new QPushButton(kCancelButton, this);
    m_cancel->setObjectName(QStringLiteral("publishCancel"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_cancel, QDialogButtonBox::RejectRole);
    connect(m_cancel, &QPushButton::clicked, this, &PublishProgress::cancel);
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_step);
    column->addWidget(m_bar);
    column->addWidget(buttons);
}

Publisher::Status PublishProgress::run()
{
    // Steps arrive from the publishing thread and are shown on this one.
    m_publisher.setProgress([this](const QString &what, int percent) {
        QMetaObject::invokeMethod(
            this, [this, what, percent] { showStep(what, percent); }, Qt::QueuedConnection);
    });
    Publisher::Status status = Publisher::Status::Problem;
    const std::unique_ptr<QThread> thread(
        QThread::create([this, &status] { status = m_publisher.run(); }));
    QEventLoop loop;
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    show();
    loop.exec();
    thread->wait();
    m_publisher.setProgress({});
    hide();
    return status;
}

void PublishProgress::showStep(const QString &what, int percent)
{
    if (m_cancelled)
        return;
    m_step->setText(what + QStringLiteral("…"));
    if (percent < 0) {
        m_bar->setRange(0, 0);
    } else {
        m_bar->setRange(0, 100);
        m_bar->setValue(percent);
    }
}

void PublishProgress::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    m_publisher.cancel();
    m_step->setText(kPublishCancelling);
    m_bar->setRange(0, 0);
    m_cancel->setEnabled(false);
}

void PublishProgress::reject()
{
    // The dialog stays until the publish has stopped and cleared away what it wrote.
    cancel();
}

void PublishProgress::closeEvent(QCloseEvent *event)
{
    event->ignore();
    cancel();
}
