#pragma once

#include <QByteArray>
#include <QList>
#include <QRawFont>
#include <QString>

/// A font the game's texts are drawn in, cut down to the characters drawn in it, for the page.
namespace FontSubset {

struct Result
{
    QByteArray woff2;    ///< empty on failure
    QString family;      ///< the font's family name
    QString copyright;   ///< the font's copyright notice (name table), for the page
    QString licence;     ///< the font's licence in its own words, whole (name table)
    QString licenceUrl;  ///< where the licence is read (name table)
    bool bold = false;   ///< the face is bold itself: nothing is to make it bolder
    bool italic = false; ///< the face is italic or oblique itself: nothing is to slant it
    QString error;
};

/// The face @p font holding only @p characters (each once; a character the face lacks is left
/// out), without hinting, as WOFF2. The face's own licence travels in its name table.
Result make(const QRawFont &font, const QList<char32_t> &characters);

/// The characters the WOFF2 font @p woff2 maps to glyphs, in code order; empty when it is not a
/// WOFF2 font.
QList<char32_t> characters(const QByteArray &woff2);

} // namespace FontSubset
