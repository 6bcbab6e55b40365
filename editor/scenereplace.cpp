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
