#pragma once

#include "fileread.h"
#include "scenerec.h"
#include "settingsfile.h"

#include <QByteArray>
#include <QList>
#include <QUndoCommand>

#include <optional>

class ScriptEditor;

/// The editor's history: one command per kind of change, each naming itself for the menu and
/// calling one operation of ScriptEditor both ways. A command whose first write fails marks
/// itself obsolete, so that the stack drops it and the lists stay equal to the file.

/// A change of the scenes: the scenes [at, at + removed) give way to `inserted`. Add, Modify,
/// Delete, insert, duplicate and move are all of this shape; the command keeps only the scenes
/// it touches.
class SceneSplice : public QUndoCommand
{
public:
    SceneSplice(ScriptEditor &editor, const QString &text, int at, QList<SceneRec> removed,
                QList<SceneRec> inserted, int curRecBefore, int curRecAfter,
                bool appendFirst = false);
    void redo() override;
    void undo() override;

private:
    ScriptEditor &m_editor;
    int m_at;
    QList<SceneRec> m_removed, m_inserted;
    int m_curRecBefore, m_curRecAfter;
    bool m_append; ///< the first redo appends to Game.txt, as Add does
};

/// A move of the scenes [first, first + count) so that the first stands at `to`: the command
/// keeps three numbers, however far the scenes travel.
class SceneMove : public QUndoCommand
{
public:
    SceneMove(ScriptEditor &editor, const QString &text, int first, int count, int to,
              int curRecBefore);
    void redo() override;
    void undo() override;

private:
    ScriptEditor &m_editor;
    int m_first, m_count, m_to, m_curRecBefore;
};

/// A settings save: Game.ini from one state to another (none: no file).
class SettingsChange : public QUndoCommand
{
public:
    SettingsChange(ScriptEditor &editor, const QString &text, std::optional<GameSettings> before,
                   GameSettings after);
    void redo() override;
    void undo() override;

private:
    ScriptEditor &m_editor;
    std::optional<GameSettings> m_before;
    GameSettings m_after;
};

/// A picture copied into BG or Msg: undo puts back the file it replaced, or removes the copy.
/// Each way, the file must still hold what the other way left (its digest is compared): a
/// picture another program changed since is never written over or removed.
class PictureCopy : public QUndoCommand
{
public:
    PictureCopy(ScriptEditor &editor, const QString &text, QString target,
                std::optional<QByteArray> before, QByteArray after);
    void redo() override;
    void undo() override;

private:
    ScriptEditor &m_editor;
    QString m_target;
    std::optional<QByteArray> m_before;
    QByteArray m_after;
    FileStamp m_beforeStamp, m_afterStamp; ///< what undo and redo leave at the target
};

/// An earlier version of Game.txt and Game.ini put back, byte for byte; undo puts back what the
/// files held before.
class VersionRestore : public QUndoCommand
{
public:
    struct Files
    {
        QByteArray script;
        std::optional<QByteArray> settings; ///< none: no Game.ini
    };
    VersionRestore(ScriptEditor &editor, const QString &text, Files before, Files after);
    void redo() override;
    void undo() override;

private:
    ScriptEditor &m_editor;
    Files m_before, m_after;
};
