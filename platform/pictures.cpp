#include "pictures.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace Pictures {
namespace {

// The format the first bytes of a file name: "png", "jpeg", "gif" or "bmp"; empty for others.
QByteArray formatOf(const QByteArray &head)
{
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (head.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (head.startsWith("BM"))
        return QByteArrayLiteral("bmp");
    return {};
}

} // namespace

QImage load(const QString &path)
{
    // Only a regular file: reading a pipe would wait for a writer, a device would never end.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Named by its first bytes, whatever its name says, a picture goes straight to its decoder.
    // Left to guess, Qt's reader loads every image plugin it has to ask each about a PNG (half a
    // millisecond before the first frame on a fast machine, more with more plugins installed).
    const QByteArray format = formatOf(file.peek(8));
    QImageReader reader(&file, format);
    if (!format.isEmpty())
        reader.setAutoDetectImageFormat(false);
    // A second guard for formats whose header gives no size: the decoder's own limit, in MB
    // of 32-bit pixels.
    reader.setAllocationLimit(int(kMaxPixels * 4 / (1024 * 1024)));
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels)
        return {};
    return reader.read();
}

} // namespace Pictures
