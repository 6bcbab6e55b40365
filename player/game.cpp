#include "game.h"

#include "messages.h"
#include "pictures.h"
#include "playertexts.h"
#include "windowplacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCryptographicHash>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QWheelEvent>

Game::Game(const GameFolder &folder, MusicDevice &music, MessageBoxes &messages, QWidget *parent)
    : QWidget(parent, WindowPlacement::kFixedWindowFlags), m_messages(messages),
      m_folderPath(folder.path()), m_stage(new Stage(this)), m_wordTimer(new QTimer(this)),
      m_waitTimer(new QTimer(this)), m_placeTimer(new QTimer(this)), m_music(music),
      m_logic(folder, *this, music), m_announcer(*this),
      m_commands(new ReaderCommands(*this, messages))
{
    setObjectName(QStringLiteral("Game"));
    setWindowTitle(PlayerTexts::kInitialTitle);
    setFixedSize(kWidth, kHeight);

    AlphaImage *box = m_stage->MsgPic();
    box->setAccessibleName(PlayerTexts::kNextAccessibleName);
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(this);
    connect(box, &QAbstractButton::clicked, this, [this] {
        readerActed();
        m_logic.AdvanceScene();
    });
    setFocusProxy(box);

    // Larger than 638×482 the scene stands centred on black.
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    addWindowKeys();
    setContextMenuPolicy(Qt::NoContextMenu); // the right button opens the reader's menu itself

    m_waitTimer->setSingleShot(true);
    connect(m_waitTimer, &QTimer::timeout, this, [this] { m_logic.WaitElapsed(); });
    m_placeTimer->setSingleShot(true);
    m_placeTimer->setInterval(kKeepPlaceMilliseconds);
    connect(m_placeTimer, &QTimer::timeout, this, &Game::keepPlace);

    m_wordTimer->setObjectName(QStringLiteral("WordTimer"));
    m_wordTimer->setTimerType(Qt::PreciseTimer);
    m_wordTimer->setInterval(GameLogic::kDefaultInterval);
    connect(m_wordTimer, &QTimer::timeout, this, [this] { m_logic.RevealTick(); });
}

void Game::addWindowKeys()
{
    // The reader's commands bring their keys (ReaderCommands::table()); these are the window's.
    const auto shortcut = [this](const QKeySequence &keys, auto action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this, action] {
            m_skipHeld = false; // Ctrl was held for this command, not to skip
            action();
        });
    };
    connect(m_commands, &ReaderCommands::aboutToRun, this, [this] { m_skipHeld = false; });
    shortcut(QKeySequence(Qt::Key_F11), [this] { toggleFullScreen(); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] {
        if (isFullScreen())
            toggleFullScreen();
        else if (m_commands->backlogOpen())
            m_commands->closeBacklog();
        else if (!readerActed())
            m_commands->openMenu(mapToGlobal(rect().center()));
    });
    shortcut(QKeySequence(Qt::Key_Menu),
             [this] { m_commands->openMenu(mapToGlobal(rect().center())); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { zoomIn(); });
    shortcut(QKeySequence::ZoomIn, [this] { zoomIn(); });
    shortcut(QKeySequence::ZoomOut, [this] { setZoom(m_zoom - 1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { setZoom(1); });
}

bool Game::advanceKey(QKeyEvent *event)
{
    const int key = event->key();
    if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter &&
        key != Qt::Key_PageDown)
        return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    // As a click on the box: only while it takes clicks, and once per press of the key.
    AlphaImage *box = m_stage->MsgPic();
    if (event->type() == QEvent::KeyPress && !event->isAutoRepeat() && box->isVisible() &&
        box->isEnabled())
        box->click();
    return true;
}

bool Game::eventFilter(QObject *watched, QEvent *event)
{
    // The box's own handling of Space (a click on release) gives way to ours.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Control) {
            if (event->type() == QEvent::KeyPress)
                keyPressEvent(key);
            else
                keyReleaseEvent(key);
            return true;
        }
        if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
            readerActed();
        return advanceKey(key);
    }
    return QWidget::eventFilter(watched, event);
}

bool Game::readerActed()
{
    if (m_logic.mode() == GameLogic::Mode::Auto)
        m_logic.setMode(GameLogic::Mode::Normal);
    if (!m_logic.boxHidden())
        return false;
    m_logic.setBoxHidden(false);
    return true;
}

