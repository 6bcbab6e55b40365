#pragma once

#include "startup.h"

#include <QDialog>

#include <functional>

class QDialogButtonBox;
class QLabel;
class QListWidget;

/// The window that asks for a game when a program is started from the desktop menu: the recent
/// games (by name, with their folder below; Delete or the context menu forgets one), a folder
/// of the user's choice, and either a new game or a copy of the demo to learn from (the editor)
/// or the demo game (the player).
class GameChooser : public QDialog
{
    Q_OBJECT
public:
    /// Asks the user for a folder with @p caption as the dialog's title; empty when cancelled.
    using FolderAsker = std::function<QString(QWidget *parent, const QString &caption)>;
    /// Asks for a new game's name and folder (NewGameDialog); false when cancelled.
    using NewGameAsker = std::function<bool(QWidget *parent, QString &name, QString &folder)>;

    enum class Action
    {
        Open,     ///< open the game in folder()
        NewGame,  ///< begin a new game named gameName() in folder()
        CopyDemo, ///< copy the demo game into folder(), then open the copy
        Continue, ///< open the game in folder() at the scene its reader reached last time
    };

    /// @p demoFolder is the demo game (empty: none is offered).
    GameChooser(Startup::Program program, const QStringList &recent, const QString &demoFolder,
                FolderAsker askFolder = {}, NewGameAsker askNewGame = {},
                QWidget *parent = nullptr);

    /// Offers "继续" (the player): it opens the chosen recent game where its reader left it,
    /// and is there only for a game @p hasPlace says was played before.
    void offerContinue(std::function<bool(const QString &folder)> hasPlace);

    /// After exec() returned Accepted: what to do, and with which folder.
    Action action() const { return m_action; }
    QString folder() const { return m_folder; }
    QString gameName() const { return m_gameName; }

    /// The name a game folder is shown by: its Game.ini's game name, else the folder's name.
    static QString displayName(const QString &folder);
    /// Where a copy of the demo goes: a folder named after the demo game in the author's games
    /// folder that does not exist yet.
    static QString demoCopyFolder(const QString &demoFolder);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Fills the list of @p recent games; returns its heading.
    QLabel *listRecent(const QStringList &recent);
    /// 打开, 打开文件夹, then the editor's (@p editor) 新建游戏 and 复制示例游戏 or the player's
    /// 示例游戏 (none without a @p demoFolder), and 取消.
    void addButtons(bool editor, const QString &demoFolder);
    void choose(Action action, const QString &folder);
    void forgetCurrent();

    FolderAsker m_askFolder;
    NewGameAsker m_askNewGame;
    QListWidget *m_recent;
    QDialogButtonBox *m_buttons;
    Action m_action = Action::Open;
    QString m_folder;
    QString m_gameName;
};
