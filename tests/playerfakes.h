#pragma once

#include "gamelogic.h"
#include "messages.h"
#include "musicdevice.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStringList>

/// A picture of one colour at @p path (its folders made as needed), for a test game.
inline void writePicture(const QString &path, QColor colour, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!img.save(path))
        qFatal("cannot write %s", qPrintable(path));
}

/// Records the music commands instead of playing them.
class RecordingMusic : public MusicDevice
{
public:
    void sendCommand(const QString &command) override { commands.append(command); }
    QStringList commands;
};

/// Records message boxes instead of showing them.
class RecordingMessages : public MessageBoxes
{
public:
    void show(QWidget *, const QString &text, const QString &title) override
    {
        shown.append(title + u'|' + text);
    }
    bool ask(QWidget *, const QString &text, const QString &title) override
    {
        asked.append(title + u'|' + text);
        return !answers.isEmpty() && answers.takeFirst();
    }
    UnsavedChoice askUnsaved(QWidget *, const QString &text, const QString &title) override
    {
        asked.append(title + u'|' + text);
        return unsavedAnswers.isEmpty() ? UnsavedChoice::Cancel : unsavedAnswers.takeFirst();
    }
    QStringList shown, asked;
    QList<bool> answers;                 ///< what the user answers to the questions, in turn
    QList<UnsavedChoice> unsavedAnswers; ///< what the user answers to "save first?", in turn
};

/// A window stand-in that keeps what the logic set, and a clock that fires the reveal timer.
class FakeSurface : public GameSurface, public StageSurface
{
public:
    StageSurface &stage() override { return *this; }
    QImage loadPicture(const QString &path) override { return QImage(path); }
    GameLogic *logic = nullptr;
    QString title = QStringLiteral("Game");
    QImage background, msgPicture;
    int msgTop = 5040, noteTop = 5280, noteSize = 9, interval = 300;
    bool msgEnabled = true, msgVisible = true, timerEnabled = false;
    bool bold = false, italic = false, underline = false;
    NoteColour colour{false, 0};
    QString caption = QStringLiteral("GameNote"), fontName;
    QStringList messages;
    int noteTopSets = 0, msgTopSets = 0;
    qint64 now = 0, nextTick = 0;

    void setTitle(const QString &t) override { title = t; }
    void setBackground(const QImage &p) override { background = p; }
    void setMsgPicture(const QImage &p) override { msgPicture = p; }
    void setMsgTop(int t) override { msgTop = t, ++msgTopSets; }
    void setMsgEnabled(bool e) override { msgEnabled = e; }
    void setMsgVisible(bool v) override { msgVisible = v; }
    void setNoteVisible(bool v) override { noteVisible = v; }
    void setWaitTimer(int ms) override { waitAt = ms < 0 ? -1 : now + ms; }
    bool noteVisible = true;
    qint64 waitAt = -1; ///< when the pause of auto or skip ends; -1: none runs
    void setNoteCaption(const QString &c) override { caption = c; }
    void setNoteTop(int t) override { noteTop = t, ++noteTopSets; }
    void setNoteFontName(const QString &f) override { fontName = f; }
    void setNoteStyle(bool b, bool i, bool u) override { bold = b, italic = i, underline = u; }
    void setNoteSize(int s) override { noteSize = s; }
    void setNoteColour(const NoteColour &c) override { colour = c; }
    void setTimerInterval(int ms) override { interval = ms; }
    void setTimerEnabled(bool e) override
    {
        if (e && !timerEnabled)
            nextTick = now + interval;
        timerEnabled = e;
    }
    void describe(const QString &d) override { descriptions.append(d); }
    QStringList descriptions;
    void showMessage(const QString &text, const QString &t) override
    {
        messages.append(t + u'|' + text);
    }

    /// Moves the clock on by @p ms, ticking the timer at each interval it passes and ending
    /// the pause of auto or skip when its time comes.
    void runFor(qint64 ms)
    {
        const qint64 until = now + ms;
        for (;;) {
            const bool tick = timerEnabled && nextTick <= until;
            const bool wait = waitAt >= 0 && waitAt <= until;
            if (tick && (!wait || nextTick <= waitAt)) {
                now = nextTick;
                nextTick += interval;
                logic->RevealTick();
            } else if (wait) {
                now = waitAt;
                waitAt = -1;
                logic->WaitElapsed();
            } else {
                break;
            }
        }
        now = until;
    }
    /// A click on the message box, which only an enabled, visible box takes.
    bool click()
    {
        if (!msgEnabled || !msgVisible)
            return false;
        logic->AdvanceScene();
        return true;
    }
};
