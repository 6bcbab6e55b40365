#include "pagedata.h"

#include <QBuffer>
#include <QColor>
#include <QCryptographicHash>

#include <cmath>

namespace PageData {

QString gameId(const QString &folder, const QString &name)
{
    const QByteArray hash =
        QCryptographicHash::hash((folder + u'\n' + name).toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(hash.toHex().left(16));
}

double rounded(qreal value)
{
    return std::round(value * 100) / 100;
}

QString hexColour(QRgb rgb)
{
    return QColor(rgb).name(QColor::HexRgb);
}

QByteArray icon(const QImage &picture, int size)
{
    const int side = qMin(picture.width(), picture.height());
    const QImage square =
        picture.copy((picture.width() - side) / 2, (picture.height() - side) / 2, side, side)
            .scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    square.save(&buffer, "PNG");
    return png;
}

} // namespace PageData
