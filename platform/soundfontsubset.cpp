#include "soundfontsubset.h"

#include <QFile>
#include <QMap>
#include <QtEndian>

#include <array>
#include <cstring>

namespace SoundFontSubset {
namespace {

// A reader of big-endian MIDI data that fails softly at the end.
class Bytes
{
public:
    Bytes(const QByteArray &data, qsizetype from, qsizetype to)
        : m_data(data), m_at(from), m_end(to)
    {
    }
    bool atEnd() const { return m_at >= m_end; }
    bool ok() const { return m_ok; }
    int byte()
    {
        if (m_at >= m_end) {
            m_ok = false;
            return 0;
        }
        return uchar(m_data[m_at++]);
    }
    quint32 variable()
    {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i) {
            const int b = byte();
            value = (value << 7) | (b & 0x7f);
            if (!(b & 0x80))
                return value;
        }
        m_ok = false;
        return value;
    }
    void skip(qint64 count)
    {
        if (count > m_end - m_at)
            m_ok = false;
        m_at = qMin<qint64>(m_end, m_at + count);
    }

private:
    const QByteArray &m_data;
    qsizetype m_at;
    qsizetype m_end;
    bool m_ok = true;
};

constexpr int kDrumChannel = 9;
constexpr int kDrumBank = 128;

} // namespace

std::optional<QSet<int>> presetsOf(const QByteArray &midi)
{
    if (!midi.startsWith("MThd") || midi.size() < 14)
        return std::nullopt;
    QSet<int> presets{key(0, 0), key(kDrumBank, 0)};
    qsizetype at = 8 + qFromBigEndian<quint32>(midi.constData() + 4);
    while (at + 8 <= midi.size()) {
        const quint32 length = qFromBigEndian<quint32>(midi.constData() + at + 4);
        const qsizetype end = at + 8 + qsizetype(length);
        if (end > midi.size())
            return std::nullopt;
        if (midi.mid(at, 4) == "MTrk") {
            std::array<int, 16> bank{};
            Bytes track(midi, at + 8, end);
            int status = 0;
            while (!track.atEnd() && track.ok()) {
                track.variable();
                int b = track.byte();
                if (b == 0xff) {
                    track.byte();
                    track.skip(track.variable());
                    continue;
                }
                if (b == 0xf0 || b == 0xf7) {
                    track.skip(track.variable());
                    continue;
                }
                int first;
                if (b & 0x80) {
                    status = b;
                    first = track.byte();
                } else {
                    first = b; // running status
                }
                const int channel = status & 0x0f;
                switch (status & 0xf0) {
                case 0xc0:
                    if (channel == kDrumChannel)
                        presets.insert(key(kDrumBank, first));
                    else
                        presets.insert(key(bank[channel], first));
                    presets.insert(key(0, first));
                    break;
                case 0xd0: break;
                case 0xb0:
                    if (const int value = track.byte(); first == 0) // bank select (its high byte)
                        bank[channel] = value;
                    break;
                case 0x80:
                case 0x90:
                case 0xa0:
                case 0xe0: track.byte(); break;
                default: return std::nullopt; // data with no status before it
                }
            }
            if (!track.ok())
                return std::nullopt;
        }
        at = end;
    }
    return presets;
}

namespace {

quint16 u16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

void putU16(QByteArray &record, qsizetype at, quint16 value)
{
    qToLittleEndian<quint16>(value, record.data() + at);
}

QByteArray chunk(const char *id, const QByteArray &data)
{
    QByteArray out(id, 4);
    out.resize(8);
    qToLittleEndian<quint32>(quint32(data.size()), out.data() + 4);
    return out + data;
}

// The records of one part of the preset directory, the closing record included.
struct Records
{
    QByteArray data;
    int size = 0;
    int count() const { return size ? int(data.size() / size) : 0; }
    QByteArray at(int i) const { return data.mid(qsizetype(i) * size, size); }
    const char *raw(int i) const { return data.constData() + qsizetype(i) * size; }
};

constexpr quint16 kInstrumentGenerator = 41;

} // namespace

