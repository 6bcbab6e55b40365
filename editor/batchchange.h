#pragma once

#include "history.h"

#include <QList>

/// Values for some fields of many scenes: each field named is set, every other field of each
/// scene stays as it was.
using SceneFieldValues = QList<std::pair<SceneField, QString>>;

/// Fields of many scenes set at once ("批量设置…"): the scenes at the positions given change
/// from one look to another. The command keeps only the scenes it touches; each way writes
/// Game.txt once.
class SceneFieldsChange : public EditorCommand
{
public:
    SceneFieldsChange(ScriptEditor &editor, const QString &text, QList<int> positions,
                      QList<SceneRec> before, QList<SceneRec> after, int curRec);
    void redo() override;
    void undo() override;

private:
    QList<int> m_positions;
    QList<SceneRec> m_before, m_after;
    int m_curRec;
};
