#include "history.h"

#include "scripteditor.h"

SceneSplice::SceneSplice(ScriptEditor &editor, const QString &text, int at, QList<SceneRec> removed,
                         QList<SceneRec> inserted, int curRecBefore, int curRecAfter,
                         bool appendFirst)
    : QUndoCommand(text), m_editor(editor), m_at(at), m_removed(std::move(removed)),
      m_inserted(std::move(inserted)), m_curRecBefore(curRecBefore), m_curRecAfter(curRecAfter),
      m_append(appendFirst)
{
}

void SceneSplice::redo()
{
    const bool append = std::exchange(m_append, false);
    if (!m_editor.carryOut(this, [&] {
            return append ? m_editor.appendScene(m_inserted.first())
                          : m_editor.spliceScenes(m_at, int(m_removed.size()), m_inserted,
                                                  m_curRecAfter);
        }))
        m_append = append;
}

void SceneSplice::undo()
{
    m_editor.carryOut(this, [&] {
        return m_editor.spliceScenes(m_at, int(m_inserted.size()), m_removed, m_curRecBefore);
    });
}

SceneMove::SceneMove(ScriptEditor &editor, const QString &text, int first, int count, int to,
                     int curRecBefore)
    : QUndoCommand(text), m_editor(editor), m_first(first), m_count(count), m_to(to),
      m_curRecBefore(curRecBefore)
{
}

void SceneMove::redo()
{
    m_editor.carryOut(this,
                      [&] { return m_editor.moveScenesNow(m_first, m_count, m_to, m_to + 1); });
}

void SceneMove::undo()
{
    m_editor.carryOut(
        this, [&] { return m_editor.moveScenesNow(m_to, m_count, m_first, m_curRecBefore); });
}

SettingsChange::SettingsChange(ScriptEditor &editor, const QString &text,
                               std::optional<GameSettings> before, GameSettings after)
    : QUndoCommand(text), m_editor(editor), m_before(std::move(before)), m_after(std::move(after))
{
}

void SettingsChange::redo()
{
    m_editor.carryOut(this, [&] { return m_editor.writeSettingsState(m_after); });
}

void SettingsChange::undo()
{
    m_editor.carryOut(this, [&] { return m_editor.writeSettingsState(m_before); });
}

PictureCopy::PictureCopy(ScriptEditor &editor, const QString &text, QString target,
                         std::optional<QByteArray> before, QByteArray after)
    : QUndoCommand(text), m_editor(editor), m_target(std::move(target)),
      m_before(std::move(before)), m_after(std::move(after)),
      m_beforeStamp(m_before ? FileStamp::of(*m_before) : FileStamp::missing()),
      m_afterStamp(FileStamp::of(m_after))
{
}

void PictureCopy::redo()
{
    m_editor.carryOut(this,
                      [&] { return m_editor.writePicture(m_target, m_after, m_beforeStamp); });
}

void PictureCopy::undo()
{
    m_editor.carryOut(this,
                      [&] { return m_editor.writePicture(m_target, m_before, m_afterStamp); });
}

VersionRestore::VersionRestore(ScriptEditor &editor, const QString &text, Files before, Files after)
    : QUndoCommand(text), m_editor(editor), m_before(std::move(before)), m_after(std::move(after))
{
}

void VersionRestore::redo()
{
    m_editor.carryOut(this, [&] { return m_editor.writeFiles(m_after, m_before); });
}

void VersionRestore::undo()
{
    m_editor.carryOut(this, [&] { return m_editor.writeFiles(m_before, m_after); });
}