void Game::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Control && !event->isAutoRepeat()) {
        // Ctrl alone, held a moment: Ctrl+S and the other commands must not start skipping.
        m_skipHeld = !m_commands->backlogOpen();
        QTimer::singleShot(kHoldMilliseconds, this, [this] {
            if (m_skipHeld && (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) &&
                isActiveWindow() && !m_commands->backlogOpen())
                m_logic.setMode(GameLogic::Mode::Skip);
        });
        return;
    }
    m_skipHeld = false;
    if (m_commands->backlogOpen()) // keys the list leaves alone do not reach the scene behind it
        return;
    if (!event->isAutoRepeat() && readerActed())
        return;
    if (QAction *command = m_commands->forPassedKey(*event)) {
        command->trigger();
        return;
    }
    // The box lost the focus while it was disabled: keys still reach it through the window.
    if (!advanceKey(event))
        QWidget::keyPressEvent(event);
}

void Game::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Control && !event->isAutoRepeat() && m_skipHeld) {
        m_skipHeld = false;
        if (m_logic.mode() == GameLogic::Mode::Skip)
            m_logic.setMode(GameLogic::Mode::Normal);
        return;
    }
    if (!advanceKey(event))
        QWidget::keyReleaseEvent(event);
}

void Game::mousePressEvent(QMouseEvent *event)
{
    // Clicks the box does not take itself (any button off the box, the right and middle
    // buttons on it) come here.
    if (readerActed())
        return;
    // At the ending a click finds no box to take it: the menu shows the ways on from there.
    if (event->button() == Qt::RightButton ||
        (event->button() == Qt::LeftButton && m_logic.ended()))
        m_commands->openMenu(event->globalPosition().toPoint());
    else if (event->button() == Qt::MiddleButton)
        m_logic.setBoxHidden(true);
    else
        QWidget::mousePressEvent(event);
}

void Game::wheelEvent(QWheelEvent *event)
{
    if (event->angleDelta().y() > 0)
        m_commands->showBacklog(); // not 回顾's action, which closes a list the wheel passed
    else
        QWidget::wheelEvent(event);
}

void Game::fitStage()
{
    const qreal scale =
        isFullScreen() ? qMin(qreal(width()) / kWidth, qreal(height()) / kHeight) : qreal(m_zoom);
    m_stage->setScale(scale);
    m_stage->move((width() - m_stage->width()) / 2, (height() - m_stage->height()) / 2);
}

void Game::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitStage();
}

QString Game::zoomKey() const
{
    const QByteArray hash =
        QCryptographicHash::hash(m_folderPath.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("zoom/") + QString::fromLatin1(hash.toHex().left(16));
}

bool Game::setZoom(int zoom)
{
    if (zoom < 1 || zoom == m_zoom || isFullScreen())
        return false;
    if (const QScreen *s = screen()) {
        const QSize frame = frameGeometry().size() - size();
        const QSize wanted = QSize(kWidth, kHeight) * zoom + frame;
        const QSize room = s->availableGeometry().size();
        if (zoom > m_zoom && (wanted.width() > room.width() || wanted.height() > room.height()))
            return false;
    }
    m_zoom = zoom;
    setFixedSize(kWidth * zoom, kHeight * zoom);
    fitStage();
    if (isVisible())
        WindowPlacement::centre(*this);
    QSettings().setValue(zoomKey(), zoom);
    return true;
}

void Game::zoomIn()
{
    if (setZoom(m_zoom + 1) || isFullScreen())
        return;
    // A key that does nothing looks broken: say why, and what to use instead.
    notice(PlayerTexts::kZoomNoRoom);
}

void Game::notice(const QString &text)
{
    if (!m_notice)
        m_notice = new NoticeLabel(this);
    m_notice->showFor(text, kNoticeMilliseconds);
    m_announcer.announce(text);
}

void Game::restoreZoom()
{
    const int remembered = QSettings().value(zoomKey(), 1).toInt();
    for (int zoom = 2; zoom <= remembered && setZoom(zoom); ++zoom) {
    }
}

void Game::toggleFullScreen()
{
    if (isFullScreen()) {
        // The fixed size first: the window manager frames the window as it will be.
        setFixedSize(kWidth * m_zoom, kHeight * m_zoom);
        showNormal();
        // Placed by its client area: the frame it will have again is not known yet.
        setGeometry(m_normalGeometry);
    } else {
        m_normalGeometry = geometry();
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        showFullScreen();
    }
    fitStage();
}

void Game::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The first scene is said once the window has the focus (changeEvent()). Asked for here,
    // as a screen without a window manager gives the focus to no window by itself; not said
    // after some time instead, which on a busy machine comes before the focus.
    if (!event->spontaneous())
        activateWindow();
}

