#pragma once

#include "gamefolder.h"
#include "history.h"
#include "scenerec.h"
#include "settingsfile.h"
#include "versionstore.h"

#include <QString>
#include <QUndoStack>

#include <array>
#include <functional>
#include <optional>

/// What an editing step asks the window to tell the author: nothing when `text` is empty.
struct Notice
{
    QString text;
    QString title;
    /// Which file another program had changed: nothing was written, the editor read the file
    /// again, and the window is to show what the editor now holds.
    enum class Reload
    {
        None,
        Script,   ///< Game.txt: the scene lists and CurRec
        Settings, ///< Game.ini: the settings panel
        Picture,  ///< a picture copied in: nothing to show again, the history is dropped
    };
    Reload reloaded = Reload::None;
    bool isEmpty() const { return text.isEmpty(); }
};

/// What the scene fields of the window show: the three texts and, for each of the five code
/// lists (text position, style, size, colour, message-box position), the chosen position, -1
/// for none.
struct SceneForm
{
    static constexpr int kChoiceCount = 5;
    QString text, background, messageBox;
    std::array<int, kChoiceCount> choices{-1, -1, -1, -1, -1};
    bool operator==(const SceneForm &) const = default;
};

/// What the settings panel shows: the three texts and the chosen speed and skip positions (-1:
/// the file's value names no entry, the list keeps its start choice).
struct SettingsForm
{
    QString name, music, font;
    int speed = -1, skip = -1;
};

/// What the window does after a press of Add or Modify.
struct EditResult
{
    Notice notice;
    std::optional<QString> text; ///< the text the scene-text box is to show, when it changes
};

/// The editor's model and decisions, without widgets: the scene lists, the current scene
/// number `CurRec`, and every write to Game.txt and Game.ini. After every operation the lists
/// equal what Game.txt holds.
class ScriptEditor
{
public:
    /// @p versionsRoot is where earlier versions of the game are kept.
    explicit ScriptEditor(const GameFolder &folder,
                          const QString &versionsRoot = UserFolders::versions());

    /// What start-up found.
    struct StartUp
    {
        Notice scriptNotice;                  ///< a damaged or unusable Game.txt
        std::optional<SettingsForm> settings; ///< the settings to show, when read
        /// Game.ini is missing (the first settings save makes it) or unreadable.
        Notice settingsNotice;
        Notice readOnlyNotice; ///< the game may not be changed (the installed demo)
    };
    /// Loads Game.txt, then (unless it was damaged) Game.ini.
    StartUp load();
    /// The settings as Game.ini held them when last read or written (after a reload, what the
    /// panel is to show); nothing when there is no readable Game.ini.
    std::optional<SettingsForm> settingsForm() const;

    const SceneLists &scenes() const { return m_scenes; }
    const GameFolder &folder() const { return m_folder; }
    /// The font the player draws the scene text in: GameFont as Game.ini holds it.
    const QString &gameFont() const { return m_gameFont; }
    int CurRec() const { return m_curRec; }

    enum class Browse
    {
        First,
        Previous,
        Next,
        Last
    };
    struct BrowseResult
    {
        Notice notice;
        int position = -1; ///< the list position to show, -1 for none
    };
    /// Moves CurRec as the four browse buttons do. Never names a scene that does not exist.
    BrowseResult browse(Browse action);
    /// Makes scene @p number (counted from 1) current, as the game check's list asks;
    /// nothing when there is no such scene.
    BrowseResult browseTo(int number);

    /// The scene at list position @p i as the fields show it. A stored code that no choice can
    /// show (a hand-edited "9" or "1.0") shows no choice. The scene's stored codes are kept, so
    /// that a Modify that leaves a list as it was shown writes its code back unchanged.
    SceneForm showScene(int i);
    /// The scene the fields describe. Line breaks in the text become blanks. With
    /// @p keepUntouchedCodes (Modify), a list still on the choice showScene() gave it keeps the
    /// stored text of its code, and a text that differs from the stored one only in how its
    /// line breaks are shown keeps the stored text byte for byte; otherwise the code is the
    /// chosen position ("-1" for none).
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

