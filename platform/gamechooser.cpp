#include "gamechooser.h"

#include "newgame.h"
#include "newgamedialog.h"
#include "settingsfile.h"
#include "userfolders.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QtMath>

namespace {

constexpr int kNameRole = Qt::UserRole + 1;

// A recent game in two lines: its name, and below it its folder, cut in the middle when too
// long, so that the end of the path, which tells a game from its copy, stays in sight.
class RecentGameDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const auto [name, folder] = lines(option.font, index);
        size.setHeight(qMax(size.height(), name.height + folder.height + 2 * kMargin));
        return size;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        item.text.clear(); // the background, the selection and the focus as the style draws them
        const QWidget *view = item.widget;
        QStyle *style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, view);
        const QRect area = item.rect.adjusted(kMargin * 2, kMargin, -kMargin * 2, -kMargin);
        const auto [name, folder] = lines(item.font, index);
        const int indent = 2 * item.fontMetrics.averageCharWidth();
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(
            item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRect(area.left(), area.top(), area.width(), name.height),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          item.fontMetrics.elidedText(name.text, Qt::ElideRight, area.width()));
        const QRect below(area.left() + indent, area.top() + name.height, area.width() - indent,
                          folder.height);
        painter->drawText(below, Qt::AlignLeft | Qt::AlignVCenter,
                          item.fontMetrics.elidedText(folder.text, Qt::ElideMiddle, below.width()));
        painter->restore();
    }

    /// How tall @p text stands as drawn in @p font, the fonts that stand in for its other
    /// characters included (a Chinese name is taller than a Latin one).
    static int lineHeight(const QString &text, const QFont &font)
    {
        QTextLayout layout(text, font);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        return qCeil(line.height());
    }

private:
    struct Line
    {
        QString text;
        int height;
    };
    static std::pair<Line, Line> lines(const QFont &font, const QModelIndex &index)
    {
        const QString name = index.data(kNameRole).toString();
        const QString folder = QDir::toNativeSeparators(index.data(Qt::UserRole).toString());
        return {{name, lineHeight(name, font)}, {folder, lineHeight(folder, font)}};
    }
    static constexpr int kMargin = 3;
};

} // namespace

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

    QLabel *heading = listRecent(recent);
    addButtons(editor, demoFolder);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_recent);
    layout->addWidget(m_buttons);
}

QLabel *GameChooser::listRecent(const QStringList &recent)
{
    auto *heading = new QLabel(recent.isEmpty() ? QStringLiteral("还没有最近打开的游戏。")
                                                : QStringLiteral("最近的游戏(&R):"),
                               this);
    heading->setBuddy(m_recent);
    m_recent->setObjectName(QStringLiteral("recent"));
    m_recent->setAccessibleName(QStringLiteral("最近的游戏"));
    m_recent->setAlternatingRowColors(true);
    m_recent->setItemDelegate(new RecentGameDelegate(m_recent));
    for (const QString &folder : recent) {
        // The game's name first; its folder below, to tell two games of one name apart.
        const QString name = displayName(folder);
        auto *item = new QListWidgetItem(
            QStringLiteral("%1\n    %2").arg(name, QDir::toNativeSeparators(folder)), m_recent);
        item->setData(Qt::UserRole, folder);
        item->setData(kNameRole, name);
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
    return heading;
}

void GameChooser::addButtons(bool editor, const QString &demoFolder)
{
    QDialogButtonBox *buttons = m_buttons;
    auto add = [&](const char *name, const QString &caption, QDialogButtonBox::ButtonRole role) {
        QPushButton *b = buttons->addButton(caption, role);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    QPushButton *open = add("open", QStringLiteral("打开(&O)"), QDialogButtonBox::AcceptRole);
    open->setEnabled(m_recent->count() > 0);
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
