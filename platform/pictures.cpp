#include "pictures.h"

#include <QFileInfo>
#include <QImageReader>

namespace Pictures {

QImage load(const QString &path)
{
    // Only a regular file: reading a pipe would wait for a writer, a device would never end.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    // A second guard for formats whose header gives no size: the decoder's own limit, in MB
    // of 32-bit pixels.
    reader.setAllocationLimit(int(kMaxPixels * 4 / (1024 * 1024)));
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels)
        return {};
    return reader.read();
}

} // namespace Pictures
