#pragma once

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

} // namespace WindowPlacement