    /// Why no change may be written to Game.txt (damaged, too large, unreadable), or nothing.
    Notice checkChange() const;
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
    /// Removes the scenes [@p first, @p first + @p count).
    Notice removeScenes(int first, int count);

    /// Every change of the game, to undo and redo: scenes, settings, pictures copied in. Each
    /// undo or redo writes the files at once; one that fails leaves history, lists and files
    /// as they were and says why. Another program's change (read again) empties the history.
    QUndoStack &history() { return m_history; }
    Notice undo();
    Notice redo();

    /// Earlier versions of Game.txt and Game.ini, kept before the first change each time the
    /// editor is opened and then at most every ten minutes while the author changes things.
    const VersionStore &versions() const { return m_versions; }
    /// Puts @p version back, as one step of the history, once the files as they are now have
    /// been kept as a version themselves. A Game.txt the editor may not change (damaged, too
    /// large, too many scenes) is repaired so: its bytes are kept as a version first, then the
    /// version replaces both files and is read as at start-up; that step empties the history.
    /// A version whose own Game.txt cannot be used is refused.
    Notice restoreVersion(const GameVersion &version);
    /// The question to ask before restoreVersion(): when @p version was kept, how many scenes
    /// the game has now and the version has, and where they start to differ.
    QString restoreQuestion(const GameVersion &version) const;

    /// The settings the panel @p form shows, as Game.ini stores them.
    static GameSettings settingsFromForm(const SettingsForm &form);
    /// Stores one setting: reads Game.ini, replaces @p field with its value in @p panel, writes
    /// it back. Without a Game.ini, the file is made from the whole @p panel (an empty game
    /// name becomes the folder's name).
    Notice saveSetting(const GameSettings &panel, GameSettings::Field field);
    /// Stores one setting @p value, the other values as Game.ini holds them (or the panel's
    /// start values, without a Game.ini).
    Notice saveSetting(GameSettings::Field field, const QString &value);
    /// Stores the interval of the speed at @p position (an empty value for none).
    Notice saveSpeed(int position);
    /// Stores the skip choice at @p position as its code.
    Notice saveSkip(int position);

    /// The two kinds of scene picture, each in its own folder of the game.
    enum class PictureKind
    {
        Background, ///< in BG/
        MessageBox, ///< in Msg/
    };
    /// The game's folder for @p kind (BG or Msg, found in any letter case), whether or not it
    /// exists yet.
    QString pictureFolder(PictureKind kind) const;
    /// Where a picked file stands for the player, who looks for it by name (in any letter case)
    /// in pictureFolder().
    enum class Placement
    {
        InFolder,   ///< it is in that folder: nothing to do
        SameThere,  ///< another copy with the same bytes is there already
        Elsewhere,  ///< it is elsewhere and the player finds no file of its name: it can be copied
        OtherThere, ///< the player finds a different file by its name: copying would replace it
    };
    Placement placement(PictureKind kind, const QString &picked) const;
    /// The file of pictureFolder() the player finds by @p picked's name, any letter case; empty
    /// when there is none.
    QString pictureThere(PictureKind kind, const QString &picked) const;
    /// How many scenes show the file @p file (a path pictureThere() gave) as their @p kind.
    int scenesUsing(PictureKind kind, const QString &file) const;
    /// Copies @p picked into pictureFolder() (creating the folder): over the file the player
    /// finds by its name, else under its own name; all or nothing. A picture larger than
    /// kMaxPictureBytes is refused.
    Notice copyPicture(PictureKind kind, const QString &picked);
    static constexpr qint64 kMaxPictureBytes = 256 * 1024 * 1024;

    /// The name a picked file is stored by: what follows the last "\\" or "/" of @p path.
    static QString pickedName(const QString &path);

