#pragma once

#include "gamelogic.h"

#include <QAbstractButton>
#include <QImage>
#include <QWidget>

class QLabel;
class QTimer;
class MessageBoxes;

/// Shows a picture unscaled from its top-left corner; a plain black field without one.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);
    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

/// The message box: a picture drawn at 40 % opacity over what lies below, pressable.
class AlphaImage : public QAbstractButton
{
    Q_OBJECT
public:
    static constexpr qreal kOpacity = 0.40;
    explicit AlphaImage(QWidget *parent = nullptr);
    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

/// The player's window `Game`: background `BgPic`, message box `MsgPic`, scene text
/// `GameNote` and the reveal timer `WordTimer`. It shows what GameLogic asks for and passes
/// timer ticks and clicks back to it.
class Game : public QWidget, private GameSurface
{
    Q_OBJECT
public:
    static constexpr int kWidth = 638;
    static constexpr int kHeight = 482;

    Game(const GameFolder &folder, MusicDevice &music, MessageBoxes &messages,
         QWidget *parent = nullptr);

    /// Runs start-up. Returns false when the program must end (a missing first picture).
    bool start();
    /// Places the window in the middle of its screen.
    void centre();

    GameLogic &logic() { return m_logic; }
    PictureBox *BgPic() const { return m_bgPic; }
    AlphaImage *MsgPic() const { return m_msgPic; }
    QLabel *GameNote() const { return m_gameNote; }
    QTimer *WordTimer() const { return m_wordTimer; }

private:
    void setTitle(const QString &title) override;
    void setBackground(const QImage &picture) override;
    void setMsgPicture(const QImage &picture) override;
    void setMsgTop(int twips) override;
    void setMsgEnabled(bool enabled) override;
    void setMsgVisible(bool visible) override;
    void setNoteCaption(const QString &caption) override;
    void setNoteTop(int twips) override;
    void setNoteFontName(const QString &family) override;
    void setNoteStyle(bool bold, bool italic, bool underline) override;
    void setNoteSize(int points) override;
    void setNoteColour(const NoteColour &colour) override;
    void setTimerInterval(int milliseconds) override;
    void setTimerEnabled(bool enabled) override;
    void showMessage(const QString &text, const QString &title) override;

    MessageBoxes &m_messages;
    PictureBox *m_bgPic;
    AlphaImage *m_msgPic;
    QLabel *m_gameNote;
    QTimer *m_wordTimer;
    GameLogic m_logic;
};
