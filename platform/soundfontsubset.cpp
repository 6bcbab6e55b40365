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

// Adds the presets one track selects to @p presets; false when the track cannot be read through.
bool addPresetsOfTrack(Bytes &track, QSet<int> &presets)
{
    std::array<int, 16> bank{};
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
        default: return false; // data with no status before it
        }
    }
    return track.ok();
}

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
            Bytes track(midi, at + 8, end);
            if (!addPresetsOfTrack(track, presets))
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

bool within(int from, int to, int count)
{
    return from >= 0 && from <= to && to <= count;
}

// Where the preset directory ("LIST" "pdta") of the open font @p file begins, and its size;
// none when the file is no sound font or the directory is not its last part.
std::optional<std::pair<qint64, quint32>> presetDirectoryOf(QFile &file)
{
    const qint64 fileSize = file.size();
    const QByteArray riff = file.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "sfbk")
        return std::nullopt;
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
    return std::pair{pdtaAt, pdtaSize};
}

// The nine parts of a preset directory, each whole and of its records' size, by their ids.
std::optional<QMap<QByteArray, Records>> partsOf(const QByteArray &pdta)
{
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
    // Each list's closing record bounds the last entry: at least one entry and the closing one.
    for (const char *id : {"phdr", "pbag", "inst", "ibag"})
        if (parts[id].count() < 2)
            return std::nullopt;
    return parts;
}

// The preset directory being cut.
struct Directory
{
    const Records &phdr, &pbag, &pmod, &pgen, &inst, &ibag, &imod, &igen;
};

// The presets of @p d kept (their indexes) and the instruments their zones name (old index →
// new); false when the directory's indexes lead outside its lists.
bool keep(const Directory &d, const QSet<int> &presets, QList<int> &keptPresets,
          QMap<int, int> &instruments)
{
    for (int i = 0; i + 1 < d.phdr.count(); ++i) {
        const int program = u16(d.phdr.raw(i) + 20), bank = u16(d.phdr.raw(i) + 22);
        if (!presets.contains(key(bank, program)))
            continue;
        const int from = u16(d.phdr.raw(i) + 24), to = u16(d.phdr.raw(i + 1) + 24);
        if (!within(from, to, d.pbag.count() - 1))
            return false;
        keptPresets.append(i);
        for (int b = from; b < to; ++b) {
            const int g0 = u16(d.pbag.raw(b)), g1 = u16(d.pbag.raw(b + 1));
            if (!within(g0, g1, d.pgen.count()))
                return false;
            for (int g = g0; g < g1; ++g)
                if (u16(d.pgen.raw(g)) == kInstrumentGenerator)
                    instruments.insert(u16(d.pgen.raw(g) + 2), 0);
        }
    }
    int n = 0;
    for (auto it = instruments.begin(); it != instruments.end(); ++it) {
        if (it.key() + 1 >= d.inst.count())
            return false;
        it.value() = n++;
    }
    return true;
}

// The zones of a new list, with their generators and modulators.
struct Zones
{
    QByteArray bags, gens, mods;

    // Copies the zones [from, to) of a bag list with their generators and modulators; at the
    // preset level (@p instrumentIndex given) the instruments they name are renumbered.
    bool copy(const Records &bag, const Records &gen, const Records &mod, int from, int to,
              const QMap<int, int> *instrumentIndex)
    {
        for (int b = from; b < to; ++b) {
            const int g0 = u16(bag.raw(b)), g1 = u16(bag.raw(b + 1));
            const int m0 = u16(bag.raw(b) + 2), m1 = u16(bag.raw(b + 1) + 2);
            if (!within(g0, g1, gen.count()) || !within(m0, m1, mod.count()))
                return false;
            addZone();
            for (int g = g0; g < g1; ++g) {
                QByteArray generator = gen.at(g);
                if (instrumentIndex && u16(generator.constData()) == kInstrumentGenerator)
                    putU16(generator, 2,
                           quint16(instrumentIndex->value(u16(generator.constData() + 2))));
                gens += generator;
            }
            mods += mod.data.mid(qsizetype(m0) * 10, qsizetype(m1 - m0) * 10);
        }
        return true;
    }
    // The closing zone, generator and modulator of a list.
    void close()
    {
        addZone();
        gens += QByteArray(4, '\0');
        mods += QByteArray(10, '\0');
    }
    quint16 zoneCount() const { return quint16(bags.size() / 4); }

private:
    void addZone()
    {
        QByteArray record(4, '\0');
        putU16(record, 0, quint16(gens.size() / 4));
        putU16(record, 2, quint16(mods.size() / 10));
        bags += record;
    }
};

