#pragma once

#include "gamefolder.h"
#include "scenelook.h"
#include "scenerec.h"
#include "scriptfile.h"
#include "settingsfile.h"

#include <QImage>
#include <QString>

#include <optional>

class MusicDevice;

/// What the player's logic asks of its window: the stage that shows a scene, and the rest.
class GameSurface
{
public:
    virtual ~GameSurface() = default;
    /// Where the scene is drawn: background, message box and text.
    virtual StageSurface &stage() = 0;
    /// Reads the picture file at @p path (absolute, or empty for none); a null image when
    /// there is none or it cannot be decoded.
    virtual QImage loadPicture(const QString &path) = 0;
    virtual void setTitle(const QString &title) = 0;
    virtual void setMsgEnabled(bool enabled) = 0;
    virtual void setMsgVisible(bool visible) = 0;
    /// The reveal timer `WordTimer`: ticks call GameLogic::RevealTick once per interval.
    virtual void setTimerInterval(int milliseconds) = 0;
    virtual void setTimerEnabled(bool enabled) = 0;
    /// A modal message box with one OK button; returns when the user has closed it.
    virtual void showMessage(const QString &text, const QString &title) = 0;
    /// What a screen reader says of what is now shown: the whole text of a scene as it is
    /// presented, once per scene, or what the ending means.
    virtual void describe(const QString &description) = 0;
};

/// The player: start-up, presenting a scene, the timed reveal, advancing and the ending.
/// It runs without a display: the window (or a test) provides the GameSurface and calls
/// RevealTick and AdvanceScene on timer ticks and clicks.
class GameLogic
{
public:
    enum class Form
    {
        StartUp,
        Advance
    };
    enum class StartResult
    {
        Playing,
        NoScenes,   ///< the scene file was damaged: the window stays, without a scene
        NoGame,     ///< the folder holds no game, or a game without scenes (after saying so)
        EndProgram, ///< a picture of the first scene is missing (after saying so)
    };

    GameLogic(const GameFolder &folder, GameSurface &surface, MusicDevice &music);

    /// Start-up: settings, title, music, speed, font, scenes, then scene 0 whole. Returns
    /// EndProgram when a picture of scene 0 is missing (after its message): the caller ends
    /// the program. NoScenes: the scene file was damaged; the window stays without a scene.
    /// NoGame: nothing to play (no Game.txt and no Game.ini, or no scene yet), said plainly.
    /// @p first is the list position of the scene to start at (0: the first scene); it must
    /// name a scene of the script.
    StartResult start(int first = 0);

    /// Shows scene @p i. The advance form returns false on a failure (the caller closes the
    /// game); the start-up form returns false when the program must end.
    bool PresentScene(int i, Form form);
    /// One tick of the reveal timer.
    void RevealTick();
    /// A click on the message box: the next scene, or the ending.
    void AdvanceScene();
    /// The ending: closing picture, no text, message box hidden for good, music closed.
    void ShowClosing();

    int SceneIndex() const { return m_sceneIndex; }
    int RevealCount() const { return m_revealCount; }
    bool ended() const { return m_ended; }
    /// The reveal interval in milliseconds; 0 when texts appear at once.
    int interval() const { return m_interval; }
    const SceneLists &scenes() const { return m_scenes; }

    /// What to say when @p script (read from a folder with or without a readable Game.ini, as
    /// @p hasSettings says) gives nothing to play: no game at all, or no scene yet. Empty when
    /// there is something to play, or the script is damaged (start() says so itself).
    static QString nothingToPlay(const ScriptLoad &script, bool hasSettings);

    /// The longest interval the timer keeps; longer ones are cut to it.
    static constexpr int kMaxInterval = 65535;
    static constexpr int kDefaultInterval = 300;

private:
    void stopReveal();

    GameFolder m_folder;
    GameSurface &m_surface;
    MusicDevice &m_music;
    SceneLists m_scenes;
    QString m_musicPath;
    QString m_skipCode;
    int m_interval = kDefaultInterval;
    int m_sceneIndex = 0;
    int m_revealCount = 0;
    bool m_revealing = false;
    bool m_ended = false;
};
