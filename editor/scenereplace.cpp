#include "scenereplace.h"

#include "gamefiles.h"

namespace {

QString replaced(const QString &value, const SceneReplace &r)
{
    if (r.wholeText)
        return value == r.find ? r.with : value;
    if (!value.contains(r.find))
        return value;
    QString out = value;
    return out.replace(r.find, r.with);
}

} // namespace

SceneRec SceneReplace::applied(const SceneRec &scene) const
{
    SceneRec out = scene;
    if (find.isEmpty())
        return out;
    out[SceneField::Note] = replaced(scene[SceneField::Note], *this);
    if (pictures) {
        out[SceneField::BG] = replaced(scene[SceneField::BG], *this);
        out[SceneField::Msg] = replaced(scene[SceneField::Msg], *this);
    }
    return out;
}

QList<SceneReplace::Change> SceneReplace::changes(const SceneLists &scenes) const
{
    QList<Change> out;
    if (find.isEmpty())
        return out;
    const auto hit = [this](const QString &value) {
        return wholeText ? value == find : value.contains(find);
    };
    for (int i = 0; i < scenes.count(); ++i) {
        // Most scenes do not match: look before building anything.
        if (!hit(scenes.NoteList.at(i)) &&
            !(pictures && (hit(scenes.BGList.at(i)) || hit(scenes.MsgList.at(i)))))
            continue;
        const SceneRec before = scenes.scene(i);
        SceneRec after = applied(before);
        if (after != before)
            out.append({i, before, std::move(after)});
    }
    return out;
}

QStringList SceneReplace::missingPictures(const QList<Change> &changes, const GameFolder &folder)
{
    using Kind = GameFiles::PictureKind;
    QStringList missing;
    for (const Change &c : changes) {
        for (const auto &[field, kind] : {std::pair{SceneField::BG, Kind::Background},
                                          std::pair{SceneField::Msg, Kind::MessageBox}}) {
            const QString &name = c.after[field];
            if (name == c.before[field])
                continue;
            const QString path = GameFiles::picturePath(kind, name);
            if ((name.isEmpty() || folder.resolve(path).isEmpty()) && !missing.contains(path))
                missing.append(path);
        }
    }
    return missing;
}

QList<int> followScenes(const SceneLists &before, const SceneLists &after,
                        const QList<int> &positions)
{
    const int was = before.count(), now = after.count();
    int head = 0; // scenes equal from the start
    while (head < was && head < now && before.scene(head) == after.scene(head))
        ++head;
    int tail = 0; // and from the end, not into the head
    while (tail < was - head && tail < now - head &&
           before.scene(was - 1 - tail) == after.scene(now - 1 - tail))
        ++tail;
    QList<int> out, taken;
    for (const int p : positions) {
        int there = -1;
        if (p >= 0 && p < head) {
            there = p;
        } else if (p >= was - tail && p < was) {
            there = p + now - was;
        } else if (p >= 0 && p < was) {
            // Within the changed stretch: the same scene nearest to where it was (moved, or
            // left as it was), else the scene changed where it stands.
            const SceneRec scene = before.scene(p);
            for (int k = head; k < now - tail; ++k) {
                if (!taken.contains(k) && after.scene(k) == scene &&
                    (there < 0 || qAbs(k - p) < qAbs(there - p)))
                    there = k;
            }
            if (there < 0 && was == now)
                there = p;
        }
        if (there >= 0)
            taken.append(there);
        out.append(there);
    }
    return out;
}
