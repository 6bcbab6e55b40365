#include "windowplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace WindowPlacement {
namespace {

// Places the window again whenever its frame size changes, until the window manager has settled:
// only then is the frame a window manager draws around it known.
class FrameWatcher : public QObject
{
public:
    FrameWatcher(QWidget &window, std::function<void()> place)
        : QObject(&window), m_window(window), m_place(std::move(place))
    {
        m_size = window.frameGeometry().size();
        window.installEventFilter(this);
        // Decoration comes within a few event-loop turns, or never (no window manager).
        QTimer::singleShot(3000, this, [this] { deleteLater(); });
    }

    // Places the window again if its frame has changed size since it was last placed.
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
            m_place();
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
    std::function<void()> m_place;
    QSize m_size;
};

// Moves the window's frame into @p available, made smaller when it is larger.
void fitInto(QWidget &window, const QRect &available)
{
    const QRect frame = window.frameGeometry();
    if (available.contains(frame))
        return;
    const QSize excess(qMax(0, frame.width() - available.width()),
                       qMax(0, frame.height() - available.height()));
    if (!excess.isNull())
        window.resize(window.size() - excess);
    const QSize size = frame.size() - excess;
    window.move(qBound(available.left(), frame.left(), available.right() + 1 - size.width()),
                qBound(available.top(), frame.top(), available.bottom() + 1 - size.height()));
}

// Remembers a window's place each time it is hidden.
class PlaceKeeper : public QObject
{
public:
    PlaceKeeper(QWidget &window, const QString &key) : QObject(&window), m_key(key)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            remember(*static_cast<QWidget *>(watched), m_key);
        return false;
    }

private:
    QString m_key;
};

// Where a window stands on @p side of the anchor, clear of @p occupied as far as the room
// allows; null when that side has no room for its least width.
QRect onSide(const QRect &anchor, const QRect &available, const Beside &request, Side side,
             QList<QRect> occupied)
{
    const int room =
        side == Side::Right ? available.right() - anchor.right() : anchor.left() - available.left();
    if (room < request.minimum.width())
        return {};
    const int width = qMin(request.wanted.width(), room);
    int height = qMin(request.wanted.height(), available.height());
    if (request.keepAspect && request.wanted.width() > 0)
        height = qMin(height, qMax(request.minimum.height(),
                                   width * request.wanted.height() / request.wanted.width()));
    const int x = side == Side::Right ? anchor.right() + 1 : anchor.left() - width;
    int y = request.vertical & Qt::AlignBottom ? anchor.bottom() + 1 - height : anchor.top();
    std::sort(occupied.begin(), occupied.end(),
              [](const QRect &a, const QRect &b) { return a.top() < b.top(); });
    for (const QRect &other : std::as_const(occupied)) {
        if (other.intersects(QRect(x, y, width, height)))
            y = other.bottom() + 1;
    }
    return {x, qBound(available.top(), y, available.bottom() + 1 - height), width, height};
}

QRect onEnd(const QRect &anchor, const QRect &available, const Beside &request, bool below)
{
    const int room = below ? available.bottom() - anchor.bottom() : anchor.top() - available.top();
    if (room < request.minimum.height())
        return {};
    const int width = qMin(request.wanted.width(), available.width());
    const int height = qMin(request.wanted.height(), room);
    const int x = qBound(available.left(), anchor.left(), available.right() + 1 - width);
    return {x, below ? anchor.bottom() + 1 : anchor.top() - height, width, height};
}

bool onSomeScreen(const QRect &frame)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return std::any_of(screens.cbegin(), screens.cend(), [&frame](const QScreen *screen) {
        return screen->availableGeometry().contains(frame);
    });
}

} // namespace

QRect besideRect(const QRect &anchor, const QRect &available, const QRect &keepClear,
                 const Beside &request, const QList<QRect> &occupied)
{
    const Side other = request.side == Side::Right ? Side::Left : Side::Right;
    for (const QRect &place :
         {onSide(anchor, available, request, request.side, occupied),
          onSide(anchor, available, request, other, occupied),
          onEnd(anchor, available, request, true), onEnd(anchor, available, request, false)}) {
        if (!place.isNull())
            return place;
    }
    // No room anywhere: over the anchor's left part, which holds no buttons, above the rest.
    const int width = qMin(available.width(),
                           qMax(request.minimum.width(),
                                qMin(request.wanted.width(), anchor.left() - available.left())));
    int bottom = available.bottom();
    if (keepClear.isValid() && keepClear.top() - available.top() >= request.minimum.height())
        bottom = qMin(bottom, keepClear.top() - 1);
    const int height = qMin(request.wanted.height(), bottom - available.top() + 1);
    return {available.left(), qMax(available.top(), bottom + 1 - height), width, height};
}

void remember(const QWidget &window, const QString &key)
{
    QSettings().setValue(key, window.saveGeometry());
}

void showBeside(QWidget &window, const QWidget &anchor, const QRect &keepClear,
                const Beside &request, const QString &key, const QList<QWidget *> &others)
{
    if (!window.findChild<PlaceKeeper *>(QString(), Qt::FindDirectChildrenOnly))
        new PlaceKeeper(window, key);
    // A window manager frames every window alike: the anchor's frame tells this one's.
    const QRect anchorFrame = anchor.frameGeometry();
    const QMargins margins(anchor.geometry().left() - anchorFrame.left(),
                           anchor.geometry().top() - anchorFrame.top(),
                           anchorFrame.right() - anchor.geometry().right(),
                           anchorFrame.bottom() - anchor.geometry().bottom());
    if (!window.restoreGeometry(QSettings().value(key).toByteArray()) ||
        !onSomeScreen(window.geometry().marginsAdded(margins))) {
        const QScreen *screen = anchor.screen();
        const QRect available = screen ? screen->availableGeometry() : anchorFrame;
        Beside asked = request;
        asked.wanted = request.wanted.grownBy(margins);
        asked.minimum = request.minimum.grownBy(margins);
        QList<QRect> occupied;
        for (const QWidget *other : others) {
            // Its frame as it will be once the window manager has framed it, with room for a
            // border a little larger than the anchor's.
            if (other && other != &window && other->isVisible())
                occupied.append(
                    other->frameGeometry()
                        .united({other->frameGeometry().topLeft(), other->size().grownBy(margins)})
                        .marginsAdded(QMargins(0, 0, 0, 8)));
        }
        const QRect frame = besideRect(anchorFrame, available, keepClear, asked, occupied);
        window.resize(frame.size().shrunkBy(margins));
        window.move(frame.topLeft()); // a top-level window's position is its frame's
    }
    // Its own frame may be a little larger than the anchor's (borders to resize it by).
    const QScreen *screen = anchor.screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    auto *watcher = new FrameWatcher(window, [&window, available] {
        if (available.isValid())
            fitInto(window, available);
    });
    window.show();
    watcher->check();
}

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
    auto *watcher = new FrameWatcher(window, [&window] { centre(window); });
    window.show();
    watcher->check(); // some platforms know the frame as soon as the window exists
}

} // namespace WindowPlacement
