#pragma once

#include <QImage>
#include <QString>

/// Pictures for the player: BMP, JPEG, GIF and PNG through Qt's image reader.
namespace Pictures {

/// Largest picture accepted, in pixels per side; larger ones are refused before decoding.
constexpr int kMaxSide = 8192;

/// Reads the picture file at @p path (an absolute path, usually from GameFolder::resolve).
/// Returns a null image when the path is empty, the file is missing or cannot be decoded, or
/// the picture is larger than kMaxSide on a side (nothing is allocated for it then).
QImage load(const QString &path);

} // namespace Pictures
