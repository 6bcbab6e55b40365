#include "scenerec.h"

QStringList &SceneLists::list(SceneField f)
{
    return const_cast<QStringList &>(std::as_const(*this).list(f));
}

const QStringList &SceneLists::list(SceneField f) const
{
    switch (f) {
    case SceneField::Note: return NoteList;
    case SceneField::BG: return BGList;
    case SceneField::Msg: return MsgList;
    case SceneField::FontWZ: return FontWZList;
    case SceneField::FontSet: return FontSetList;
    case SceneField::FontSize: return FontSizeList;
    case SceneField::FontColor: return FontColorSetList;
    case SceneField::MsgWZ: return MsgWZList;
    }
    return NoteList;
}

QString SceneLists::at(SceneField f, int i) const
{
    const QStringList &l = list(f);
    return (i >= 0 && i < l.size()) ? l.at(i) : QString();
}

SceneRec SceneLists::scene(int i) const
{
    SceneRec rec;
    for (int f = 0; f < kSceneFieldCount; ++f)
        rec.fields[f] = at(SceneField(f), i);
    return rec;
}

void SceneLists::append(const SceneRec &rec)
{
    for (int f = 0; f < kSceneFieldCount; ++f)
        list(SceneField(f)).append(rec.fields[f]);
}

void SceneLists::replace(int i, const SceneRec &rec)
{
    if (i < 0 || i >= count())
        return;
    for (int f = 0; f < kSceneFieldCount; ++f)
        list(SceneField(f))[i] = rec.fields[f];
}

void SceneLists::remove(int i)
{
    if (i < 0 || i >= count())
        return;
    for (int f = 0; f < kSceneFieldCount; ++f)
        list(SceneField(f)).removeAt(i);
}

QList<SceneRec> SceneLists::scenes(int first, int count) const
{
    QList<SceneRec> out;
    for (int i = first; i < first + count && i < this->count(); ++i)
        out.append(scene(i));
    return out;
}

void SceneLists::splice(int at, int removeCount, const QList<SceneRec> &insert)
{
    // Built anew in one pass: inserting one by one in the middle would shift the tail each time.
    for (int f = 0; f < kSceneFieldCount; ++f) {
        QStringList &l = list(SceneField(f));
        QStringList out;
        out.reserve(l.size() - removeCount + insert.size());
        out.append(l.mid(0, at));
        for (const SceneRec &rec : insert)
            out.append(rec.fields[f]);
        out.append(l.mid(at + removeCount));
        l = std::move(out);
    }
}
