#pragma once

#include "batchchange.h"
#include "gamefiles.h"
#include "history.h"
#include "sceneform.h"
#include "scenereplace.h"

#include <QString>
#include <QUndoStack>

#include <optional>

/// The editor's model and decisions, without widgets: the scene lists, the current scene
/// number `CurRec`, what the fields show, and the commands that change the game, each one step
/// of the history. Its GameFiles reads and writes the files; after every operation the lists
/// equal what Game.txt holds.
class ScriptEditor
{
public:
    using PictureKind = GameFiles::PictureKind;

    /// @p versionsRoot is where earlier versions of the game are kept.
    explicit ScriptEditor(const GameFolder &folder,
                          const QString &versionsRoot = UserFolders::versions());

    using StartUp = EditorStartUp;
    /// Loads Game.txt, then (unless it was damaged) Game.ini.
    StartUp load();
    /// The settings as Game.ini held them when last read or written (after a reload, what the
    /// panel is to show); nothing when there is no readable Game.ini.
    std::optional<SettingsForm> settingsForm() const;

    const SceneLists &scenes() const { return m_scenes; }
    const GameFiles &files() const { return m_files; }
    const GameFolder &folder() const { return m_files.folder(); }
    /// The font the player draws the scene text in: GameFont as Game.ini holds it.
    const QString &gameFont() const { return m_files.gameFont(); }
    int CurRec() const { return m_curRec; }

    using Browse = SceneBrowse;
    using BrowseResult = SceneBrowseResult;
    /// Moves CurRec as the four browse buttons do. Never names a scene that does not exist.
    BrowseResult browse(Browse action);
    /// Makes scene @p number (counted from 1) current, as the game check's list asks;
    /// nothing when there is no such scene.
    BrowseResult browseTo(int number);

    /// The scene at list position @p i as the fields show it, and the scene the fields
    /// describe (ShownScene::show(), ShownScene::sceneFrom()).
    SceneForm showScene(int i);
    SceneRec sceneFromForm(const SceneForm &form, bool keepUntouchedCodes) const;

    /// Add and Modify take two presses: the first unlocks the scene fields (Add also empties the
    /// text) and the button waits, showing "OK?"; the second stores what @p fields hold. Both
    /// may wait at once; the first store locks the fields for both. A refused or failed store
    /// keeps the button waiting, so nothing typed is lost.
    EditResult pressAdd(const SceneForm &fields);
    EditResult pressModify(const SceneForm &fields);
    bool addWaiting() const { return m_addWaiting; }
    bool modifyWaiting() const { return m_modifyWaiting; }
    bool waiting() const { return m_addWaiting || m_modifyWaiting; }
    /// Gives up a waiting Add or Modify without storing anything: both buttons stop waiting
    /// and the fields lock, so that they show CurRec's scene again.
    void dropWaiting() { m_addWaiting = m_modifyWaiting = m_editing = false; }
    /// Whether the scene fields are unlocked.
    bool editing() const { return m_editing; }
    /// Whether @p fields hold something a waiting Add or Modify has not stored yet: closing
    /// the window now would lose it.
    bool hasUnstoredScene(const SceneForm &fields) const;
    /// Stores what @p fields hold through the waiting button (Add before Modify), as its second
    /// press does.
    EditResult storeWaiting(const SceneForm &fields);

    /// Whether Add may start: a writable script below the scene limit.
    Notice checkAdd() const;
    /// Whether Modify may start: a writable script and a CurRec that names a scene.
    Notice checkModify() const;
    /// Appends @p rec to Game.txt and the lists; CurRec becomes the new scene.
    Notice addScene(const SceneRec &rec);
    /// Replaces the scene at CurRec and rewrites Game.txt.
    Notice modifyScene(const SceneRec &rec);
    /// Removes the scene at CurRec and rewrites Game.txt. CurRec then names the scene that took
    /// its place, or the new last scene (0 when none is left).
    Notice deleteScene();

    // The story's structure. Each command writes Game.txt at once, as Modify does, is one step
    // of history(), and makes CurRec the scene it touched. Positions count from 0.

    /// A new scene before (or @p after) the one at @p position, with its pictures and codes
    /// and an empty text.
    Notice insertScene(int position, bool after);
    /// Copies of the scenes [@p first, @p first + @p count) right after them.
    Notice duplicateScenes(int first, int count);
    /// Moves the scenes [@p first, @p first + @p count) so that the first stands at @p to.
    Notice moveScenes(int first, int count, int to);
    /// Removes the scenes [@p first, @p first + @p count); cutScenes() names the step a cut.
    Notice removeScenes(int first, int count);
    Notice cutScenes(int first, int count);
    /// @p scenes, whole, right after the scene at @p after (-1: before the first).
    Notice pasteScenes(int after, const QList<SceneRec> &scenes);
    /// A new scene for each of @p texts right after the scene at @p after (-1: before the
    /// first), each with the pictures and codes of that scene (of the first scene for -1; the
    /// form's start choices in a game without scenes). @p imported names the step an import.
    Notice pasteTexts(int after, const QStringList &texts, bool imported = false);
    using Import = TextImport;
    /// Reads the text file at @p path (UTF-8 or GBK as its bytes tell) as pasteTexts() does.
    Import importText(int after, const QString &path);
    /// Replaces as @p what says in the scenes at @p positions that it changes (every scene for
    /// an empty list), as one step named "替换'A'为'B'(N个场景)".
    Notice replaceInScenes(const SceneReplace &what, const QList<int> &positions = {});
    /// Sets the fields @p values names (the text excepted) in each scene at @p positions, the
    /// other fields as each scene holds them: one step, leaving out the scenes already so.
    /// CurRec stays. (With its command, in batchchange.cpp.)
    Notice setSceneFields(const QList<int> &positions, const SceneFieldValues &values);

