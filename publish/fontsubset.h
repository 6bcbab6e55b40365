#pragma once

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QString>

/// The game's font cut down to the characters the game uses, for the web page.
namespace FontSubset {

struct Result
{
    QByteArray woff2; ///< empty on failure
    QString family;   ///< the font's family name
    QString licence;  ///< what the font says of its licence (name table: licence, its address,
                      ///< copyright), for the page's notice
    QString error;
};

/// The font Qt draws @p font's Chinese text with, holding only @p characters (each once; a
/// character the font lacks is left out), without hinting, as WOFF2. The font's own licence
/// travels in its name table.
Result make(const QFont &font, const QList<char32_t> &characters);

/// The characters the WOFF2 font @p woff2 maps to glyphs, in code order; empty when it is not a
/// WOFF2 font.
QList<char32_t> characters(const QByteArray &woff2);

} // namespace FontSubset
