#pragma once

#include "gamelogic.h"

#include <QKeySequence>
#include <QList>
#include <QObject>

class BacklogView;
class Game;
class MessageBoxes;
class QAction;
class QKeyEvent;
class QMenu;

/// The reader's commands over the scene, made from one table (table()): each is a QAction of
/// the window `Game` with its name, its keys (the window's shortcuts; the menu shows the first)
/// and what it does, and says whether it acts while the look-back list (回顾) is open and
/// whether the menu offers it at the ending. The reader's menu (`ReaderMenu`) is made from the
/// same table, so a key shown in the menu is the key that works.
///
/// What the commands do lives here too: saving and loading through the slots window
/// (SlotWindow), the settings window (SettingsWindow) and the look-back list (BacklogView).
class ReaderCommands : public QObject
{
    Q_OBJECT
public:
    enum class Command
    {
        Save,
        Load,
        QuickSave,
        QuickLoad,
        LookBack,
        Auto,
        Skip,
        Hide,
        Settings,
        Restart,
        Quit,
        Mute,
    };

    /// One entry of the table.
    struct Entry
    {
        Command command;
        QString name;             ///< the menu's entry; empty: a key only
        QList<QKeySequence> keys; ///< shortcuts on the window
        /// Keys that the focused control takes first (Page Up scrolls the open list), so the
        /// window looks them up as they reach it (forPassedKey()) instead of a shortcut.
        QList<QKeySequence> passedKeys;
        bool inLookBack; ///< acts while the look-back list is open; if not, its key closes it
        bool atEnding;   ///< offered in the menu at the ending (its key answers there as well)
        bool newGroup;   ///< a line above it in the menu
        void (ReaderCommands::*run)();
    };
    /// The reader's commands in the menu's order.
    static QList<Entry> table();

    /// The commands of @p game, whose actions they become; @p messages asks the reader.
    ReaderCommands(Game &game, MessageBoxes &messages);

    QAction *action(Command command) const;
    /// The command a key that was not a shortcut stands for (passedKeys); null when none.
    QAction *forPassedKey(const QKeyEvent &event) const;

    /// The reader's menu; null until it was first opened.
    QMenu *menu() const { return m_menu; }
    /// Opens the menu at @p where (global); it stops auto and skip and closes the look-back list.
    void openMenu(const QPoint &where);

    /// Saves the scene shown, with a small picture of it, in slot @p n (0: the quick save),
    /// over what the slot held, and says so in a notice; says why when it cannot.
    bool saveSlot(int n);
    /// Goes to the place saved in slot @p n; false when the slot is empty. The quick save
    /// says so in a notice.
    bool loadSlot(int n);
    /// Loads the quick save (F9), or says that there is none.
    void quickLoad();
    /// Asks for a slot (the slots window) and saves or loads it.
    void chooseSlot(bool saving);
    void openSettings();

    /// The look-back list over the scene, newest at the bottom; null until it was first shown.
    BacklogView *backlogView() const { return m_backlog; }
    void showBacklog();
    void closeBacklog();
    bool backlogOpen() const;

signals:
    /// A command is about to run, from its key or from the menu.
    void aboutToRun();

private:
    void addToMenu();
    /// Why saving failed, in a message box titled 存档.
    void tell(const QString &text);
    void save() { chooseSlot(true); }
    void load() { chooseSlot(false); }
    void quickSave() { saveSlot(ReaderData::kQuickSlot); }
    void toggleAuto();
    void toggleSkip();
    void toggleMode(GameLogic::Mode mode, const QString &said);
    void toggleBox();
    void restart();
    void quit();
    void toggleMute();
    /// Goes back to list position @p scene, chosen in the look-back list, asking first.
    void backToScene(int scene);

    Game &m_game;
    GameLogic &m_logic;
    MessageBoxes &m_messages;
    QList<Entry> m_table;
    QList<QAction *> m_actions; ///< at the table's positions
    QMenu *m_menu = nullptr;
    BacklogView *m_backlog = nullptr;
};
