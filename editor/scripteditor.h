#pragma once

#include "gamefolder.h"
#include "scenerec.h"
#include "settingsfile.h"

#include <QString>

#include <optional>

/// What an editing step asks the window to tell the author: nothing when `text` is empty.
struct Notice
{
    QString text;
    QString title;
    bool isEmpty() const { return text.isEmpty(); }
};

/// The editor's model and decisions, without widgets: the scene lists, the current scene
/// number `CurRec`, and every write to Game.txt and Game.ini. After every operation the lists
/// equal what Game.txt holds.
class ScriptEditor
{
public:
    explicit ScriptEditor(const GameFolder &folder);

    /// What start-up found.
    struct StartUp
    {
        Notice scriptNotice;                  ///< a damaged or unusable Game.txt
        std::optional<GameSettings> settings; ///< the settings to show, when read
        Notice settingsNotice;                ///< Game.ini exists but could not be read
    };
    /// Loads Game.txt, then (unless it was damaged) Game.ini when it exists.
    StartUp load();

    const SceneLists &scenes() const { return m_scenes; }
    int CurRec() const { return m_curRec; }
    /// False after start-up found Game.txt damaged: no change may be written to it.
    bool scriptWritable() const { return m_scriptWritable; }

    enum class Browse { First, Previous, Next, Last };
    struct BrowseResult
    {
        Notice notice;
        int position = -1; ///< the list position to show, -1 for none
    };
    /// Moves CurRec as the four browse buttons do. Never names a scene that does not exist.
    BrowseResult browse(Browse action);

    /// Why no change may be written to Game.txt (it was damaged), or nothing.
    Notice checkChange() const;
    /// Whether Add may start: a writable script below the scene limit.
    Notice checkAdd() const;
    /// Appends @p rec to Game.txt and the lists; CurRec becomes the new scene.
    Notice addScene(const SceneRec &rec);
    /// Replaces the scene at CurRec and rewrites Game.txt.
    Notice modifyScene(const SceneRec &rec);
    /// Removes the scene at CurRec and rewrites Game.txt. CurRec does not move.
    Notice deleteScene();

    /// Stores one setting: reads Game.ini, replaces @p field with @p value, writes it back.
    Notice saveSetting(GameSettings::Field field, const QString &value);

    /// The scene text as it is stored: line breaks of every kind become blanks.
    static QString storableText(const QString &text);

private:
    Notice writeFailed(const QString &why) const;

    GameFolder m_folder;
    SceneLists m_scenes;
    int m_curRec = 0;
    bool m_scriptWritable = true;
};
