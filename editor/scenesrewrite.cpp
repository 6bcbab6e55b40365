#include "scenesrewrite.h"

#include "scripteditor.h"

ScenesRewrite::ScenesRewrite(ScriptEditor &editor, const QString &text, QList<int> positions,
                             QList<SceneRec> before, QList<SceneRec> after, int curRecBefore,
                             int curRecAfter)
    : EditorCommand(editor, text), m_positions(std::move(positions)), m_before(std::move(before)),
      m_after(std::move(after)), m_curRecBefore(curRecBefore), m_curRecAfter(curRecAfter)
{
}

void ScenesRewrite::redo()
{
    write([&] { return rewrite(m_after, m_curRecAfter); });
}

void ScenesRewrite::undo()
{
    write([&] { return rewrite(m_before, m_curRecBefore); });
}

Notice ScenesRewrite::rewrite(const QList<SceneRec> &scenes, int curRec)
{
    SceneLists changed = m_editor.m_scenes;
    for (qsizetype k = 0; k < m_positions.size(); ++k)
        changed.replace(m_positions.at(k), scenes.at(k));
    return m_editor.writeScenes(std::move(changed), curRec);
}
