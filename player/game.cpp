#include "game.h"

#include "messages.h"
#include "pictures.h"
#include "playertexts.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QToolTip>

Game::Game(const GameFolder &folder, MusicDevice &music, MessageBoxes &messages, QWidget *parent)
    : QWidget(parent, WindowPlacement::kFixedWindowFlags), m_messages(messages),
      m_folderPath(folder.path()), m_stage(new Stage(this)), m_wordTimer(new QTimer(this)),
      m_logic(folder, *this, music), m_announcer(*this)
{
    setObjectName(QStringLiteral("Game"));
    setWindowTitle(PlayerTexts::kInitialTitle);
    setFixedSize(kWidth, kHeight);

    AlphaImage *box = m_stage->MsgPic();
    box->setAccessibleName(PlayerTexts::kNextAccessibleName);
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(this);
    connect(box, &QAbstractButton::clicked, this, [this] { m_logic.AdvanceScene(); });
    setFocusProxy(box);

    // Larger than 638×482 the scene stands centred on black.
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    const auto shortcut = [this](const QKeySequence &keys, auto action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::Key_F11), [this] { toggleFullScreen(); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] {
        if (isFullScreen())
            toggleFullScreen();
    });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { zoomIn(); });
    shortcut(QKeySequence::ZoomIn, [this] { zoomIn(); });
    shortcut(QKeySequence::ZoomOut, [this] { setZoom(m_zoom - 1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { setZoom(1); });

    m_wordTimer->setObjectName(QStringLiteral("WordTimer"));
    m_wordTimer->setTimerType(Qt::PreciseTimer);
    m_wordTimer->setInterval(GameLogic::kDefaultInterval);
    connect(m_wordTimer, &QTimer::timeout, this, [this] { m_logic.RevealTick(); });
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
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        return advanceKey(static_cast<QKeyEvent *>(event));
    return QWidget::eventFilter(watched, event);
}

void Game::keyPressEvent(QKeyEvent *event)
{
    // The box lost the focus while it was disabled: keys still reach it through the window.
    if (!advanceKey(event))
        QWidget::keyPressEvent(event);
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
    QToolTip::showText(mapToGlobal(rect().center()), PlayerTexts::kZoomNoRoom, this, QRect(),
                       kNoticeMilliseconds);
    m_announcer.announce(PlayerTexts::kZoomNoRoom);
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
    // Without a window manager the window may never be activated: say the first scene anyway.
    if (!m_pendingDescription.isEmpty())
        QTimer::singleShot(1000, this, [this] { sayPending(); });
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

bool Game::start(int first, GameLogic::StartResult *result)
{
    const GameLogic::StartResult started = m_logic.start(first);
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
    m_stage->MsgPic()->setVisible(visible);
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
