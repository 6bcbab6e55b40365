#pragma once

#include "gamefolder.h"
#include "scenerec.h"
#include "scenereplace.h"

#include <QString>

/// What the scene list window asks of the editor: the scenes as Game.txt holds them, the scene
/// the form shows, and the commands that change the story. Each command writes Game.txt at once
/// (or says why it could not) and is one step of the editor's history; the editor then calls
/// the list window's refresh(). Scene positions count from 0; numbers shown to the author
/// count from 1.
class SceneListHost
{
public:
    virtual ~SceneListHost() = default;

    virtual const SceneLists &scenes() const = 0;
    virtual const GameFolder &gameFolder() const = 0;
    /// The font the player draws the scene text in (empty: its default).
    virtual QString gameFont() const = 0;
    /// The position of the scene the form shows, -1 for none.
    virtual int currentScene() const = 0;

    /// Shows the scene at @p position in the form, exactly as browsing to it does.
    virtual void showScene(int position) = 0;
    /// A new scene before (@p after false) or after the scene at @p position, with that scene's
    /// pictures and codes and an empty text, shown in the form for editing.
    virtual void insertScene(int position, bool after) = 0;
    /// Copies of the scenes [@p first, @p first + @p count) right after them.
    virtual void duplicateScenes(int first, int count) = 0;
    /// Moves the scenes [@p first, @p first + @p count) so that the first of them stands at
    /// @p to (a position in the list as it is after they were taken out).
    virtual void moveScenes(int first, int count, int to) = 0;
    /// Removes the scenes [@p first, @p first + @p count); asks first when @p count > 1.
    virtual void removeScenes(int first, int count) = 0;
    /// Removes the scenes [@p first, @p first + @p count) without asking: they were copied to
    /// the clipboard.
    virtual void cutScenes(int first, int count) = 0;
    /// @p scenes, whole, right after the scene at @p after (-1: before the first).
    virtual void pasteScenes(int after, const QList<SceneRec> &scenes) = 0;
    /// A new scene for each of @p texts right after the scene at @p after, with its pictures and
    /// codes; says which texts are too long for the box.
    virtual void pasteTexts(int after, const QStringList &texts) = 0;
    /// Asks for a text file and pastes its lines as pasteTexts() does.
    virtual void importTextFile(int after) = 0;
    /// Opens the window "替换", starting from @p find.
    virtual void showReplace(const QString &find) = 0;
    /// Replaces as @p what says in the scenes at @p positions (every scene it changes for none).
    virtual void replaceInScenes(const SceneReplace &what, const QList<int> &positions) = 0;
    /// "批量设置…" for the scenes at @p positions (in order): asks which fields to set, then
    /// sets them in all of those scenes as one step.
    virtual void setSceneFields(const QList<int> &positions) = 0;
    /// Undo and redo, as the editor's own keys do.
    virtual void undo() = 0;
    virtual void redo() = 0;
};
