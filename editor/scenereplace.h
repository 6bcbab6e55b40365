#pragma once

#include "gamefolder.h"
#include "scenerec.h"

#include <QList>
#include <QString>
#include <QStringList>

/// What "替换…" looks for and what it puts in its place: a text found inside the scene texts
/// (or a whole scene text), optionally in the picture names too. Letter case counts.
struct SceneReplace
{
    QString find;
    QString with;
    bool wholeText = false; ///< only a scene text (or picture name) that is exactly `find`
    bool pictures = false;  ///< the background and box picture names too

    /// A scene the replacement changes: its position (from 0) and the scene before and after.
    struct Change
    {
        int position = -1;
        SceneRec before, after;
    };
    /// The scenes of @p scenes it changes, in list order (none when `find` is empty).
    QList<Change> changes(const SceneLists &scenes) const;
    /// The scene at @p position as the replacement leaves it; the same scene when it does not
    /// change it.
    SceneRec applied(const SceneRec &scene) const;
    /// The picture names of @p changes that name no file of @p folder once replaced, as game
    /// paths ("BG\\塔楼.jpg"), each once.
    static QStringList missingPictures(const QList<Change> &changes, const GameFolder &folder);
};

/// Where the scenes at @p positions of @p before stand in @p after, one change of the story
/// later (an edit, an insert, a delete, a move, a replace): -1 for a scene that is gone. The
/// scenes before and after the changed stretch keep their place in the story; within it, a
/// scene is found by its fields, or, when as many scenes stand there as before, by its place.
QList<int> followScenes(const SceneLists &before, const SceneLists &after,
                        const QList<int> &positions);
