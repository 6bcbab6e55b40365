#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QString>

/// How the game's data is laid out on the page so that the first scene needs the same few
/// hundred kilobytes whatever the story's length: the scenes in chunks of a bounded size, each
/// font in chunks of a bounded number of characters, in the order the story first uses them.
namespace PageData {

/// A chunk of scenes holds at most this many bytes of data (one longer scene stands alone).
constexpr qsizetype kChunkBytes = 32 * 1024;
/// A chunk of a font holds at most this many characters.
constexpr int kFontChunkCharacters = 256;

/// The id a reader's browser keeps this game's place under: the same each time the game in
/// @p folder (an absolute path) is published, different for another folder or name; it names
/// neither.
QString gameId(const QString &folder, const QString &name);

/// @p value to two decimals: more than the page's canvas draws.
double rounded(qreal value);

/// @p rgb as the page writes a colour: "#rrggbb".
QString hexColour(QRgb rgb);

/// A square icon of @p size pixels cut from the middle of @p picture, as PNG.
QByteArray icon(const QImage &picture, int size);

} // namespace PageData
