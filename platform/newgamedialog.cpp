#include "newgamedialog.h"

#include "newgame.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NewGameDialog::NewGameDialog(const QString &location, FolderAsker askFolder, QWidget *parent)
    : QDialog(parent), m_askFolder(std::move(askFolder)), m_name(new QLineEdit(this)),
      m_location(new QLineEdit(QDir::toNativeSeparators(location), this)),
      m_result(new QLabel(this))
{
    if (!m_askFolder) {
        m_askFolder = [](QWidget *parent, const QString &start) {
            return QFileDialog::getExistingDirectory(parent, QStringLiteral("新游戏放在哪里"),
                                                     start);
        };
    }
    setObjectName(QStringLiteral("NewGameDialog"));
    setWindowTitle(QStringLiteral("新建游戏"));
    m_name->setObjectName(QStringLiteral("name"));
    m_location->setObjectName(QStringLiteral("location"));
    m_result->setObjectName(QStringLiteral("result"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *browse = new QPushButton(QStringLiteral("浏览(&B)…"), this);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAccessibleName(QStringLiteral("选择保存位置"));
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = m_askFolder(this, m_location->text());
        if (!chosen.isEmpty())
            m_location->setText(QDir::toNativeSeparators(chosen));
    });
    auto *place = new QHBoxLayout;
    place->addWidget(m_location);
    place->addWidget(browse);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("游戏名称(&N):"), m_name);
    form->addRow(QStringLiteral("保存位置(&L):"), place);
    static_cast<QLabel *>(form->labelForField(place))->setBuddy(m_location);
    form->addRow(QString(), m_result);

    auto *buttons = new QDialogButtonBox(this);
    m_create = buttons->addButton(QStringLiteral("新建(&C)"), QDialogButtonBox::AcceptRole);
    m_create->setObjectName(QStringLiteral("create"));
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("给新游戏起个名字,再选择放在哪里。"
                                                "会在那里新建一个同名文件夹。"),
                                 this));
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(m_name, &QLineEdit::textChanged, this, &NewGameDialog::update);
    connect(m_location, &QLineEdit::textChanged, this, &NewGameDialog::update);
    resize(480, sizeHint().height());
    update();
}

QString NewGameDialog::gameName() const
{
    return m_name->text().trimmed();
}

QString NewGameDialog::folder() const
{
    const QString location = QDir::fromNativeSeparators(m_location->text().trimmed());
    if (location.isEmpty())
        return {};
    return newGameFolder(QDir(location).absolutePath(), gameName());
}

void NewGameDialog::update()
{
    const QString target = folder();
    QString problem;
    if (target.isEmpty())
        problem = QStringLiteral("请填写游戏名称。");
    else if (QFileInfo(target).isDir() && !QDir(target).isEmpty())
        problem = QStringLiteral("那里已经有一个不是空的文件夹,请换一个名称或位置。");
    else if (QFileInfo::exists(target) && !QFileInfo(target).isDir())
        problem = QStringLiteral("那里已经有一个同名的文件,请换一个名称或位置。");
    m_result->setText(problem.isEmpty()
                          ? QStringLiteral("将新建文件夹:%1").arg(QDir::toNativeSeparators(target))
                          : problem);
    m_create->setEnabled(problem.isEmpty());
}

void NewGameDialog::accept()
{
    update();
    if (m_create->isEnabled())
        QDialog::accept();
}
