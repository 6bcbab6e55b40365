#pragma once

#include "gamefolder.h"
#include "scenerec.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QList>

#include <QString>
#include <optional>

class SceneReading;

/// One thing wrong with a game, found by GameCheck.
struct GameProblem
{
    int scene = 0;        ///< the scene it concerns, counted from 1 (as in 第N个); 0 for the game
    QString text;         ///< what is wrong, in Chinese
    bool warning = false; ///< the game plays, but looks other than the editor's labels say
    bool operator==(const GameProblem &) const = default;
    /// "第N个: text", or "游戏: text" for the game as a whole.
    QString line() const;
};

/// Everything the player would stumble on in a game folder, found at once: for every scene its
/// pictures (by the player's own lookup: either separator, any letter case), whether they
/// decode and their size, codes no choice can show, and characters of its text the game's font
/// cannot draw; for the game, Game.txt and Game.ini, the music file and the closing picture.
/// Each distinct file is looked at once. A text colour the player paints other than its label
/// says is a warning: games have always looked so, and their authors chose it by what they saw.
/// So are a text the text area cuts off and a text colour of too little contrast against the
/// pictures behind it, as a reader would find them (SceneReading).
class GameCheck
{
public:
    enum class Verdict
    {
        Fine,     ///< no problem
        Warnings, ///< only warnings, listed in problems()
        Problems, ///< problems() says what
        NoGame,   ///< the folder does not exist, or holds neither Game.txt nor Game.ini
    };

    explicit GameCheck(const GameFolder &folder);
    Verdict run();
    const QList<GameProblem> &problems() const { return m_problems; }

private:
    struct Picture
    {
        QString path; ///< the file found, empty when none
        QString problem;
        QImage image; ///< as loaded, null when it does not load
    };
    const Picture &picture(const QString &gamePath, QSize expected);
    void checkSettings(QString &fontName);
    void checkText(int scene, const QString &text, const QString &fontName);
    void checkColour(int scene, int entry);
    /// The five codes of @p rec: each must name an entry of its list.
    void checkCodes(int scene, const SceneRec &rec);
    /// Warns of a text cut off by the text area, or hard to read against what is behind it.
    void checkReading(SceneReading &reading, int scene, const SceneRec &rec,
                      const Picture &background, const Picture &box);
    void add(int scene, const QString &text) { m_problems.append({scene, text}); }
    void warn(int scene, const QString &text) { m_problems.append({scene, text, true}); }

    GameFolder m_folder;
    QList<GameProblem> m_problems;
    QHash<QString, Picture> m_pictures;
    std::optional<QFontMetrics> m_metrics; ///< of the game's font
};
