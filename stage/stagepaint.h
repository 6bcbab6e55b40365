#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>

class QPainter;

/// How the stage paints a scene's pictures, and how the scene text's colour stands against
/// them. The stage's widgets paint through here, and the game check composes what lies behind
/// a text the same way, without widgets.
namespace StagePaint {

/// Where the parts stand on the 638×482 stage, in twips (15 per pixel): the background's size,
/// the box's left edge and size, the text area's left edge and size. Their tops come from the
/// codes.
constexpr int kTwipsPerPixel = 15;
constexpr int kBackgroundWidth = 9615;
constexpr int kBackgroundHeight = 7215;
constexpr int kBoxLeft = 240;
constexpr int kBoxWidth = 9000;
constexpr int kBoxHeight = 1800;
constexpr int kTextLeft = 360;
constexpr int kTextWidth = 8700;
constexpr int kTextHeight = 1380;
/// Where the box's top and the text's stand before a scene's codes move them.
constexpr int kFirstBoxTop = 5040;
constexpr int kFirstTextTop = 5280;
/// The message box is drawn at 40 % opacity over what lies below.
constexpr qreal kBoxOpacity = 0.40;

/// Pixels of a length in twips at @p scale.
int px(int twips, qreal scale = 1);

/// The background area @p size: black, the picture drawn from its top-left corner at @p scale.
void paintBackground(QPainter &painter, QSize size, const QImage &picture, qreal scale);
/// The message box from its top-left corner at @p scale, at the box's opacity.
void paintBox(QPainter &painter, const QImage &picture, qreal scale);

/// What the stage draws at scale 1 under the text area when the box's top is @p boxTop and
/// the text's @p textTop (twips): @p background with @p box over it, without the text.
QImage behindText(const QImage &background, const QImage &box, int boxTop, int textTop);

/// The relative luminance of an sRGB colour (0 black … 1 white), by WCAG's formula.
double relativeLuminance(QRgb colour);
/// The mean relative luminance of the pixels of @p image.
double meanLuminance(const QImage &image);
/// WCAG's contrast ratio of two relative luminances (1 … 21).
double contrastRatio(double luminance, double other);

} // namespace StagePaint
