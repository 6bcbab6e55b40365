#pragma once

#include "gamefolder.h"
#include "scenerec.h"
#include "settingsfile.h"

#include <QImage>
#include <QRgb>
#include <QString>

#include <optional>

class MusicDevice;

/// The colour of the scene text: the system's button-text colour, or an RGB value.
struct NoteColour
{
    bool systemButtonText = false;
    QRgb rgb = 0;
    bool operator==(const NoteColour &) const = default;
};

/// What the player's logic asks of its window. Positions are in twips (15 per pixel).
class GameSurface
{
public:
    virtual ~GameSurface() = default;
    /// Reads the picture file at @p path (absolute, or empty for none); a null image when
    /// there is none or it cannot be decoded.
    virtual QImage loadPicture(const QString &path) = 0;
    virtual void setTitle(const QString &title) = 0;
    /// A null image shows a plain background.
    virtual void setBackground(const QImage &picture) = 0;
    virtual void setMsgPicture(const QImage &picture) = 0;
    virtual void setMsgTop(int twips) = 0;
    virtual void setMsgEnabled(bool enabled) = 0;
    virtual void setMsgVisible(bool visible) = 0;
    virtual void setNoteCaption(const QString &caption) = 0;
    virtual void setNoteTop(int twips) = 0;
    virtual void setNoteFontName(const QString &family) = 0;
    virtual void setNoteStyle(bool bold, bool italic, bool underline) = 0;
    virtual void setNoteSize(int points) = 0;
    virtual void setNoteColour(const NoteColour &colour) = 0;
    /// The reveal timer `WordTimer`: ticks call GameLogic::RevealTick once per interval.
    virtual void setTimerInterval(int milliseconds) = 0;
    virtual void setTimerEnabled(bool enabled) = 0;
    /// A modal message box with one OK button; returns when the user has closed it.
    virtual void showMessage(const QString &text, const QString &title) = 0;
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
        NoScenes,
        EndProgram
    };

    GameLogic(const GameFolder &folder, GameSurface &surface, MusicDevice &music);

    /// Start-up: settings, title, music, speed, font, scenes, then scene 0 whole. Returns
    /// EndProgram when a picture of scene 0 is missing (after its message): the caller ends
    /// the program. NoScenes: the scene file was damaged; the window stays without a scene.
    StartResult start();

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

    /// The longest interval the timer keeps; longer ones are cut to it.
    static constexpr int kMaxInterval = 65535;
    static constexpr int kDefaultInterval = 300;

private:
    void stopReveal();
    /// Sets the property that @p field controls from entry @p k of its table.
    void applyCode(SceneField field, int k);

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
