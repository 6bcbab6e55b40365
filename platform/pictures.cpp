#include "pictures.h"

#include <QImageReader>

namespace Pictures {

QImage load(const QString &path)
{
    if (path.isEmpty())
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
