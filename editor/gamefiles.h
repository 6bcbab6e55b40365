#pragma once

#include "fileread.h"
#include "gamefolder.h"
#include "scenerec.h"
#include "settingsfile.h"
#include "versionstore.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

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

/// A game's files as the editor reads and writes them: Game.txt, Game.ini (which may be
/// missing) and the pictures copied into BG and Msg, with the earlier versions of the first two.
/// It remembers what each file held when the editor last read or wrote it, and writes a file
/// only while it still holds that: when another program changed it, nothing is written, the
/// file is read again and the notice says which. Every write is all or nothing and says why it
/// failed; nothing here shows a window. The scenes themselves are ScriptEditor's.
class GameFiles
{
public:
    /// The bytes of Game.txt and Game.ini (`settings` none: there is no Game.ini).
    struct Bytes
    {
        QByteArray script;
        std::optional<QByteArray> settings;
    };

    /// @p versionsRoot is where earlier versions of the game are kept.
    GameFiles(const GameFolder &folder, const QString &versionsRoot);

    /// What open() found.
    struct Opened
    {
        SceneLists scenes;
        Notice scriptNotice; ///< a damaged or unusable Game.txt: nothing else was read
        /// Game.ini is missing (the first settings save makes it) or unreadable.
        Notice settingsNotice;
        Notice readOnlyNotice; ///< the game may not be changed (the installed demo)
    };
    /// Reads Game.txt, then (unless it cannot be used) Game.ini. Both are remembered as they
    /// were opened: writing their opened contents back later puts back the opened bytes.
    Opened open();

    const GameFolder &folder() const { return m_folder; }
    /// The settings as Game.ini held them when last read or written; nothing when there is no
    /// readable Game.ini.
    const std::optional<GameSettings> &settings() const { return m_settings; }
    /// GameFont as Game.ini holds it.
    const QString &gameFont() const { return m_gameFont; }
    /// Why no change may be written to Game.txt (damaged, too large, unreadable), or nothing.
    Notice checkChange() const;
    bool scriptLocked() const { return !m_scriptLock.isEmpty(); }

    /// What a write of Game.txt did. `scenes` holds the scenes Game.txt holds now whenever they
    /// are not the ones the write was given: read again after another program changed the
    /// file (no scenes when the editor can no longer use it), or those of the files writeBoth()
    /// put back.
    struct ScriptWrite
    {
        Notice notice;
        std::optional<SceneLists> scenes;
    };
    /// Appends @p rec to Game.txt.
    ScriptWrite appendScene(const SceneRec &rec);
    /// Game.txt becomes @p scenes: the bytes it was opened with when they are the opened scenes.
    ScriptWrite writeScenes(const SceneLists &scenes);
    /// Game.ini becomes @p state (none: no file; the opened settings: the opened bytes).
    Notice writeSettings(const std::optional<GameSettings> &state);
    /// Both files become @p files, all or nothing (@p current: what they hold now). A Game.txt
    /// in @p files that the editor cannot use is refused. When Game.ini fails after Game.txt was
    /// written and Game.txt cannot be put back either, the notice names both failures and both
    /// files are read again (`scenes` holds what Game.txt holds now).
    ScriptWrite writeBoth(const Bytes &files, const Bytes &current);

    /// What a save of one setting writes.
    struct SettingsSave
    {
        Notice notice;                      ///< why nothing may be saved, or nothing
        std::optional<GameSettings> before; ///< Game.ini as it is now (none: no file)
        GameSettings after;
    };
    /// A save of @p field as @p panel shows it: Game.ini as it is now with that value, or,
    /// without a Game.ini, the whole @p panel (an empty game name becomes the folder's name).
    /// A value that would not read back as typed is refused.
    SettingsSave settingsSave(const GameSettings &panel, GameSettings::Field field) const;