std::optional<Cut> cut(const QString &path, const QSet<int> &presets)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 fileSize = file.size();
    const QByteArray riff = file.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "sfbk")
        return std::nullopt;
    // The top-level lists: the preset directory ("pdta") must be the last.
    qint64 at = 12;
    qint64 pdtaAt = -1;
    quint32 pdtaSize = 0;
    while (at + 12 <= fileSize) {
        file.seek(at);
        const QByteArray head = file.read(12);
        if (head.size() != 12)
            return std::nullopt;
        const quint32 size = qFromLittleEndian<quint32>(head.constData() + 4);
        if (head.startsWith("LIST") && head.mid(8, 4) == "pdta") {
            pdtaAt = at;
            pdtaSize = size;
        }
        at += 8 + size + (size & 1);
    }
    if (pdtaAt < 0 || pdtaAt + 8 + pdtaSize != fileSize)
        return std::nullopt;
    file.seek(pdtaAt + 12);
    const QByteArray pdta = file.read(pdtaSize - 4);
    QMap<QByteArray, Records> parts;
    const QMap<QByteArray, int> sizes{{"phdr", 38}, {"pbag", 4},  {"pmod", 10},
                                      {"pgen", 4},  {"inst", 22}, {"ibag", 4},
                                      {"imod", 10}, {"igen", 4},  {"shdr", 46}};
    for (qsizetype p = 0; p + 8 <= pdta.size();) {
        const QByteArray id = pdta.mid(p, 4);
        const quint32 size = qFromLittleEndian<quint32>(pdta.constData() + p + 4);
        if (p + 8 + qsizetype(size) > pdta.size() || !sizes.contains(id) ||
            size % sizes.value(id) != 0)
            return std::nullopt;
        parts[id] = Records{pdta.mid(p + 8, size), sizes.value(id)};
        p += 8 + size;
    }
    if (parts.size() != sizes.size())
        return std::nullopt;
    const Records &phdr = parts["phdr"], &pbag = parts["pbag"], &pmod = parts["pmod"],
                  &pgen = parts["pgen"], &inst = parts["inst"], &ibag = parts["ibag"],
                  &imod = parts["imod"], &igen = parts["igen"];
    // Each list's closing record bounds the last entry: at least one entry and the closing one.
    for (const Records *r : {&phdr, &pbag, &inst, &ibag})
        if (r->count() < 2)
            return std::nullopt;
    const auto within = [](int from, int to, int count) {
        return from >= 0 && from <= to && to <= count;
    };

    // The presets kept, and the instruments their zones name.
    QList<int> keptPresets;
    QMap<int, int> instruments; // old index → new
    for (int i = 0; i + 1 < phdr.count(); ++i) {
        const int program = u16(phdr.raw(i) + 20), bank = u16(phdr.raw(i) + 22);
        if (!presets.contains(key(bank, program)))
            continue;
        const int from = u16(phdr.raw(i) + 24), to = u16(phdr.raw(i + 1) + 24);
        if (!within(from, to, pbag.count() - 1))
            return std::nullopt;
        keptPresets.append(i);
        for (int b = from; b < to; ++b) {
            const int g0 = u16(pbag.raw(b)), g1 = u16(pbag.raw(b + 1));
            if (!within(g0, g1, pgen.count()))
                return std::nullopt;
            for (int g = g0; g < g1; ++g)
                if (u16(pgen.raw(g)) == kInstrumentGenerator)
                    instruments.insert(u16(pgen.raw(g) + 2), 0);
        }
    }
    int n = 0;
    for (auto it = instruments.begin(); it != instruments.end(); ++it) {
        if (it.key() + 1 >= inst.count())
            return std::nullopt;
        it.value() = n++;
    }

    // Copies the zones [from, to) of a bag list with their generators and modulators.
    const auto copyZones = [&within](const Records &bag, const Records &gen, const Records &mod,
                                     int from, int to, QByteArray &bags, QByteArray &gens,
                                     QByteArray &mods, bool presetLevel,
                                     const QMap<int, int> &instrumentIndex) {
        for (int b = from; b < to; ++b) {
            const int g0 = u16(bag.raw(b)), g1 = u16(bag.raw(b + 1));
            const int m0 = u16(bag.raw(b) + 2), m1 = u16(bag.raw(b + 1) + 2);
            if (!within(g0, g1, gen.count()) || !within(m0, m1, mod.count()))
                return false;
            QByteArray record(4, '\0');
            putU16(record, 0, quint16(gens.size() / 4));
            putU16(record, 2, quint16(mods.size() / 10));
            bags += record;
            for (int g = g0; g < g1; ++g) {
                QByteArray generator = gen.at(g);
                if (presetLevel && u16(generator.constData()) == kInstrumentGenerator)
                    putU16(generator, 2,
                           quint16(instrumentIndex.value(u16(generator.constData() + 2))));
                gens += generator;
            }
            mods += mod.data.mid(qsizetype(m0) * 10, qsizetype(m1 - m0) * 10);
        }
        return true;
    };
    // The closing zone, generator and modulator of a list.
    const auto closing = [](QByteArray &bags, QByteArray &gens, QByteArray &mods) {
        QByteArray record(4, '\0');
        putU16(record, 0, quint16(gens.size() / 4));
        putU16(record, 2, quint16(mods.size() / 10));
        bags += record;
        gens += QByteArray(4, '\0');
        mods += QByteArray(10, '\0');
    };

    QByteArray newPhdr, newPbag, newPmod, newPgen;
    for (const int i : std::as_const(keptPresets)) {
        QByteArray header = phdr.at(i);
        putU16(header, 24, quint16(newPbag.size() / 4));
        newPhdr += header;
        if (!copyZones(pbag, pgen, pmod, u16(phdr.raw(i) + 24), u16(phdr.raw(i + 1) + 24), newPbag,
                       newPgen, newPmod, true, instruments))
            return std::nullopt;
    }
    QByteArray endOfPresets = phdr.at(phdr.count() - 1);
    putU16(endOfPresets, 24, quint16(newPbag.size() / 4));
    newPhdr += endOfPresets;
    closing(newPbag, newPgen, newPmod);

    QByteArray newInst, newIbag, newImod, newIgen;
    for (auto it = instruments.cbegin(); it != instruments.cend(); ++it) {
        const int i = it.key();
        QByteArray header = inst.at(i);
        putU16(header, 20, quint16(newIbag.size() / 4));
        newInst += header;
        const int from = u16(inst.raw(i) + 20), to = u16(inst.raw(i + 1) + 20);
        if (!within(from, to, ibag.count() - 1) ||
            !copyZones(ibag, igen, imod, from, to, newIbag, newIgen, newImod, false, {}))
            return std::nullopt;
    }
    QByteArray endOfInstruments = inst.at(inst.count() - 1);
    putU16(endOfInstruments, 20, quint16(newIbag.size() / 4));
    newInst += endOfInstruments;
    closing(newIbag, newIgen, newImod);

    const QByteArray directory =
        chunk("phdr", newPhdr) + chunk("pbag", newPbag) + chunk("pmod", newPmod) +
        chunk("pgen", newPgen) + chunk("inst", newInst) + chunk("ibag", newIbag) +
        chunk("imod", newImod) + chunk("igen", newIgen) + chunk("shdr", parts["shdr"].data);
    Cut result;
    result.path = path;
    result.headSize = pdtaAt;
    result.directory = chunk("LIST", "pdta" + directory);
    result.riffSize = QByteArray(4, '\0');
    qToLittleEndian<quint32>(quint32(result.size() - 8), result.riffSize.data());
    return result;
}

bool Cut::read(QFile &file, qint64 at, char *into, qint64 count) const
{
    if (at < 0 || count < 0 || at + count > size())
        return false;
    while (count > 0) {
        qint64 n;
        if (at < headSize) {
            n = qMin(count, headSize - at);
            if (!file.seek(at) || file.read(into, n) != n)
                return false;
            // The RIFF size as the cut font has it.
            for (qint64 i = qMax<qint64>(at, 4); i < qMin<qint64>(at + n, 8); ++i)
                into[i - at] = riffSize[i - 4];
        } else {
            n = count;
            std::memcpy(into, directory.constData() + (at - headSize), size_t(n));
        }
        at += n;
        into += n;
        count -= n;
    }
    return true;
}

} // namespace SoundFontSubset
