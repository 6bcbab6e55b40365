#pragma once

#include <QByteArray>
#include <QString>

/// Code page 936 (GBK), the encoding of Game.txt and Game.ini. This is the one place that
/// converts between those bytes and QString, through a table the programs carry (made at build
/// time from the building system's converter), so that every system reads and writes the same
/// bytes.
///
/// Decoding never loses bytes: a byte that is not valid GBK becomes the lone surrogate
/// U+DC00 + byte, and encoding turns such a character back into that very byte, so a file
/// with stray bytes is written back unchanged around them.
namespace Gbk {

/// True when the carried table is whole (every character it names maps back to its bytes).
bool available();

/// Decodes GBK bytes. Never fails; see the namespace comment for invalid bytes.
QString decode(const QByteArray &bytes);

/// Decodes many short pieces (the lines of a file) with one converter, as decode() does.
class LineDecoder
{
public:
    QString decode(QByteArrayView bytes);
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
