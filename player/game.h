#pragma once

#include "gamelogic.h"

#include <QAbstractButton>
#include <QImage>
#include <QWidget>

class QLabel;
class QTimer;
class MessageBoxes;

/// A widget of kind @p Base that holds one picture and repaints when it changes.
template <typename Base>
class PictureHolder : public Base
{
public:
    using Base::Base;
    void setPicture(const QImage &picture)
    {
        m_picture = picture;
        this->update();
    }
    const QImage &picture() const { return m_picture; }

protected:
    QImage m_picture;
};

/// Shows a picture unscaled from its top-left corner; a plain black field without one.
class PictureBox : public PictureHolder<QWidget>
{
public:
    explicit PictureBox(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

/// The message box: a picture drawn at 40 % opacity over what lies below, pressable.
class AlphaImage : public PictureHolder<QAbstractButton>
{
public:
    static constexpr qreal kOpacity = 0.40;
    explicit AlphaImage(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
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

    GameLogic &logic() { return m_logic; }
    PictureBox *BgPic() const { return m_bgPic; }
    AlphaImage *MsgPic() const { return m_msgPic; }
    QLabel *GameNote() const { return m_gameNote; }
    QTimer *WordTimer() const { return m_wordTimer; }

private:
    QImage loadPicture(const QString &path) override;
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
