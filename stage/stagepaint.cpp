#include "stagepaint.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace StagePaint {

int px(int twips, qreal scale)
{
    return qRound(twips / kTwipsPerPixel * scale);
}

void paintBackground(QPainter &painter, QSize size, const QImage &picture, qreal scale)
{
    painter.fillRect(QRect(QPoint(), size), Qt::black);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    if (!picture.isNull())
        painter.drawImage(0, 0, picture);
}

void paintBox(QPainter &painter, const QImage &picture, qreal scale)
{
    painter.setOpacity(kBoxOpacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    painter.drawImage(0, 0, picture);
}

QImage behindText(const QImage &background, const QImage &box, int boxTop, int textTop)
{
    const QRect text(px(kTextLeft), px(textTop), px(kTextWidth), px(kTextHeight));
    QImage area(text.size(), QImage::Format_RGB32);
    QPainter painter(&area);
    // The box is a child of the background: it shows only within the background's area.
    painter.setClipRect(QRect(-text.topLeft(), QSize(px(kBackgroundWidth), px(kBackgroundHeight))));
    painter.translate(-text.topLeft());
    painter.save();
    paintBackground(painter, QSize(px(kBackgroundWidth), px(kBackgroundHeight)), background, 1);
    painter.restore();
    painter.translate(px(kBoxLeft), px(boxTop));
    painter.setClipRect(QRect(0, 0, px(kBoxWidth), px(kBoxHeight)), Qt::IntersectClip);
    paintBox(painter, box, 1);
    painter.end();
    return area;
}

namespace {

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

const std::array<double, 256> &linearTable()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = linear(i);
        return t;
    }();
    return table;
}

} // namespace

double relativeLuminance(QRgb colour)
{
    const auto &l = linearTable();
    return 0.2126 * l[qRed(colour)] + 0.7152 * l[qGreen(colour)] + 0.0722 * l[qBlue(colour)];
}

double meanLuminance(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull())
        return 0;
    double sum = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            sum += relativeLuminance(row[x]);
    }
    return sum / (double(rgb.width()) * rgb.height());
}

double contrastRatio(double luminance, double other)
{
    const auto [dark, light] = std::minmax(luminance, other);
    return (light + 0.05) / (dark + 0.05);
}

} // namespace StagePaint
