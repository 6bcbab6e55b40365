#pragma once

#include "pageoutput.h"
#include "pagescenes.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QRawFont>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

/// The faces the page draws its texts in, each with the characters it draws in the order the
/// story first uses them, and the fonts made of them: each face cut into chunks of characters,
/// one WOFF2 file each, so the page loads a font a chunk at a time as the reader nears it; and
/// the fonts' licences.
class PageFaces
{
public:
    /// The page's data of @p line: [text, x, baseline, runs], each run [start, face, x]. The
    /// characters each run draws are noted for its face.
    QJsonArray line(const PageLine &line);
    /// Where the faces of @p lines (met in line() before) stroke an underline: [offset below
    /// the baseline, thickness] in pixels, by the face's number.
    QJsonObject underlines(const QList<PageLine> &lines) const;

    /// Writes each face's font files into @p out ("font-F-C.woff2"), asking @p cancelled after
    /// each. CannotWrite with error() set when a font cannot be cut at all.
    PageStep write(PageOutput &out, const std::function<bool()> &cancelled);
    /// Why a font could not be cut; empty when it could.
    const QString &error() const { return m_error; }
    /// The fonts for the page's data, by face: their chunks (file, characters, bytes), and
    /// whether the face is bold or italic itself. Made by write().
    const QJsonArray &data() const { return m_data; }
    /// Each font's family, copyright, licence and the licence's address, in the font's own
    /// words, once per family. Made by write().
    const QJsonArray &licences() const { return m_licences; }

private:
    struct Face
    {
        QRawFont font;
        QList<char32_t> order;
        QSet<char32_t> characters;
    };
    int faceOf(const QRawFont &font);

    QList<Face> m_faces;
    QHash<QString, int> m_index; ///< family and style → index in m_faces
    QJsonArray m_data;
    QStringList m_families;
    QJsonArray m_licences;
    QString m_error;
};
