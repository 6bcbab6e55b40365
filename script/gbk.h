#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

/// Code page 936 (GBK), the encoding of Game.txt and Game.ini. This is the one place that
/// converts between those bytes and QString.
///
/// Decoding never loses bytes: a byte that is not valid GBK becomes the lone surrogate
/// U+DC00 + byte, and encoding turns such a character back into that very byte, so a file
/// with stray bytes is written back unchanged around them.
namespace Gbk {

/// True when the platform's converter for "GBK" is present (Qt built with ICU).
bool available();

/// Decodes GBK bytes. Never fails; see the namespace comment for invalid bytes.
QString decode(const QByteArray &bytes);

/// Decodes many short pieces (the lines of a file) with one converter, as decode() does.
class LineDecoder
{
public:
    QString decode(QByteArrayView bytes);

private:
    QStringDecoder m_decoder{"GBK", QStringConverter::Flag::Stateless};
};

struct Encoded
{
    QByteArray bytes;
    /// The characters that GBK cannot hold, each once, in order of first appearance.
    /// Empty on success; when not empty, `bytes` must not be written.
    QString unencodable;
    bool ok() const { return unencodable.isEmpty(); }
};

/// Encodes text as GBK, reporting every character that cannot be represented.
Encoded encode(const QString &text);

} // namespace Gbk
