#include "gamechooser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

GameChooser::GameChooser(Startup::Program program, const QStringList &recent,
                         const QString &demoFolder, FolderAsker askFolder, QWidget *parent)
    : QDialog(parent), m_askFolder(std::move(askFolder)), m_recent(new QListWidget(this))
{
    if (!m_askFolder) {
        m_askFolder = [](QWidget *parent, const QString &caption) {
            return QFileDialog::getExistingDirectory(parent, caption, QDir::homePath());
        };
    }
    const bool editor = program == Startup::Program::Editor;
    setObjectName(QStringLiteral("GameChooser"));
    setWindowTitle(editor ? QStringLiteral("scriptwell - 选择要编辑的游戏")
                          : QStringLiteral("talerun - 选择要玩的游戏"));
    resize(520, 360);

    auto *heading = new QLabel(recent.isEmpty() ? QStringLiteral("还没有最近打开的游戏。")
                                                : QStringLiteral("最近的游戏(&R):"),
                               this);
    heading->setBuddy(m_recent);
    m_recent->setObjectName(QStringLiteral("recent"));
    m_recent->setAccessibleName(QStringLiteral("最近的游戏"));
    for (const QString &folder : recent) {
        auto *item =
            new QListWidgetItem(QStringLiteral("%1    %2")
                                    .arg(QDir(folder).dirName(), QDir::toNativeSeparators(folder)),
                                m_recent);
        item->setData(Qt::UserRole, folder);
    }
    m_recent->setCurrentRow(0);
    connect(m_recent, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        choose(Action::Open, item->data(Qt::UserRole).toString());
    });

    auto *buttons = new QDialogButtonBox(this);
    auto add = [&](const char *name, const QString &caption, QDialogButtonBox::ButtonRole role) {
        QPushButton *b = buttons->addButton(caption, role);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    QPushButton *open = add("open", QStringLiteral("打开(&O)"), QDialogButtonBox::AcceptRole);
    open->setEnabled(!recent.isEmpty());
    connect(open, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem *item = m_recent->currentItem())
            choose(Action::Open, item->data(Qt::UserRole).toString());
    });
    connect(add("folder", QStringLiteral("打开文件夹(&F)…"), QDialogButtonBox::ActionRole),
            &QPushButton::clicked, this,
            [this] { choose(Action::Open, m_askFolder(this, QStringLiteral("选择游戏文件夹"))); });
    if (editor) {
        connect(add("new", QStringLiteral("新建游戏(&N)…"), QDialogButtonBox::ActionRole),
                &QPushButton::clicked, this, [this] {
                    choose(Action::NewGame,
                           m_askFolder(this, QStringLiteral("为新游戏选择或新建一个空文件夹")));
                });
    } else if (!demoFolder.isEmpty()) {
        connect(add("demo", QStringLiteral("示例游戏(&D)"), QDialogButtonBox::ActionRole),
                &QPushButton::clicked, this,
                [this, demoFolder] { choose(Action::Open, demoFolder); });
    }
    add("cancel", QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_recent);
    layout->addWidget(buttons);
}

void GameChooser::choose(Action action, const QString &folder)
{
    if (folder.isEmpty())
        return; // a cancelled folder dialog: keep asking
    m_action = action;
    m_folder = QDir(folder).absolutePath();
    accept();
}
