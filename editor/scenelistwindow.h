#pragma once

#include "scenelisthost.h"
#include "scenelistmodel.h"

#include <QWidget>

#include <optional>

class QAction;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListView;

/// The window "场景列表": every scene of the game, each with a small picture of it, in play
/// order. Choosing a row shows that scene in the editor; the author finds scenes by their text
/// or picture names, goes to a scene by its number, and inserts, copies, moves (also by
/// dragging) and deletes runs of scenes, all from the keyboard too. The structure commands act
/// on the selected scenes when they are one run; with gaps in the selection they are disabled,
/// so no scene the author did not select is touched.
class SceneListWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SceneListWindow(SceneListHost &host, QWidget *parent = nullptr);

    /// Reads the host's scenes again and selects what the author expects: the scenes a command
    /// of this window just moved or copied, else the selection as it was when it still holds
    /// the scene the editor shows, else that scene alone.
    void refresh();

    /// Puts the keyboard focus on the list, at the scene the editor shows, so that the arrows,
    /// Home and Alt+Up/Down act at once.
    void focusList();

    SceneListModel *model() const { return m_model; }
    /// The selected scenes when they are one run; nothing when none are or they leave gaps.
    std::optional<SceneRange> selectedRange() const;
    /// The positions of the selected scenes, in order, gaps or not.
    QList<int> selectedPositions() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// The find and go-to boxes with their labels, laid out.
    QGridLayout *findAndGoToBoxes();
    void setUpList();
    /// The structure commands, undo and redo, in the list's context menu and by their keys.
    void addCommands();
    /// Esc closes the window, Ctrl+F goes to the find box.
    void addWindowKeys();
    /// What choosing a row, dropping rows and typing in the boxes do.
    void connectList();
    QAction *command(const QString &text, const char *name, const QKeySequence &key);
    /// Copy, cut and paste of rows, paste and import of lines, move to, replace.
    void addClipboardCommands();
    void connectClipboardCommands();
    /// The scenes [first, first + count) on the clipboard: whole, and their texts as lines.
    void copyToClipboard(SceneRange range);
    /// Where pasted scenes go: after the selected run, else after the scene shown, else last.
    int pastePosition() const;
    void paste(bool asTexts);
    void moveTo();
    /// The buttons of the structure commands, undo and redo.
    QGridLayout *commandButtons();
    /// What the structure commands, undo and redo ask of the host.
    void connectCommands();
    void select(SceneRange range, int current);
    void goToRow(int row);
    void goToNumber();
    void findAsTyped();
    void findNext(bool backward);
    void updateMatches();
    void updateCommands();
    int currentRow() const;

    SceneListHost &m_host;
    SceneListModel *m_model;
    QListView *m_list;
    QLineEdit *m_find;
    QLabel *m_found;
    QLineEdit *m_goTo;
    QLabel *m_goToNote;
    QAction *m_insertBefore;
    QAction *m_insertAfter;
    QAction *m_duplicate;
    QAction *m_moveUp;
    QAction *m_moveDown;
    QAction *m_remove;
    QAction *m_copyRows, *m_cutRows, *m_paste, *m_pasteAsScenes, *m_import, *m_moveTo, *m_replace;
    QAction *m_setFields; ///< "批量设置…", for any selection
    QAction *m_undo;
    QAction *m_redo;
    QList<int> m_matches;
    std::optional<SceneRange> m_expected; ///< what a command sent to the host should select
    bool m_selecting = false;             ///< the window itself changes the selection
};
