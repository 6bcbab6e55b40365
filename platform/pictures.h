#pragma once

#include <QImage>
#include <QString>

/// Pictures for the player: BMP, JPEG, GIF and PNG through Qt's image reader.
namespace Pictures {

/// Largest picture accepted, in pixels (about 64 million: 256 MB decoded); larger ones are
/// refused from their header, before anything is decoded. Any shape within it loads, so a wide
/// panorama is as welcome as a tall scroll.
constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;

/// Reads the picture file at @p path (an absolute path, usually from GameFolder::resolve).
/// Returns a null image when the path is empty, the file is missing or cannot be decoded, or
/// the picture has more than kMaxPixels pixels (nothing is allocated for it then).
QImage load(const QString &path);

} // namespace Pictures
