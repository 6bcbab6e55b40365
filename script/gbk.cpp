#include "gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Gbk {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscape(QChar c)
{
    return c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF;
}

// Decodes one GBK character (one or two bytes). Returns a null QChar when the bytes are not a
// character that GBK maps and maps back to the same bytes.
QChar decodeOne(const char *data, qsizetype len)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    const QString s = QString(decoder.decode(QByteArrayView(data, len)));
    if (decoder.hasError() || s.size() != 1 || s.at(0) == QChar::ReplacementCharacter)
        return {};
    QStringEncoder encoder("GBK");
    const QByteArray back = encoder.encode(s);
    if (back != QByteArrayView(data, len) || encoder.hasError())
        return {};
    return s.at(0);
}

// Slow path for input holding bytes that are not GBK: walks character by character.
QString decodeCareful(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    const char *p = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(p[i]);
        if (b < 0x80) {
            out.append(QChar(char16_t(b)));
            ++i;
            continue;
        }
        if (b >= 0x81 && b <= 0xFE && i + 1 < n) {
            const QChar c = decodeOne(p + i, 2);
            if (!c.isNull()) {
                out.append(c);
                i += 2;
                continue;
            }
        }
        const QChar single = decodeOne(p + i, 1);
        out.append(single.isNull() ? QChar(char16_t(kEscapeBase + b)) : single);
        ++i;
    }
    return out;
}

} // namespace

bool available()
{
    return QStringEncoder("GBK").isValid() && QStringDecoder("GBK").isValid();
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    QString s = QString(decoder.decode(bytes));
    if (!decoder.hasError() && !s.contains(QChar::ReplacementCharacter))
        return s;
    return decodeCareful(bytes);
}

Encoded encode(const QString &text)
{
    Encoded result;
    bool hasEscapes = false;
    for (QChar c : text) {
        if (isEscape(c)) {
            hasEscapes = true;
            break;
        }
    }

    QStringEncoder encoder("GBK");
    if (!hasEscapes) {
        result.bytes = QByteArray(encoder.encode(text));
        if (!encoder.hasError())
            return result;
    }

    // Careful path: escapes become their byte, and every character that does not encode is
    // named.
    result.bytes.clear();
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (isEscape(c)) {
            result.bytes.append(char(c.unicode() - kEscapeBase));
            ++i;
            continue;
        }
        const qsizetype len = (c.isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView piece = QStringView(text).mid(i, len);
        QStringEncoder one("GBK");
        const QByteArray bytes = QByteArray(one.encode(piece));
        if (one.hasError() || c.isSurrogate()) {
            if (!result.unencodable.contains(piece))
                result.unencodable.append(piece);
        } else {
            result.bytes.append(bytes);
        }
        i += len;
    }
    return result;
}

} // namespace Gbk
