#pragma once

#include "gamefolder.h"
#include "readerdata.h"
#include "scenelook.h"
#include "scenerec.h"
#include "scriptfile.h"
#include "settingsfile.h"

#include <QImage>
#include <QList>
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
    /// there is none or it cannot be decoded. At start-up it is called on a thread of its own
    /// for the background while the message box is read: it reads the file and nothing else.
    virtual QImage loadPicture(const QString &path) = 0;
    virtual void setTitle(const QString &title) = 0;
    virtual void setMsgEnabled(bool enabled) = 0;
    virtual void setMsgVisible(bool visible) = 0;
    /// Shows or hides the scene text (the box hidden by the reader takes its text along).
    virtual void setNoteVisible(bool visible) = 0;
    /// The reveal timer `WordTimer`: ticks call GameLogic::RevealTick once per interval.
    virtual void setTimerInterval(int milliseconds) = 0;
    virtual void setTimerEnabled(bool enabled) = 0;
    /// The pause of auto and skip: after @p milliseconds, GameLogic::WaitElapsed once; a
    /// negative value stops a pause still running.
    virtual void setWaitTimer(int milliseconds) = 0;
    /// Auto or skip started or stopped (GameLogic::mode()): the window shows which runs.
    virtual void modeChanged() {}
    /// The reader's place changed (a scene shown for the first time, or another last scene):
    /// the window writes it to the disk soon (ReaderData::keepPlace()).
    virtual void placeChanged() {}
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
    /// How scenes follow each other: on the reader's clicks, by themselves after a pause that
    /// grows with the text (auto), or quickly over scenes already seen (skip).
    enum class Mode
    {
        Normal,
        Auto,
        Skip
    };
    /// One scene shown since the player started, for looking back.
    struct BacklogEntry
    {
        int scene;
        QString text;
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
    /// name a scene of the script. @p script, when given, is the scene file as the caller has
    /// just read it (a large game is then not read twice).
    StartResult start(int first = 0, std::optional<ScriptLoad> script = std::nullopt);

    /// Shows scene @p i. The advance form returns false on a failure (the caller closes the
    /// game); the start-up form returns false when the program must end.
    bool PresentScene(int i, Form form);
    /// One tick of the reveal timer.
    void RevealTick();
    /// A click on the message box: the next scene, or the ending. It stops auto.
    void AdvanceScene();
    /// The ending: closing picture, no text, message box hidden for good, music closed.
    void ShowClosing();

    /// What the reader left behind is kept in @p reader (null: nothing is kept); it must
    /// outlive the logic. Set before start().
    void setReader(ReaderData *reader) { m_reader = reader; }
    /// The reader's settings: text speed, auto speed, volume and mute, skip all.
    void setReaderSettings(const ReaderSettings &settings);
    const ReaderSettings &readerSettings() const { return m_readerSettings; }

    Mode mode() const { return m_mode; }
    /// Auto or skip from now on (Normal stops either). Neither runs after the ending.
    void setMode(Mode mode);
    /// The pause of auto or skip is over: the next scene.
    void WaitElapsed();

    /// Hides the message box and its text, or shows them again.
    void setBoxHidden(bool hidden);
    bool boxHidden() const { return m_boxHidden; }

    /// The scenes shown since the player started, oldest first (at most kBacklogMax).
    const QList<BacklogEntry> &backlog() const { return m_backlog; }
    static constexpr int kBacklogMax = 1000;

    /// Shows scene @p i as at start-up (the music plays on; after the ending it starts
    /// again). False when a picture of it is missing (after saying so): the closing follows.
    bool goToScene(int i);
    /// Where the reader stands, for a save (without a picture, which the window takes); none at
    /// the ending or before a scene is shown.
    std::optional<SavedPlace> currentPlace() const;
    /// Goes to the scene of @p place. When the game has since lost that scene, the nearest
    /// one is shown and the reader is told.
    bool loadPlace(const SavedPlace &place);
    /// The scene "continue" opens for @p reader in a game of @p sceneCount scenes.
    static int continueScene(const ReaderData &reader, int sceneCount);

    /// The pause of auto after a text of @p length characters, at auto speed 100.
    static int autoPause(int length) { return kAutoPauseBase + kAutoPausePerChar * length; }
    static constexpr int kAutoPauseBase = 1500;
    static constexpr int kAutoPausePerChar = 80;
    /// The pause between scenes passed over by skip.
    static constexpr int kSkipPause = 60;
    /// How much of a scene's text a save shows.
    static constexpr int kSavedTextLength = 40;

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
    /// PresentScene()'s start-up form.
    bool presentFirst(int i);
    /// Whether skip shows scene @p i whole at once; it stops at a scene not yet seen.
    bool skipShowsAtOnce(int i);
    void stopReveal();
    void nextScene();
    void startMusic();
    void applySpeed();
    void applyVolume();
    /// The scene's text is all shown: auto and skip wait for the next.
    void textComplete();
    void record(int scene);

    GameFolder m_folder;
    GameSurface &m_surface;
    MusicDevice &m_music;
    SceneLists m_scenes;
    QString m_musicPath;
    QString m_skipCode;
    int m_interval = kDefaultInterval;
    int m_gameInterval = kDefaultInterval; ///< the game's own speed, before the reader's
    ReaderData *m_reader = nullptr;
    ReaderSettings m_readerSettings;
    QList<BacklogEntry> m_backlog;
    Mode m_mode = Mode::Normal;
    bool m_boxHidden = false;
    int m_sceneIndex = 0;
    int m_revealCount = 0;
    bool m_revealing = false;
    bool m_ended = false;
};
