#include "gbk.h"

#include "gbktable.h"

namespace Gbk {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscape(QChar c)
{
    return c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF;
}

// The character of the lead byte @p lead and the byte after it, or 0.
char16_t pair(uchar lead, uchar trail)
{
    if (lead < Table::kFirstLead || lead > 0xFE || trail < Table::kFirstTrail || trail > 0xFE)
        return 0;
    return Table::kPairs[(lead - Table::kFirstLead) * Table::kTrails + trail - Table::kFirstTrail];
}

// Each character is the longest sequence the table maps (two bytes before one); a byte that
// starts none becomes its escape.
QString decodeBytes(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar b = p[i];
        if (b < 0x80) {
            *o++ = b;
            ++i;
            continue;
        }
        if (i + 1 < n) {
            if (const char16_t c = pair(b, p[i + 1])) {
                *o++ = c;
                i += 2;
                continue;
            }
        }
        const char16_t single = Table::kSingles[b - 0x80];
        *o++ = single ? single : char16_t(kEscapeBase + b);
        ++i;
    }
    out.truncate(o - reinterpret_cast<const char16_t *>(out.constData()));
    return out;
}

} // namespace

bool available()
{
    // The carried table is whole when every character it names maps back to its own bytes.
    static const bool whole = [] {
        int found = 0;
        for (int lead = Table::kFirstLead; lead <= 0xFE; ++lead) {
            for (int trail = Table::kFirstTrail; trail <= 0xFE; ++trail) {
                if (const char16_t c = pair(uchar(lead), uchar(trail))) {
                    if (Table::kBytes[c] != (lead << 8 | trail))
                        return false;
                    ++found;
                }
            }
        }
        return found > 20000;
    }();
    return whole;
}

QString LineDecoder::decode(QByteArrayView bytes)
{
    return decodeBytes(bytes);
}

QString decode(const QByteArray &bytes)
{
    return decodeBytes(bytes);
}

Encoded encode(const QString &text)
{
    Encoded result;
    result.bytes.reserve(text.size() * 2);
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar ch = text.at(i);
        const char16_t u = ch.unicode();
        if (u < 0x80 || isEscape(ch)) {
            result.bytes.append(char(u < 0x80 ? u : u - kEscapeBase));
            ++i;
            continue;
        }
        const quint16 bytes = ch.isSurrogate() ? 0 : Table::kBytes[u];
        if (bytes >= 0x100) {
            result.bytes.append(char(bytes >> 8));
            result.bytes.append(char(bytes & 0xFF));
        } else if (bytes) {
            result.bytes.append(char(bytes));
        } else {
            // A pair of surrogates is named whole: one character GBK cannot hold.
            const qsizetype len = (ch.isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
            const QStringView piece = QStringView(text).mid(i, len);
            if (!result.unencodable.contains(piece))
                result.unencodable.append(piece);
            i += len;
            continue;
        }
        ++i;
    }
    return result;
}

} // namespace Gbk