// The new "phdr", "pbag", "pmod" and "pgen" of the presets kept.
std::optional<QByteArray> presetLists(const Directory &d, const QList<int> &keptPresets,
                                      const QMap<int, int> &instruments)
{
    QByteArray headers;
    Zones zones;
    for (const int i : keptPresets) {
        QByteArray header = d.phdr.at(i);
        putU16(header, 24, zones.zoneCount());
        headers += header;
        if (!zones.copy(d.pbag, d.pgen, d.pmod, u16(d.phdr.raw(i) + 24),
                        u16(d.phdr.raw(i + 1) + 24), &instruments))
            return std::nullopt;
    }
    QByteArray endOfPresets = d.phdr.at(d.phdr.count() - 1);
    putU16(endOfPresets, 24, zones.zoneCount());
    headers += endOfPresets;
    zones.close();
    return chunk("phdr", headers) + chunk("pbag", zones.bags) + chunk("pmod", zones.mods) +
           chunk("pgen", zones.gens);
}

// The new "inst", "ibag", "imod" and "igen" of the instruments kept.
std::optional<QByteArray> instrumentLists(const Directory &d, const QMap<int, int> &instruments)
{
    QByteArray headers;
    Zones zones;
    for (auto it = instruments.cbegin(); it != instruments.cend(); ++it) {
        const int i = it.key();
        QByteArray header = d.inst.at(i);
        putU16(header, 20, zones.zoneCount());
        headers += header;
        const int from = u16(d.inst.raw(i) + 20), to = u16(d.inst.raw(i + 1) + 20);
        if (!within(from, to, d.ibag.count() - 1) ||
            !zones.copy(d.ibag, d.igen, d.imod, from, to, nullptr))
            return std::nullopt;
    }
    QByteArray endOfInstruments = d.inst.at(d.inst.count() - 1);
    putU16(endOfInstruments, 20, zones.zoneCount());
    headers += endOfInstruments;
    zones.close();
    return chunk("inst", headers) + chunk("ibag", zones.bags) + chunk("imod", zones.mods) +
           chunk("igen", zones.gens);
}

} // namespace

std::optional<Cut> cut(const QString &path, const QSet<int> &presets)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto pdtaPlace = presetDirectoryOf(file);
    if (!pdtaPlace)
        return std::nullopt;
    const auto [pdtaAt, pdtaSize] = *pdtaPlace;
    file.seek(pdtaAt + 12);
    std::optional<QMap<QByteArray, Records>> parts = partsOf(file.read(pdtaSize - 4));
    if (!parts)
        return std::nullopt;
    const Directory d{(*parts)["phdr"], (*parts)["pbag"], (*parts)["pmod"], (*parts)["pgen"],
                      (*parts)["inst"], (*parts)["ibag"], (*parts)["imod"], (*parts)["igen"]};
    QList<int> keptPresets;
    QMap<int, int> instruments;
    if (!keep(d, presets, keptPresets, instruments))
        return std::nullopt;
    const std::optional<QByteArray> presetPart = presetLists(d, keptPresets, instruments);
    const std::optional<QByteArray> instrumentPart = instrumentLists(d, instruments);
    if (!presetPart || !instrumentPart)
        return std::nullopt;

    const QByteArray directory =
        *presetPart + *instrumentPart + chunk("shdr", (*parts)["shdr"].data);
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
