// The batch setting of scene fields: the command, and the ScriptEditor operations behind it.
#include "batchchange.h"

#include "batchtexts.h"
#include "editortexts.h"
#include "scripteditor.h"

#include <QSet>

namespace {

QString fieldName(SceneField field)
{
    using namespace EditorTexts;
    switch (field) {
    case SceneField::BG: return kBackground;
    case SceneField::Msg: return kMessageBox;
    case SceneField::FontWZ: return kTextPosition;
    case SceneField::FontSet: return kTextStyle;
    case SceneField::FontSize: return kTextSize;
    case SceneField::FontColor: return kTextColour;
    case SceneField::MsgWZ: return kBoxPosition;
    default: return kText;
    }
}

} // namespace

SceneFieldsChange::SceneFieldsChange(ScriptEditor &editor, const QString &text,
                                     QList<int> positions, QList<SceneRec> before,
                                     QList<SceneRec> after, int curRec)
    : EditorCommand(editor, text), m_positions(std::move(positions)), m_before(std::move(before)),
      m_after(std::move(after)), m_curRec(curRec)
{
}

void SceneFieldsChange::redo()
{
    write([&] { return m_editor.replaceScenes(m_positions, m_after, m_curRec); });
}

void SceneFieldsChange::undo()
{
    write([&] { return m_editor.replaceScenes(m_positions, m_before, m_curRec); });
}

Notice ScriptEditor::setSceneFields(const QList<int> &positions, const SceneFieldValues &values)
{
    if (Notice locked = m_files.checkChange(); !locked.isEmpty())
        return locked;
    QList<int> touched;
    QList<SceneRec> before, after;
    QSet<int> seen;
    for (const int i : positions) {
        if (i < 0 || i >= m_scenes.count() || seen.contains(i))
            continue;
        seen.insert(i);
        const SceneRec old = m_scenes.scene(i);
        SceneRec rec = old;
        for (const auto &[field, value] : values) {
            if (field != SceneField::Note) // the text is each scene's own
                rec[field] = value;
        }
        if (rec.fields == old.fields)
            continue; // already so: not part of the step
        touched.append(i);
        before.append(old);
        after.append(rec);
    }
    if (touched.isEmpty())
        return {};
    QStringList names;
    for (const auto &[field, value] : values) {
        if (field != SceneField::Note && !names.contains(fieldName(field)))
            names.append(fieldName(field));
    }
    const QString text = BatchTexts::kSet.arg(touched.size()).arg(names.join(u'、'));
    return m_history.push(new SceneFieldsChange(*this, text, std::move(touched), std::move(before),
                                                std::move(after), m_curRec));
}

Notice ScriptEditor::replaceScenes(const QList<int> &positions, const QList<SceneRec> &scenes,
                                   int curRec)
{
    SceneLists changed = m_scenes;
    for (qsizetype k = 0; k < positions.size(); ++k)
        changed.replace(positions.at(k), scenes.at(k));
    return writeScenes(std::move(changed), curRec);
}
