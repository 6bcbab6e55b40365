#pragma once

#include "startup.h"

#include <QDialog>

#include <functional>

class QListWidget;

/// The window that asks for a game when a program is started from the desktop menu: the recent
/// game folders, a folder of the user's choice, and either a new game (the editor) or the demo
/// game (the player).
class GameChooser : public QDialog
{
    Q_OBJECT
public:
    /// Asks the user for a folder with @p caption as the dialog's title; empty when cancelled.
    using FolderAsker = std::function<QString(QWidget *parent, const QString &caption)>;

    enum class Action
    {
        Open,    ///< open the game in folder()
        NewGame, ///< begin a new game in folder()
    };

    /// @p demoFolder is offered by the player (empty: no demo button).
    GameChooser(Startup::Program program, const QStringList &recent, const QString &demoFolder,
                FolderAsker askFolder = {}, QWidget *parent = nullptr);

    /// After exec() returned Accepted: what to do, and with which folder.
    Action action() const { return m_action; }
    QString folder() const { return m_folder; }

private:
    void choose(Action action, const QString &folder);

    FolderAsker m_askFolder;
    QListWidget *m_recent;
    Action m_action = Action::Open;
    QString m_folder;
};