    const VersionStore &versions() const { return m_versions; }
    /// Keeps the files as a version before a change, when one is due.
    void keepVersionIfDue();
    /// Keeps the files as they are now as a version; what they hold, or nothing when they
    /// could not be read or kept.
    std::optional<Bytes> keepCurrent();
    /// Puts @p version back over a Game.txt the editor may not change, whose bytes are kept as
    /// a version first; open() then reads the game again.
    Notice repairFrom(const GameVersion &version);
    /// The question to ask before putting @p version back over the game whose scenes are
    /// @p scenes: when it was kept, how many scenes each has, and where they start to differ.
    QString restoreQuestion(const GameVersion &version, const SceneLists &scenes) const;

    /// The two kinds of scene picture, each in its own folder of the game.
    enum class PictureKind
    {
        Background, ///< in BG/
        MessageBox, ///< in Msg/
    };
    /// Where a picked file stands for the player, who looks for it by name (in any letter case)
    /// in pictureFolder().
    enum class Placement
    {
        InFolder,   ///< it is in that folder: nothing to do
        SameThere,  ///< another copy with the same bytes is there already
        Elsewhere,  ///< it is elsewhere and the player finds no file of its name: it can be copied
        OtherThere, ///< the player finds a different file by its name: copying would replace it
    };
    static constexpr qint64 kMaxPictureBytes = 256 * 1024 * 1024;
    /// The game's folder for @p kind (BG or Msg, found in any letter case), whether or not it
    /// exists yet.
    QString pictureFolder(PictureKind kind) const;
    Placement placement(PictureKind kind, const QString &picked) const;
    /// The file of pictureFolder() the player finds by @p picked's name, any letter case; empty
    /// when there is none.
    QString pictureThere(PictureKind kind, const QString &picked) const;
    /// The game path of a picture of @p kind named @p name, as the scenes store it.
    static QString picturePath(PictureKind kind, const QString &name);

    /// A picked picture, read and ready to be copied in.
    struct PictureRead
    {
        Notice notice; ///< why it cannot be copied, or nothing
        QString target;
        std::optional<QByteArray> before; ///< what the target holds now (none: no file)
        QByteArray bytes;
    };
    /// Reads @p picked for a copy into pictureFolder() (made when missing): over the file the
    /// player finds by its name, else under its own name. A picture larger than
    /// kMaxPictureBytes is refused.
    PictureRead readForCopy(PictureKind kind, const QString &picked) const;
    /// Puts @p bytes (none: no file) at @p target, which must still hold what @p expected
    /// stamps; otherwise another program changed the picture since: nothing is written.
    Notice writePicture(const QString &target, const std::optional<QByteArray> &bytes,
                        const FileStamp &expected);

private:
    std::optional<Bytes> currentFiles() const;
    /// The notice for a failed write of Game.txt; reads the file again if another program
    /// changed it.
    ScriptWrite scriptWriteFailed(const WriteResult &written);
    /// Likewise for Game.ini.
    Notice settingsWriteFailed(const WriteResult &written);
    /// Game.ini failed (@p settings) and so did putting Game.txt back (@p script): both files
    /// are read again.
    ScriptWrite bothWritesFailed(const WriteResult &settings, const WriteResult &script);
    void reloadSettings();

    GameFolder m_folder;
    QString m_scriptLock;                   ///< why Game.txt may not be changed; empty when it may
    FileStamp m_scriptStamp;                ///< Game.txt as the editor last read or wrote it
    FileStamp m_settingsStamp;              ///< Game.ini likewise
    std::optional<GameSettings> m_settings; ///< what Game.ini held then
    QString m_gameFont;
    VersionStore m_versions;
    std::optional<QDateTime> m_versionChecked; ///< when keepVersionIfDue() last looked
    // The files as the editor opened them, so that undoing every step gives them back byte
    // for byte, whatever their spelling.
    SceneLists m_openedScenes;
    QByteArray m_openedScript;
    std::optional<GameSettings> m_openedSettings;
    std::optional<QByteArray> m_openedSettingsBytes;
};
