#include "gamechooser.h"

#include "newgame.h"
#include "newgamedialog.h"
#include "settingsfile.h"
#include "userfolders.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

GameChooser::GameChooser(Startup::Program program, const QStringList &recent,
                         const QString &demoFolder, FolderAsker askFolder, NewGameAsker askNewGame,
                         QWidget *parent)
    : QDialog(parent), m_askFolder(std::move(askFolder)), m_askNewGame(std::move(askNewGame)),
      m_recent(new QListWidget(this)), m_buttons(new QDialogButtonBox(this))
{
    if (!m_askFolder) {
        m_askFolder = [](QWidget *parent, const QString &caption) {
            return QFileDialog::getExistingDirectory(parent, caption, QDir::homePath());
        };
    }
    if (!m_askNewGame) {
        m_askNewGame = [](QWidget *parent, QString &name, QString &folder) {
            NewGameDialog dialog(UserFolders::games(), {}, parent);
            if (dialog.exec() != QDialog::Accepted)
                return false;
            name = dialog.gameName();
            folder = dialog.folder();
            return true;
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
    m_recent->setAlternatingRowColors(true);
    for (const QString &folder : recent) {
        // The game's name first; its folder below, to tell two games of one name apart.
        const QString name = displayName(folder);
        auto *item = new QListWidgetItem(
            QStringLiteral("%1\n    %2").arg(name, QDir::toNativeSeparators(folder)), m_recent);
        item->setData(Qt::UserRole, folder);
        item->setData(Qt::AccessibleTextRole,
                      QStringLiteral("%1,%2").arg(name, QDir::toNativeSeparators(folder)));
    }
    m_recent->setCurrentRow(0);
    connect(m_recent, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        choose(Action::Open, item->data(Qt::UserRole).toString());
    });
    auto *forget = new QAction(QStringLiteral("从最近的游戏中移除(&R)"), m_recent);
    forget->setObjectName(QStringLiteral("forget"));
    connect(forget, &QAction::triggered, this, &GameChooser::forgetCurrent);
    m_recent->addAction(forget);
    m_recent->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_recent->installEventFilter(this); // the Delete key

    QDialogButtonBox *buttons = m_buttons;
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
    connect(m_recent, &QListWidget::currentItemChanged, open,
            [open](QListWidgetItem *item) { open->setEnabled(item); });
    connect(add("folder", QStringLiteral("打开文件夹(&F)…"), QDialogButtonBox::ActionRole),
            &QPushButton::clicked, this,
            [this] { choose(Action::Open, m_askFolder(this, QStringLiteral("选择游戏文件夹"))); });
    if (editor) {
        connect(add("new", QStringLiteral("新建游戏(&N)…"), QDialogButtonBox::ActionRole),
                &QPushButton::clicked, this, [this] {
                    QString name, folder;
                    if (m_askNewGame(this, name, folder)) {
                        m_gameName = name;
                        choose(Action::NewGame, folder);
                    }
                });
        if (!demoFolder.isEmpty()) {
            QPushButton *copy =
                add("copyDemo", QStringLiteral("复制示例游戏(&D)"), QDialogButtonBox::ActionRole);
            copy->setToolTip(QStringLiteral("示例游戏随程序安装,不能修改;复制一份到%1来学习和修改")
                                 .arg(QDir::toNativeSeparators(UserFolders::games())));
            connect(copy, &QPushButton::clicked, this,
                    [this, demoFolder] { choose(Action::CopyDemo, demoCopyFolder(demoFolder)); });
        }
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

void GameChooser::offerContinue(std::function<bool(const QString &folder)> hasPlace)
{
    QPushButton *resume =
        m_buttons->addButton(QStringLiteral("继续(&C)"), QDialogButtonBox::ActionRole);
    resume->setObjectName(QStringLiteral("continue"));
    resume->setToolTip(QStringLiteral("从上次玩到的场景继续"));
    const auto update = [resume, hasPlace](QListWidgetItem *item) {
        resume->setEnabled(item && hasPlace(item->data(Qt::UserRole).toString()));
    };
    update(m_recent->currentItem());
    connect(m_recent, &QListWidget::currentItemChanged, resume, update);
    connect(resume, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem *item = m_recent->currentItem())
            choose(Action::Continue, item->data(Qt::UserRole).toString());
    });
}

QString GameChooser::displayName(const QString &folder)
{
    const SettingsRead read = ReadSettings(GameFolder(folder));
    if (read.settings && !read.settings->GameName.trimmed().isEmpty())
        return read.settings->GameName;
    return QDir(folder).dirName();
}

QString GameChooser::demoCopyFolder(const QString &demoFolder)
{
    const QString base = newGameFolder(UserFolders::games(), displayName(demoFolder));
    QString folder = base;
    for (int n = 2; QFileInfo::exists(folder); ++n)
        folder = QStringLiteral("%1 (%2)").arg(base).arg(n);
    return folder;
}

bool GameChooser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_recent && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Delete)) {
        forgetCurrent();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void GameChooser::forgetCurrent()
{
    QListWidgetItem *item = m_recent->currentItem();
    if (!item)
        return;
    Startup::RecentFolders().remove(item->data(Qt::UserRole).toString());
    delete item;
}

void GameChooser::choose(Action action, const QString &folder)
{
    if (folder.isEmpty())
        return; // a cancelled folder dialog: keep asking
    m_action = action;
    m_folder = QDir(folder).absolutePath();
    accept();
}
