// make_gbk_table TABLE.cpp REFERENCE.h: writes the code page 936 tables the programs carry,
// taken from this system's GBK converter (Qt with ICU), so that every system converts the same
// bytes the same way; and, for the test that proves it, a digest of what the converter answers
// for every one- and two-byte sequence and every character of the Basic Multilingual Plane.

#include <QCryptographicHash>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdio>
#include <vector>

namespace {

constexpr int kFirstLead = 0x81, kLeads = 0xFE - 0x81 + 1;
constexpr int kFirstTrail = 0x40, kTrails = 0xFE - 0x40 + 1;

// The one character @p bytes stand for and map back from, or 0.
char16_t mapped(const QByteArray &bytes)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    const QString s = decoder.decode(bytes);
    if (decoder.hasError() || s.size() != 1 || s.at(0) == QChar::ReplacementCharacter ||
        s.at(0).isSurrogate())
        return 0;
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray back = encoder.encode(s);
    return !encoder.hasError() && back == bytes ? s.at(0).unicode() : 0;
}

// The bytes @p c encodes as; empty when it does not.
QByteArray encoded(char16_t c)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(QStringView(&c, 1));
    return encoder.hasError() ? QByteArray() : bytes;
}

void numbers(QByteArray &out, const char *type, const char *name, const std::vector<int> &values)
{
    out += QByteArray("const ") + type + ' ' + name + '[' + QByteArray::number(values.size()) +
           "] = {";
    for (size_t i = 0; i < values.size(); ++i)
        out += (i % 16 ? " " : "\n    ") + QByteArray::number(values[i]) + ',';
    out += "\n};\n";
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3 || !QStringDecoder("GBK").isValid()) {
        std::fputs("usage: make_gbk_table TABLE.cpp REFERENCE.h (needs Qt with ICU)\n", stderr);
        return 2;
    }
    std::vector<int> pairs(kLeads * kTrails, 0), singles(0x80, 0), bytesOf(0x10000, 0);
    QCryptographicHash digest(QCryptographicHash::Sha256);
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = -1; trail <= 0xFF; ++trail) {
            QByteArray bytes(1, char(lead));
            if (trail >= 0)
                bytes += char(trail);
            const char16_t c = mapped(bytes);
            digest.addData(QByteArrayView(reinterpret_cast<const char *>(&c), 2));
            if (!c)
                continue;
            if (trail < 0)
                singles[lead - 0x80] = c;
            else if (lead >= kFirstLead && lead < kFirstLead + kLeads && trail >= kFirstTrail &&
                     trail < kFirstTrail + kTrails)
                pairs[(lead - kFirstLead) * kTrails + trail - kFirstTrail] = c;
            else {
                std::fprintf(stderr, "make_gbk_table: %02x %02x lies outside the table\n", lead,
                             trail);
                return 1;
            }
        }
    }
    for (int c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const QByteArray bytes = encoded(char16_t(c));
        digest.addData(QByteArray(1, char(bytes.size())) + bytes);
        if (bytes.size() == 1)
            bytesOf[c] = uchar(bytes[0]);
        else if (bytes.size() == 2)
            bytesOf[c] = uchar(bytes[0]) << 8 | uchar(bytes[1]);
        else if (!bytes.isEmpty()) {
            std::fprintf(stderr, "make_gbk_table: U+%04X takes %d bytes\n", c, int(bytes.size()));
            return 1;
        }
    }
    QByteArray table = "// Made by make_gbk_table from the building system's GBK converter.\n"
                       "#include \"gbktable.h\"\n\nnamespace Gbk::Table {\n";
    numbers(table, "char16_t", "kPairs", pairs);
    numbers(table, "char16_t", "kSingles", singles);
    numbers(table, "quint16", "kBytes", bytesOf);
    table += "} // namespace Gbk::Table\n";
    const QByteArray reference =
        "// Made by make_gbk_table from the building system's GBK converter.\n"
        "#define GBK_REFERENCE_SHA256 \"" +
        digest.result().toHex() + "\"\n";
    for (const auto &[path, bytes] : {std::pair{argv[1], table}, std::pair{argv[2], reference}}) {
        QFile out(QString::fromLocal8Bit(path));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
            std::fprintf(stderr, "make_gbk_table: cannot write %s\n", path);
            return 1;
        }
    }
    return 0;
}
