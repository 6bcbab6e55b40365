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

// Converters reused character by character on the slow paths: opening one costs far more than
// converting a character. An error sticks to a converter, so a failed one is replaced.
struct Converters
{
    QStringDecoder decoder{"GBK", QStringConverter::Flag::Stateless};
    QStringEncoder encoder{"GBK", QStringConverter::Flag::Stateless};

    // Returns a null string when @p bytes do not decode.
    QString decode(QByteArrayView bytes)
    {
        QString s(decoder.decode(bytes));
        if (!decoder.hasError())
            return s;
        decoder = QStringDecoder("GBK", QStringConverter::Flag::Stateless);
        return {};
    }
    // Returns false when @p text does not encode.
    bool encode(QStringView text, QByteArray &out)
    {
        out = QByteArray(encoder.encode(text));
        if (!encoder.hasError())
            return true;
        encoder = QStringEncoder("GBK", QStringConverter::Flag::Stateless);
        return false;
    }
};

// Decodes one GBK character (one or two bytes). Returns a null QChar when the bytes are not a
// character that GBK maps and maps back to the same bytes.
QChar decodeOne(Converters &c, const char *data, qsizetype len)
{
    const QString s = c.decode(QByteArrayView(data, len));
    if (s.size() != 1 || s.at(0) == QChar::ReplacementCharacter)
        return {};
    QByteArray back;
    if (!c.encode(s, back) || back != QByteArrayView(data, len))
        return {};
    return s.at(0);
}

// Slow path for input holding bytes that are not GBK: walks character by character.
QString decodeCareful(const QByteArray &bytes)
{
    Converters c;
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
            const QChar ch = decodeOne(c, p + i, 2);
            if (!ch.isNull()) {
                out.append(ch);
                i += 2;
                continue;
            }
        }
        const QChar single = decodeOne(c, p + i, 1);
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

QString LineDecoder::decode(QByteArrayView bytes)
{
    // Most lines are codes and file names: plain ASCII needs no converter.
    bool ascii = true;
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    QString s(m_decoder.decode(bytes));
    if (!m_decoder.hasError() && !s.contains(QChar::ReplacementCharacter))
        return s;
    m_decoder = QStringDecoder("GBK", QStringConverter::Flag::Stateless);
    return decodeCareful(bytes.toByteArray());
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
    Converters c;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar ch = text.at(i);
        if (isEscape(ch)) {
            result.bytes.append(char(ch.unicode() - kEscapeBase));
            ++i;
            continue;
        }
        const qsizetype len = (ch.isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView piece = QStringView(text).mid(i, len);
        QByteArray bytes;
        if (!c.encode(piece, bytes) || ch.isSurrogate()) {
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
