#include "windowplacement.h"

#include <QEvent>
#include <QRect>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace WindowPlacement {
namespace {

// Re-centres the window whenever its frame size changes, until the window manager has settled.
class FrameWatcher : public QObject
{
public:
    explicit FrameWatcher(QWidget &window) : QObject(&window), m_window(window)
    {
        m_size = window.frameGeometry().size();
        window.installEventFilter(this);
        // Decoration comes within a few event-loop turns, or never (no window manager).
        QTimer::singleShot(3000, this, [this] { deleteLater(); });
    }

    // Centres the window again if its frame has changed size since it was last centred.
    void check()
    {
        // Full screen or maximised, the window manager has placed it; a move would undo that.
        if (m_window.windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized)) {
            m_window.removeEventFilter(this);
            deleteLater();
            return;
        }
        if (const QSize size = m_window.frameGeometry().size(); size != m_size) {
            m_size = size;
            centre(m_window);
        }
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
            event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest ||
            event->type() == QEvent::WindowStateChange)
            check();
        return false;
    }

private:
    QWidget &m_window;
    QSize m_size;
};

} // namespace

void centre(QWidget &window)
{
    const QScreen *screen = window.screen();
    if (!screen)
        return;
    QRect frame(QPoint(), window.frameGeometry().size());
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft()); // a top-level window's position is its frame's
}

void showCentred(QWidget &window)
{
    centre(window);
    auto *watcher = new FrameWatcher(window);
    window.show();
    watcher->check(); // some platforms know the frame as soon as the window exists
}

} // namespace WindowPlacement
