#pragma once

#include "gamelogic.h"
#include "stage.h"

#include <QWidget>

class QLabel;
class QTimer;
class MessageBoxes;

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

    /// Runs start-up, at the scene at list position @p first. Returns false when the program
    /// must end (a missing picture of that scene).
    bool start(int first = 0);

    GameLogic &logic() { return m_logic; }
    PictureBox *BgPic() const { return m_stage->BgPic(); }
    AlphaImage *MsgPic() const { return m_stage->MsgPic(); }
    QLabel *GameNote() const { return m_stage->GameNote(); }
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
    Stage *m_stage;
    QTimer *m_wordTimer;
    GameLogic m_logic;
};
