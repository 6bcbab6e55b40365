#pragma once

#include "announcer.h"
#include "gamelogic.h"
#include "stage.h"

#include <QWidget>

class QLabel;
class QTimer;
class MessageBoxes;

/// The player's window `Game`: background `BgPic`, message box `MsgPic`, scene text
/// `GameNote` and the reveal timer `WordTimer`. It shows what GameLogic asks for and passes
/// timer ticks and clicks back to it. The message box holds the keyboard focus: Space, Enter
/// and Page Down act as a click on it. F11 shows the game full screen; Ctrl+= and Ctrl+- step
/// the window through whole multiples of its size, Ctrl+0 returns to 638×482. A screen reader
/// is told each scene's whole text once, as it appears (Announcer).
class Game : public QWidget, private GameSurface
{
    Q_OBJECT
public:
    static constexpr int kWidth = 638;
    static constexpr int kHeight = 482;

    Game(const GameFolder &folder, MusicDevice &music, MessageBoxes &messages,
         QWidget *parent = nullptr);

    /// Runs start-up, at the scene at list position @p first. Returns false when the program
    /// must end (a missing picture of that scene, nothing to play); @p result then says which.
    bool start(int first = 0, GameLogic::StartResult *result = nullptr);

    GameLogic &logic() { return m_logic; }

    /// The window's size as a whole multiple of 638×482 (1: the game's own size).
    int zoom() const { return m_zoom; }
    /// Steps to @p zoom if the window then fits the screen, and remembers it for this game
    /// folder; returns whether it changed.
    bool setZoom(int zoom);
    /// Steps up one whole multiple (Ctrl+=). When the screen has no room for it, a notice
    /// (PlayerTexts::kZoomNoRoom) stands in the window's middle for kNoticeMilliseconds and a
    /// screen reader says it.
    void zoomIn();
    static constexpr int kNoticeMilliseconds = 2000;
    /// The zoom this game folder had last time, if the window still fits at it.
    void restoreZoom();
    /// Full screen, the scene scaled to fit with its proportions, centred on black (F11); or
    /// back to the window where it stood before (F11 or Esc).
    void toggleFullScreen();
    PictureBox *BgPic() const { return m_stage->BgPic(); }
    AlphaImage *MsgPic() const { return m_stage->MsgPic(); }
    QLabel *GameNote() const { return m_stage->GameNote(); }
    QTimer *WordTimer() const { return m_wordTimer; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool advanceKey(QKeyEvent *event);
    void fitStage();
    QString zoomKey() const;
    StageSurface &stage() override { return *m_stage; }
    QImage loadPicture(const QString &path) override;
    void setTitle(const QString &title) override;
    void setMsgEnabled(bool enabled) override;
    void setMsgVisible(bool visible) override;
    void setTimerInterval(int milliseconds) override;
    void setTimerEnabled(bool enabled) override;
    void showMessage(const QString &text, const QString &title) override;
    void describe(const QString &description) override;
    void sayPending();

    MessageBoxes &m_messages;
    QString m_folderPath;
    Stage *m_stage;
    int m_zoom = 1;
    QRect m_normalGeometry;           ///< the window's client area before full screen
    QString m_pendingDescription;     ///< said once the window has the focus
    bool m_readerHeardWindow = false; ///< the window has had the focus since it showed
    QTimer *m_wordTimer;
    GameLogic m_logic;
    Announcer m_announcer;
};
