#include "pagefaces.h"

#include "fontsubset.h"
#include "pagedata.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

QString faceKey(const QRawFont &font)
{
    return font.familyName() + u'\n' + font.styleName();
}

// Where Qt's FreeType engine strokes the underline of a text in @p font, below the baseline,
// and how thick, in pixels: as the face's own table says, to a 64th of a pixel.
std::pair<qreal, qreal> underlineOf(const QRawFont &font)
{
    const QByteArray post = font.fontTable("post");
    if (post.size() < 12 || font.unitsPerEm() <= 0)
        return {1, 1};
    const qreal scale = font.pixelSize() / font.unitsPerEm();
    const qreal offset = -qFromBigEndian<qint16>(post.constData() + 8) * scale;
    const qreal width = qFromBigEndian<qint16>(post.constData() + 10) * scale;
    return {std::round(offset * 64) / 64, std::max<qreal>(1, std::round(width * 64) / 64)};
}

} // namespace

int PageFaces::faceOf(const QRawFont &font)
{
    const QString key = faceKey(font);
    auto face = m_index.constFind(key);
    if (face == m_index.cend()) {
        face = m_index.insert(key, int(m_faces.size()));
        m_faces.append({font, {}, {}});
    }
    return *face;
}

QJsonArray PageFaces::line(const PageLine &line)
{
    QJsonArray runs;
    for (qsizetype r = 0; r < line.runs.size(); ++r) {
        const PageRun &run = line.runs[r];
        const int face = faceOf(run.font);
        const qsizetype end = r + 1 < line.runs.size() ? line.runs[r + 1].start : line.text.size();
        Face &f = m_faces[face];
        for (char32_t c : line.text.mid(run.start, end - run.start).toUcs4()) {
            if (c >= 0x20 && c != 0x2028 && !f.characters.contains(c)) {
                f.characters.insert(c);
                f.order.append(c);
            }
        }
        runs.append(QJsonArray{run.start, face, PageData::rounded(run.x)});
    }
    return QJsonArray{line.text, PageData::rounded(line.x), PageData::rounded(line.baseline), runs};
}

QJsonObject PageFaces::underlines(const QList<PageLine> &lines) const
{
    QJsonObject underline;
    for (const PageLine &line : lines) {
        for (const PageRun &run : line.runs) {
            const auto [offset, width] = underlineOf(run.font);
            underline.insert(QString::number(m_index.value(faceKey(run.font))),
                             QJsonArray{PageData::rounded(offset), PageData::rounded(width)});
        }
    }
    return underline;
}

PageStep PageFaces::write(PageOutput &out, const std::function<bool()> &cancelled)
{
    for (qsizetype i = 0; i < m_faces.size(); ++i) {
        QJsonArray chunks;
        FontSubset::Result subset;
        const QList<char32_t> &order = m_faces[i].order;
        for (qsizetype from = 0, k = 1; from < order.size();
             from += PageData::kFontChunkCharacters, ++k) {
            QList<char32_t> characters = order.mid(from, PageData::kFontChunkCharacters);
            const QString held = QString::fromUcs4(characters.constData(), characters.size());
            std::sort(characters.begin(), characters.end());
            subset = FontSubset::make(m_faces[i].font, characters);
            if (subset.woff2.isEmpty()) {
                m_error = subset.error;
                return PageStep::CannotWrite;
            }
            const QString name = QStringLiteral("font-%1-%2.woff2").arg(i + 1).arg(k);
            if (!out.put(name, subset.woff2))
                return PageStep::CannotWrite;
            chunks.append(QJsonObject{{QStringLiteral("file"), name},
                                      {QStringLiteral("chars"), held},
                                      {QStringLiteral("bytes"), subset.woff2.size()}});
            if (cancelled && cancelled())
                return PageStep::Cancelled;
        }
        QJsonObject font{{QStringLiteral("chunks"), chunks}};
        if (subset.bold)
            font.insert(QStringLiteral("bold"), 1);
        if (subset.italic)
            font.insert(QStringLiteral("italic"), 1);
        m_data.append(font);
        if (!subset.family.isEmpty() && !m_families.contains(subset.family)) {
            m_families.append(subset.family);
            m_licences.append(QJsonObject{{QStringLiteral("family"), subset.family},
                                          {QStringLiteral("copyright"), subset.copyright},
                                          {QStringLiteral("licence"), subset.licence},
                                          {QStringLiteral("url"), subset.licenceUrl}});
        }
    }
    return PageStep::Done;
}
