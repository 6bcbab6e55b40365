#pragma once

#include "history.h"

/// A change of scenes in place, wherever they stand: the scenes at `positions` (from 0, in
/// list order) go from `before` to `after`. Replace is of this shape; the command keeps only
/// the scenes it changes.
class ScenesRewrite : public EditorCommand
{
public:
    ScenesRewrite(ScriptEditor &editor, const QString &text, QList<int> positions,
                  QList<SceneRec> before, QList<SceneRec> after, int curRecBefore, int curRecAfter);
    void redo() override;
    void undo() override;

private:
    Notice rewrite(const QList<SceneRec> &scenes, int curRec);

    QList<int> m_positions;
    QList<SceneRec> m_before, m_after;
    int m_curRecBefore, m_curRecAfter;
};
