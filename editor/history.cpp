#include "history.h"

#include "scripteditor.h"

EditHistory::EditHistory(std::function<void()> beforeStep) : m_beforeStep(std::move(beforeStep)) {}

Notice EditHistory::push(QUndoCommand *command)
{
    m_beforeStep();
    m_notice = {};
    m_pushing = true;
    m_stack.push(command);
    m_pushing = false;
    return finish();
}

bool EditHistory::carryOut(QUndoCommand *command, const std::function<Notice()> &write)
{
    if (m_replaying)
        return true;
    m_notice = write();
    if (m_notice.isEmpty())
        return true;
    if (m_pushing)
        command->setObsolete(true);
    return false;
}

Notice EditHistory::step(bool back)
{
    if (back ? !m_stack.canUndo() : !m_stack.canRedo())
        return {};
    m_beforeStep();
    m_notice = {};
    back ? m_stack.undo() : m_stack.redo();
    if (!m_notice.isEmpty() && m_notice.reloaded == Notice::Reload::None) {
        // Nothing was written: the step stays where it was.
        m_replaying = true;
        back ? m_stack.redo() : m_stack.undo();
        m_replaying = false;
    }
    return finish();
}

Notice EditHistory::finish()
{
    if (m_notice.reloaded != Notice::Reload::None)
        m_stack.clear(); // its steps no longer fit the files
    return std::exchange(m_notice, {});
}

bool EditorCommand::write(const std::function<Notice()> &change)
{
    return m_editor.m_history.carryOut(this, change);
}

SceneSplice::SceneSplice(ScriptEditor &editor, const QString &text, int at, QList<SceneRec> removed,
                         QList<SceneRec> inserted, int curRecBefore, int curRecAfter,
                         bool appendFirst)
    : EditorCommand(editor, text), m_at(at), m_removed(std::move(removed)),
      m_inserted(std::move(inserted)), m_curRecBefore(curRecBefore), m_curRecAfter(curRecAfter),
      m_append(appendFirst)
{
}

void SceneSplice::redo()
{
    const bool append = std::exchange(m_append, false);
    if (!write([&] {
            return append ? m_editor.appendScene(m_inserted.first())
                          : m_editor.spliceScenes(m_at, int(m_removed.size()), m_inserted,
                                                  m_curRecAfter);
        }))
        m_append = append;
}

void SceneSplice::undo()
{
    write([&] {
        return m_editor.spliceScenes(m_at, int(m_inserted.size()), m_removed, m_curRecBefore);
    });
}

SceneMove::SceneMove(ScriptEditor &editor, const QString &text, int first, int count, int to,
                     int curRecBefore)
    : EditorCommand(editor, text), m_first(first), m_count(count), m_to(to),
      m_curRecBefore(curRecBefore)
{
}

void SceneMove::redo()
{
    write([&] { return m_editor.moveScenesNow(m_first, m_count, m_to, m_to + 1); });
}

void SceneMove::undo()
{
    write([&] { return m_editor.moveScenesNow(m_to, m_count, m_first, m_curRecBefore); });
}

bool SceneMove::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const SceneMove *>(other);
    if (next->isObsolete() || next->m_first != m_to || next->m_count != m_count)
        return false;
    m_to = next->m_to;
    setObsolete(m_to == m_first); // back where they were: no step at all
    return true;
}

SettingsChange::SettingsChange(ScriptEditor &editor, const QString &text,
                               std::optional<GameSettings> before, GameSettings after)
    : EditorCommand(editor, text), m_before(std::move(before)), m_after(std::move(after))
{
}

void SettingsChange::redo()
{
    write([&] { return m_editor.m_files.writeSettings(m_after); });
}

void SettingsChange::undo()
{
    write([&] { return m_editor.m_files.writeSettings(m_before); });
}

PictureCopy::PictureCopy(ScriptEditor &editor, const QString &text, QString target,
                         std::optional<QByteArray> before, QByteArray after)
    : EditorCommand(editor, text), m_target(std::move(target)), m_before(std::move(before)),
      m_after(std::move(after)),
      m_beforeStamp(m_before ? FileStamp::of(*m_before) : FileStamp::missing()),
      m_afterStamp(FileStamp::of(m_after))
{
}

void PictureCopy::redo()
{
    write([&] { return m_editor.m_files.writePicture(m_target, m_after, m_beforeStamp); });
}

void PictureCopy::undo()
{
    write([&] { return m_editor.m_files.writePicture(m_target, m_before, m_afterStamp); });
}

VersionRestore::VersionRestore(ScriptEditor &editor, const QString &text, Files before, Files after)
    : EditorCommand(editor, text), m_before(std::move(before)), m_after(std::move(after))
{
}

void VersionRestore::redo()
{
    write([&] { return m_editor.writeFiles(m_after, m_before); });
}

void VersionRestore::undo()
{
    write([&] { return m_editor.writeFiles(m_before, m_after); });
}