    /// The scene text as it is stored: line breaks of every kind become blanks.
    static QString storableText(const QString &text);

private:
    friend class SceneSplice;
    friend class SettingsChange;
    friend class SceneMove;
    friend class PictureCopy;
    friend class VersionRestore;

    /// Runs @p command as a new step of the history and says what went wrong, if anything.
    Notice run(QUndoCommand *command);
    /// Carries out a command's write. Its notice is kept for run(), undo() and redo(); a
    /// command that fails on its first run is made obsolete, so the history drops it.
    bool carryOut(QUndoCommand *command, const std::function<Notice()> &write);
    /// After a command: a file another program changed empties the history.
    Notice finishCommand();
    /// The writes behind the commands: the one path for every change of each file.
    Notice appendScene(const SceneRec &rec);
    Notice spliceScenes(int at, int removeCount, const QList<SceneRec> &insert, int curRec);
    Notice moveScenesNow(int first, int count, int to, int curRec);
    /// Game.txt and the lists become @p changed; CurRec becomes @p curRec.
    Notice writeScenes(SceneLists changed, int curRec);
    Notice writeSettingsState(const std::optional<GameSettings> &state);
    /// Puts @p bytes (none: no file) at @p target, which must still hold what @p expected
    /// stamps; otherwise another program changed the picture since: nothing is written.
    Notice writePicture(const QString &target, const std::optional<QByteArray> &bytes,
                        const FileStamp &expected);
    /// restoreVersion() for a Game.txt that the editor may not change.
    Notice repairFromVersion(const GameVersion &version);
    /// Both files exactly as @p files holds them, all or nothing (@p current: as they are now).
    Notice writeFiles(const VersionRestore::Files &files, const VersionRestore::Files &current);
    /// Game.txt and Game.ini as they are now, when both could be read.
    std::optional<VersionRestore::Files> currentFiles() const;
    /// Keeps the files as a version before a change, when one is due.
    void keepVersionIfDue();
    /// "第N个场景" or "第N-M个场景".
    static QString sceneRange(int first, int count);

    /// The notice for a failed write of Game.txt; reads the file again if another program
    /// changed it.
    Notice scriptWriteFailed(const WriteResult &written);
    /// Reads Game.txt again after another program changed it; CurRec stays, or names the
    /// nearest scene.
    void reloadScript();
    /// What Game.ini holds now, read again after another program changed it.
    void reloadSettings();

    void rememberShown(const SceneRec &rec);
    /// One press of Add (@p add) or Modify, whose waiting state is @p waiting.
    EditResult press(bool &waiting, const SceneForm &fields, bool add);

    GameFolder m_folder;
    SceneLists m_scenes;
    int m_curRec = 0;
    QString m_scriptLock; ///< why Game.txt may not be changed; empty when it may
    SceneRec m_shown;     ///< the stored scene the fields were last loaded from
    SceneForm m_shownForm;
    QString m_gameFont;
    FileStamp m_scriptStamp;                ///< Game.txt as the editor last read or wrote it
    FileStamp m_settingsStamp;              ///< Game.ini likewise
    std::optional<GameSettings> m_settings; ///< what Game.ini held then
    SceneForm m_addStart;                   ///< the fields as Add's first press left them
    QUndoStack m_history;
    VersionStore m_versions;
    std::optional<QDateTime> m_versionChecked; ///< when keepVersionIfDue() last looked
    Notice m_commandNotice;                    ///< what the command just carried out said
    bool m_pushing = false;                    ///< a command runs for the first time
    bool m_replaying = false; ///< a failed undo or redo is taken back: write nothing
    // The files as the editor opened them, so that undoing every step gives them back byte
    // for byte, whatever their spelling.
    SceneLists m_openedScenes;
    QByteArray m_openedScript;
    std::optional<GameSettings> m_openedSettings;
    std::optional<QByteArray> m_openedSettingsBytes;
    bool m_addWaiting = false;
    bool m_modifyWaiting = false;
    bool m_editing = false;
};