void Game::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The first scene waits for the window to take the focus: a screen reader presents the new
    // window and its focused control first, and would talk over what was said before.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, this, [this] { sayPending(); });
}

void Game::sayPending()
{
    m_readerHeardWindow = true;
    if (!m_pendingDescription.isEmpty())
        m_announcer.announce(std::exchange(m_pendingDescription, {}));
}

void Game::describe(const QString &description)
{
    // At the ending the box is gone: the closing picture takes the focus, so that keys still
    // reach the window and a reader knows where the focus stands.
    QWidget *box = m_stage->MsgPic();
    if (!box->isVisible() && isVisible()) {
        QWidget *picture = m_stage->BgPic();
        picture->setFocusPolicy(Qt::StrongFocus);
        setFocusProxy(picture);
        picture->setFocus();
    }
    if (!isVisible() || !m_readerHeardWindow) {
        m_pendingDescription = description;
        return;
    }
    m_announcer.announce(description);
}

bool Game::start(int first, GameLogic::StartResult *result, std::optional<ScriptLoad> script)
{
    const GameLogic::StartResult started = m_logic.start(first, std::move(script));
    if (result)
        *result = started;
    return started != GameLogic::StartResult::EndProgram &&
           started != GameLogic::StartResult::NoGame;
}

QImage Game::loadPicture(const QString &path)
{
    return Pictures::load(path);
}

void Game::setTitle(const QString &title)
{
    setWindowTitle(title);
}

void Game::setMsgEnabled(bool enabled)
{
    AlphaImage *box = m_stage->MsgPic();
    box->setEnabled(enabled);
    if (enabled && isActiveWindow())
        box->setFocus(); // a disabled box gave the focus away
}

void Game::setMsgVisible(bool visible)
{
    AlphaImage *box = m_stage->MsgPic();
    box->setVisible(visible);
    if (!visible)
        return;
    // Back from the ending (a save loaded), the box takes the focus over from the picture.
    setFocusProxy(box);
    if (isActiveWindow())
        box->setFocus();
}

void Game::setNoteVisible(bool visible)
{
    m_stage->GameNote()->setVisible(visible);
}

void Game::modeChanged()
{
    const GameLogic::Mode mode = m_logic.mode();
    if (!m_modeLabel && mode != GameLogic::Mode::Normal)
        m_modeLabel = new ModeLabel(this);
    if (m_modeLabel)
        m_modeLabel->showMode(mode);
}

void Game::setWaitTimer(int milliseconds)
{
    if (milliseconds < 0)
        m_waitTimer->stop();
    else
        m_waitTimer->start(milliseconds);
}

void Game::setTimerInterval(int milliseconds)
{
    m_wordTimer->setInterval(milliseconds);
}

void Game::setTimerEnabled(bool enabled)
{
    if (enabled)
        m_wordTimer->start();
    else
        m_wordTimer->stop();
}

void Game::showMessage(const QString &text, const QString &title)
{
    m_messages.show(isVisible() ? this : nullptr, text, title);
}

void Game::useReaderData(const QString &gameReaderFolder, const QString &readerRoot)
{
    m_reader = std::make_unique<ReaderData>(gameReaderFolder);
    m_readerRoot = readerRoot;
    m_logic.setReader(m_reader.get());
    m_logic.setReaderSettings(ReaderData::readSettings(readerRoot));
}

void Game::placeChanged()
{
    if (!m_placeTimer->isActive())
        m_placeTimer->start();
}

void Game::keepPlace()
{
    if (!m_reader)
        return;
    // Reading goes on without it; said once, not at every scene.
    if (const WriteResult kept = m_reader->keepPlace(); !kept && !m_keepFailureSaid) {
        m_keepFailureSaid = true;
        notice(PlayerTexts::kPlaceNotKept + kept.error);
    }
}

void Game::applyReaderSettings(const ReaderSettings &settings)
{
    m_logic.setReaderSettings(settings);
    if (!m_readerRoot.isEmpty()) {
        if (const WriteResult kept = ReaderData::writeSettings(m_readerRoot, settings); !kept)
            notice(PlayerTexts::kSettingsNotKept + kept.error);
    }
}

void Game::closeEvent(QCloseEvent *event)
{
    // Full screen is remembered as the reader leaves the game, not as it was at some moment
    // before. A failure here has nobody to be told: the window is going.
    if (!m_readerRoot.isEmpty())
        ReaderData::keepFullScreen(m_readerRoot, isFullScreen());
    QWidget::closeEvent(event);
}
