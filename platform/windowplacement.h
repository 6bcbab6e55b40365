#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <Qt>

class QWidget;

/// Placing and sizing the programs' fixed-size windows, whose layouts are given in twips.
namespace WindowPlacement {

/// Pixels of a length in twips (15 twips a pixel at 96 dots per inch).
constexpr int px(int twips)
{
    return twips / 15;
}

/// A window with a title, a system menu, minimise and close buttons, and no maximise button.
constexpr Qt::WindowFlags kFixedWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

/// Shows @p window with its whole frame (title bar and borders included) in the middle of the
/// available area of its screen. A window manager decorates a window only after it is shown, so
/// the window is centred once more when its frame first takes its size.
void showCentred(QWidget &window);

/// Centres @p window's frame as it is now known; showCentred() calls it.
void centre(QWidget &window);

/// Which side of another window a window would rather stand on.
enum class Side
{
    Left,
    Right,
};

/// What a window asks for when it is placed beside another: its frame's size, the least it
/// can do with, the side it would rather have and whether it lines up with the other
/// window's top or bottom edge.
struct Beside
{
    QSize wanted;
    QSize minimum;
    Side side = Side::Right;
    Qt::Alignment vertical = Qt::AlignTop;
    bool keepAspect = false; ///< a narrower window is lower in proportion (a picture)
};

/// The frame of a window placed beside the frame @p anchor, all within @p available (a
/// screen's available area, never below or beyond it): on the side it asks for when that side
/// has room for its least width, else on the other side, else below or above the anchor, each
/// time as large as it wants and the room allows. Only when none has room does it overlap the
/// anchor: at the left edge of @p available, ending above @p keepClear (the anchor's buttons)
/// when there is height enough for that. Beside the anchor it keeps clear of @p occupied (the
/// frames of other windows standing there) by moving down, as far as the room allows.
QRect besideRect(const QRect &anchor, const QRect &available, const QRect &keepClear,
                 const Beside &request, const QList<QRect> &occupied = {});

/// Shows @p window where the author last left it (remembered under @p key of the user's
/// settings) when that still lies within the available area of a screen; else places it by
/// besideRect() beside @p anchor, whose frame margins it is taken to share, keeping clear of
/// @p keepClear (in global coordinates) and of the windows @p others that are shown. Its place
/// is remembered again whenever it is hidden.
void showBeside(QWidget &window, const QWidget &anchor, const QRect &keepClear,
                const Beside &request, const QString &key, const QList<QWidget *> &others = {});
/// Remembers where @p window stands now, under @p key of the user's settings.
void remember(const QWidget &window, const QString &key);

} // namespace WindowPlacement
