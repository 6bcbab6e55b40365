#pragma once

#include "announcer.h"
#include "gamelogic.h"
#include "modelabel.h"
#include "noticelabel.h"
#include "readercommands.h"
#include "slotwindow.h"
#include "stage.h"

#include <QWidget>

#include <memory>

class QLabel;
class QMenu;
class QTimer;
class MessageBoxes;

/// The player's window `Game`: background `BgPic`, message box `MsgPic`, scene text
/// `GameNote` and the reveal timer `WordTimer`. It shows what GameLogic asks for and passes
/// timer ticks and clicks back to it. The message box holds the keyboard focus: Space, Enter
/// and Page Down act as a click on it. F11 shows the game full screen; Ctrl+= and Ctrl+- step
/// the window through whole multiples of its size, Ctrl+0 returns to 638×482. A screen reader
/// is told each scene's whole text once, as it appears (Announcer).
///
/// The reader's menu (right-click, Esc, the Menu key) and the keys of the reader's commands
/// come from ReaderCommands; the window adds what is no shortcut: Page Up for the look-back
/// list (the open list scrolls with it), wheel up, skip while Ctrl is held, and hiding the box
/// on a middle click.
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
    /// @p script: the scene file as the caller has just read it, if it has.
    bool start(int first = 0, GameLogic::StartResult *result = nullptr,
               std::optional<ScriptLoad> script = std::nullopt);

    GameLogic &logic() { return m_logic; }

    /// Keeps the reader's place, seen scenes and saves in @p gameReaderFolder and the reader's
    /// settings in @p readerRoot (UserFolders::readerFor() and UserFolders::reader()), and
    /// applies those settings. Call before start().
    void useReaderData(const QString &gameReaderFolder, const QString &readerRoot);
    ReaderData *readerData() const { return m_reader.get(); }

    /// The reader's commands: their actions, the menu, saving and loading, the look-back list.
    ReaderCommands &commands() const { return *m_commands; }
    bool saveSlot(int n) { return m_commands->saveSlot(n); }
    bool loadSlot(int n) { return m_commands->loadSlot(n); }
    void chooseSlot(bool saving) { m_commands->chooseSlot(saving); }
    void openSettings() { m_commands->openSettings(); }
    QMenu *readerMenu() const { return m_commands->menu(); }
    BacklogView *backlogView() const { return m_commands->backlogView(); }
    void showBacklog() { m_commands->showBacklog(); }
    /// The scene as drawn, without the black around it in full screen.
    QWidget *sceneView() const { return m_stage; }
    static constexpr int kThumbWidth = SlotWindow::kThumbWidth;
    static constexpr int kThumbHeight = SlotWindow::kThumbHeight;

    /// The corner note naming auto or skip while either runs; null until first needed.
    QLabel *modeLabel() const { return m_modeLabel; }
    /// The note notice() shows in the window's middle; null until first needed.
    QLabel *noticeLabel() const { return m_notice; }
    /// A short note in the window's middle for kNoticeMilliseconds, also said to a screen reader.
    void notice(const QString &text);
    /// Has a screen reader say @p text once.
    void announce(const QString &text) { m_announcer.announce(text); }
    /// A key or click of the reader's: it stops auto and shows a hidden box again; true when
    /// it did the latter and is used up by it.
    bool readerActed();
    /// Applies and keeps the reader's settings; full screen is left as it is (the settings
    /// window and F11 change it, and it is remembered as the window closes).
    void applyReaderSettings(const ReaderSettings &settings);

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
    /// How long after a scene shows the reader's place is written (a crash loses no more).
    static constexpr int kKeepPlaceMilliseconds = 1000;
    /// How long Ctrl is held alone before skip starts.
    static constexpr int kHoldMilliseconds = 250;
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
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addWindowKeys();
    bool advanceKey(QKeyEvent *event);
    void fitStage();
    QString zoomKey() const;
    StageSurface &stage() override { return *m_stage; }
    QImage loadPicture(const QString &path) override;
    void setTitle(const QString &title) override;
    void setMsgEnabled(bool enabled) override;
    void setMsgVisible(bool visible) override;
    void setNoteVisible(bool visible) override;
    void setWaitTimer(int milliseconds) override;
    void modeChanged() override;
    void placeChanged() override;
    /// Writes the reader's place now; the first failure of a run is said (notice()).
    void keepPlace();
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
    QTimer *m_waitTimer;
    QTimer *m_placeTimer; ///< the place is written a moment after it changed, once
    bool m_keepFailureSaid = false;
    ModeLabel *m_modeLabel = nullptr;
    NoticeLabel *m_notice = nullptr;
    MusicDevice &m_music;
    std::unique_ptr<ReaderData> m_reader;
    QString m_readerRoot;
    bool m_skipHeld = false; ///< skip runs while Ctrl is held
    GameLogic m_logic;
    Announcer m_announcer;
    ReaderCommands *m_commands; ///< owned as a child
};