    /// Every change of the game, to undo and redo: scenes, settings, pictures copied in. Each
    /// undo or redo writes the files at once; one that fails leaves history, lists and files
    /// as they were and says why. Another program's change (read again) empties the history.
    QUndoStack &history() { return m_history.stack(); }
    Notice undo() { return m_history.undo(); }
    Notice redo() { return m_history.redo(); }

    /// Earlier versions of Game.txt and Game.ini, kept before the first change each time the
    /// editor is opened and then at most every ten minutes while the author changes things.
    const VersionStore &versions() const { return m_files.versions(); }
    /// Puts @p version back, as one step of the history, once the files as they are now have
    /// been kept as a version themselves. A Game.txt the editor may not change (damaged, too
    /// large, too many scenes) is repaired so: its bytes are kept as a version first, then the
    /// version replaces both files and is read as at start-up; that step empties the history.
    /// A version whose own Game.txt cannot be used is refused.
    Notice restoreVersion(const GameVersion &version);
    /// The question to ask before restoreVersion(): when @p version was kept, how many scenes
    /// the game has now and the version has, and where they start to differ.
    QString restoreQuestion(const GameVersion &version) const;

    /// Stores one setting, @p field as @p panel shows it (GameFiles::settingsSave()).
    Notice saveSetting(const GameSettings &panel, GameSettings::Field field);
    /// Stores one setting @p value, the other values as Game.ini holds them (or the panel's
    /// start values, without a Game.ini).
    Notice saveSetting(GameSettings::Field field, const QString &value);
    /// Stores the interval of the speed (an empty value for none) or the skip choice's code at
    /// @p position.
    Notice saveSpeed(int position);
    Notice saveSkip(int position);

    /// How many scenes show the file @p file (a path GameFiles::pictureThere() gave) as their
    /// @p kind.
    int scenesUsing(PictureKind kind, const QString &file) const;
    /// Copies @p picked into the game's folder for @p kind, as GameFiles::readForCopy() says;
    /// all or nothing.
    Notice copyPicture(PictureKind kind, const QString &picked);

    /// The name a picked file is stored by: what follows the last "\\" or "/" of @p path.
    static QString pickedName(const QString &path);

private:
    friend class EditorCommand;
    friend class SceneSplice;
    friend class SettingsChange;
    friend class SceneMove;
    friend class ScenesRewrite;
    friend class PictureCopy;
    friend class VersionRestore;
    friend class SceneFieldsChange;

    /// The writes behind the commands: the one path for every change of the scenes.
    Notice appendScene(const SceneRec &rec);
    Notice spliceScenes(int at, int removeCount, const QList<SceneRec> &insert, int curRec);
    Notice moveScenesNow(int first, int count, int to, int curRec);
    /// @p scenes right after the scene at @p after, as a step named @p name ("…%1").
    Notice insertScenes(int after, const QList<SceneRec> &scenes, const QString &name);
    /// The scenes at @p positions become @p scenes, in order.
    Notice replaceScenes(const QList<int> &positions, const QList<SceneRec> &scenes, int curRec);
    /// Game.txt and the lists become @p changed; CurRec becomes @p curRec.
    Notice writeScenes(SceneLists changed, int curRec);
    /// Both files exactly as @p files holds them, all or nothing (@p current: as they are now).
    Notice writeFiles(const GameFiles::Bytes &files, const GameFiles::Bytes &current);
    /// The lists become @p scenes and CurRec @p curRec (within them), shown in the fields.
    void takeScenes(SceneLists scenes, int curRec);
    /// What a write of Game.txt said; the scenes read again, when another program changed it.
    Notice followFile(GameFiles::ScriptWrite written);
    /// restoreVersion() for a Game.txt that the editor may not change.
    Notice repairFromVersion(const GameVersion &version);
    /// "第N个场景" or "第N-M个场景".
    static QString sceneRange(int first, int count);

    /// One press of Add (@p add) or Modify, whose waiting state is @p waiting.
    EditResult press(bool &waiting, const SceneForm &fields, bool add);

    GameFiles m_files;
    SceneLists m_scenes;
    int m_curRec = 0;
    ShownScene m_shown;
    SceneForm m_addStart; ///< the fields as Add's first press left them
    EditHistory m_history;
    bool m_addWaiting = false;
    bool m_modifyWaiting = false;
    bool m_editing = false;
};
