#pragma once

class QWidget;

/// Placing the programs' fixed-size windows on the desktop.
namespace WindowPlacement {

/// Shows @p window with its whole frame (title bar and borders included) in the middle of the
/// available area of its screen. A window manager decorates a window only after it is shown, so
/// the window is centred once more when its frame first takes its size.
void showCentred(QWidget &window);

/// Centres @p window's frame as it is now known; showCentred() calls it.
void centre(QWidget &window);

} // namespace WindowPlacement
