#pragma once

#include "gamefolder.h"

#include <QFont>
#include <QList>
#include <QRawFont>
#include <QRgb>
#include <QString>

/// A stretch of a line that the player draws in one font: the desktop's Latin font draws Latin
/// letters and digits, a Chinese font the Chinese characters, unless the game's font has both.
struct PageRun
{
    int start = 0; ///< where it starts in the line's text
    QRawFont font; ///< the face it is drawn in, at the scene's size
    qreal x = 0;   ///< where it starts, in pixels from the text area's left edge
};

/// One line of a scene text as the player wraps it: its characters and where its baseline
/// starts on the 638×482 stage, in pixels.
struct PageLine
{
    QString text;
    qreal x = 0;
    qreal baseline = 0;
    QList<PageRun> runs; ///< in order, the first from the start; none for an empty line
};

/// A scene as the player ends up showing it, in pixels: everything the page needs to draw it
/// without knowing the codes.
struct PageScene
{
    QString text;       ///< the whole scene text
    QString background; ///< absolute path of the background picture
    QString box;        ///< absolute path of the message-box picture
    int boxTop = 0;     ///< the message box's top edge
    int textTop = 0;    ///< the top edge of the text's area
    QList<PageLine> lines;
    qreal pixelSize = 0; ///< the text's size in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QRgb colour = 0;
    bool reveal = false;      ///< typed out one character per tick
    bool waitsReveal = false; ///< the box takes no click until the text is whole
};

/// The whole game as the player plays it, from the first scene to the closing picture.
struct PageGame
{
    QString title;             ///< the window title the player shows
    QString name;              ///< the game's name (Game.ini), empty without one
    QList<PageLine> nameLines; ///< the name laid out in the first scene's font
    QString music;             ///< absolute path of the music file; empty for none
    QString closing;           ///< absolute path of the closing picture; empty: a black background
    int interval = 0;          ///< ms between two revealed characters
    bool clickCutsReveal = false; ///< a click may cut a reveal short (SkipCode "0")
    QRgb windowColour = 0;        ///< the row below the background
    QList<PageScene> scenes;
    QString endingText; ///< what a screen reader hears at the ending
};

/// What the player's window takes from the desktop it runs on: read where the widgets live, so
/// the scenes can then be worked out on any thread.
struct PlayerLook
{
    QFont labelFont; ///< a text label's own font, before a game sets one
    QRgb buttonText; ///< the colour of text coloured "system button text"
    QRgb window;     ///< the window's colour, below the background
    /// This desktop's; call it on the thread of the application's widgets.
    static PlayerLook ofDesktop();
};

/// Plays @p folder through the player's own logic, without a window, and records each scene as
/// it shows: so a scene's codes, the skip rule and the point where the game ends are read in one
/// place only. Texts are wrapped with the player's font and layout. Needs a QApplication; run()
/// may be called on any thread.
class PageScenes
{
public:
    enum class Result
    {
        Done,
        NoGame,          ///< no Game.txt and Game.ini, or no scene
        MissingPictures, ///< missingPictures() names them
        Damaged,         ///< message() says why
    };
    explicit PageScenes(const GameFolder &folder, const PlayerLook &look = PlayerLook::ofDesktop());
    Result run();
    const PageGame &game() const { return m_game; }
    /// The game paths ("BG\\x.jpg") of scene pictures that are missing or do not decode.
    const QStringList &missingPictures() const { return m_missing; }
    const QString &message() const { return m_message; }

    /// The lines @p text wraps into, in a QLabel of @p width pixels with @p font, as the
    /// player's text label lays it out; x and baseline from the label's top-left corner, and
    /// the stretches of each line that each face draws.
    static QList<PageLine> wrap(const QString &text, const QFont &font, int width);

private:
    /// The game's name, skip rule and music, from Game.ini.
    void readSettings();

    GameFolder m_folder;
    PlayerLook m_look;
    PageGame m_game;
    QStringList m_missing;
    QString m_message;
};
