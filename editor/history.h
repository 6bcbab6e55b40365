#pragma once

#include "gamefiles.h"

#include <QByteArray>
#include <QList>
#include <QUndoCommand>
#include <QUndoStack>

#include <functional>
#include <optional>

class ScriptEditor;

/// The editor's history: a stack of steps that each write the game's files at once. A step
/// whose first write fails is dropped, so that the lists stay equal to the file; an undo or
/// redo whose write fails is taken back, so that the step stays where it was; a step that finds
/// a file changed by another program (and read again) empties the history, whose steps no
/// longer fit the files.
class EditHistory
{
public:
    /// @p beforeStep runs before each new step, undo and redo (the editor keeps a version).
    explicit EditHistory(std::function<void()> beforeStep);
    QUndoStack &stack() { return m_stack; }
    /// Runs @p command as a new step and says what went wrong, if anything.
    Notice push(QUndoCommand *command);
    Notice undo() { return step(true); }
    Notice redo() { return step(false); }
    /// Carries out a command's write. Its notice is kept for push(), undo() and redo(); a
    /// command that fails on its first run is made obsolete, so the stack drops it.
    bool carryOut(QUndoCommand *command, const std::function<Notice()> &write);

private:
    Notice step(bool back);
    /// After a step: a file another program changed empties the history.
    Notice finish();

    QUndoStack m_stack;
    std::function<void()> m_beforeStep;
    Notice m_notice;          ///< what the command just carried out said
    bool m_pushing = false;   ///< a command runs for the first time
    bool m_replaying = false; ///< a failed undo or redo is taken back: write nothing
};

/// A step of the editor's history. One command per kind of change, each naming itself for the
/// menu and calling one operation of ScriptEditor (or its GameFiles) both ways through write().
class EditorCommand : public QUndoCommand
{
protected:
    EditorCommand(ScriptEditor &editor, const QString &text) : QUndoCommand(text), m_editor(editor)
    {
    }
    /// Carries out @p write as EditHistory::carryOut() does; false when it failed.
    bool write(const std::function<Notice()> &change);

    ScriptEditor &m_editor;
};

/// A change of the scenes: the scenes [at, at + removed) give way to `inserted`. Add, Modify,
/// Delete, insert, duplicate and move are all of this shape; the command keeps only the scenes
/// it touches.
class SceneSplice : public EditorCommand
{
public:
    SceneSplice(ScriptEditor &editor, const QString &text, int at, QList<SceneRec> removed,
                QList<SceneRec> inserted, int curRecBefore, int curRecAfter,
                bool appendFirst = false);
    void redo() override;
    void undo() override;

private:
    int m_at;
    QList<SceneRec> m_removed, m_inserted;
    int m_curRecBefore, m_curRecAfter;
    bool m_append; ///< the first redo appends to Game.txt, as Add does
};

/// A move of the scenes [first, first + count) so that the first stands at `to`: the command
/// keeps three numbers, however far the scenes travel. The next move of the same scenes merges
/// into it, as typing merges in a text editor: one step however many presses of Alt+Up.
class SceneMove : public EditorCommand
{
public:
    SceneMove(ScriptEditor &editor, const QString &text, int first, int count, int to,
              int curRecBefore);
    void redo() override;
    void undo() override;
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand *other) override;

private:
    int m_first, m_count, m_to, m_curRecBefore;
};

/// A settings save: Game.ini from one state to another (none: no file).
class SettingsChange : public EditorCommand
{
public:
    SettingsChange(ScriptEditor &editor, const QString &text, std::optional<GameSettings> before,
                   GameSettings after);
    void redo() override;
    void undo() override;

private:
    std::optional<GameSettings> m_before;
    GameSettings m_after;
};

/// A picture copied into BG or Msg: undo puts back the file it replaced, or removes the copy.
/// Each way, the file must still hold what the other way left (its digest is compared): a
/// picture another program changed since is never written over or removed.
class PictureCopy : public EditorCommand
{
public:
    PictureCopy(ScriptEditor &editor, const QString &text, QString target,
                std::optional<QByteArray> before, QByteArray after);
    void redo() override;
    void undo() override;

private:
    QString m_target;
    std::optional<QByteArray> m_before;
    QByteArray m_after;
    FileStamp m_beforeStamp, m_afterStamp; ///< what undo and redo leave at the target
};

/// An earlier version of Game.txt and Game.ini put back, byte for byte; undo puts back what the
/// files held before.
class VersionRestore : public EditorCommand
{
public:
    using Files = GameFiles::Bytes;
    VersionRestore(ScriptEditor &editor, const QString &text, Files before, Files after);
    void redo() override;
    void undo() override;

private:
    Files m_before, m_after;
};
