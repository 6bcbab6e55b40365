#include "pictures.h"

#include <QImageReader>

namespace Pictures {

QImage load(const QString &path)
{
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    reader.setAllocationLimit(kMaxSide * kMaxSide * 4 / (1024 * 1024));
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide))
        return {};
    return reader.read();
}

} // namespace Pictures
