#include "fontsubset.h"

#include <QRawFont>
#include <QtEndian>

#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>
#include <woff2/decode.h>
#include <woff2/encode.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace FontSubset {
namespace {

using Face = std::unique_ptr<hb_face_t, decltype(&hb_face_destroy)>;

Face faceOf(const QByteArray &sfnt)
{
    hb_blob_t *blob = hb_blob_create(sfnt.constData(), unsigned(sfnt.size()),
                                     HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    Face face(hb_face_create(blob, 0), hb_face_destroy);
    hb_blob_destroy(blob);
    return face;
}

// A font file of the tables Qt holds for @p raw: the face Qt draws with even where it comes
// from a collection (.ttc), without looking for its file.
QByteArray sfntOf(const QRawFont &raw)
{
    static const char *const kTags[] = {"cmap", "head", "hhea", "hmtx", "maxp", "name", "OS/2",
                                        "post", "glyf", "loca", "CFF ", "cvt ", "fpgm", "prep",
                                        "gasp", "GDEF", "GSUB", "GPOS", "vhea", "vmtx", "kern"};
    QList<std::pair<QByteArray, QByteArray>> tables;
    for (const char *tag : kTags) {
        const QByteArray data = raw.fontTable(tag);
        if (!data.isEmpty())
            tables.append({QByteArray(tag, 4), data});
    }
    // Readers look tables up by a binary search of the directory: in tag order.
    std::sort(tables.begin(), tables.end());
    QByteArray out;
    const auto u16 = [&](quint16 v) {
        const quint16 be = qToBigEndian(v);
        out.append(reinterpret_cast<const char *>(&be), 2);
    };
    const auto u32 = [&](quint32 v) {
        const quint32 be = qToBigEndian(v);
        out.append(reinterpret_cast<const char *>(&be), 4);
    };
    const bool cff =
        std::any_of(tables.begin(), tables.end(), [](const auto &t) { return t.first == "CFF "; });
    u32(cff ? 0x4F54544F : 0x00010000);
    const quint16 n = quint16(tables.size());
    int power = 1, log = 0;
    while (power * 2 <= n) {
        power *= 2;
        ++log;
    }
    u16(n);
    u16(quint16(power * 16));
    u16(quint16(log));
    u16(quint16(n * 16 - power * 16));
    quint32 offset = 12 + 16 * n;
    for (const auto &[tag, data] : tables) {
        out.append(tag);
        quint32 sum = 0;
        QByteArray padded = data;
        padded.append(QByteArray((4 - padded.size() % 4) % 4, '\0'));
        for (qsizetype i = 0; i < padded.size(); i += 4)
            sum += qFromBigEndian<quint32>(padded.constData() + i);
        u32(sum);
        u32(offset);
        u32(quint32(data.size()));
        offset += quint32(padded.size());
    }
    for (const auto &[tag, data] : tables) {
        out.append(data);
        out.append(QByteArray((4 - data.size() % 4) % 4, '\0'));
    }
    return out;
}

QString nameOf(hb_face_t *face, hb_ot_name_id_t id)
{
    unsigned length = 0;
    length = hb_ot_name_get_utf8(face, id, hb_language_from_string("en", -1), &length, nullptr);
    if (length == 0)
        length = hb_ot_name_get_utf8(face, id, HB_LANGUAGE_INVALID, &length, nullptr);
    if (length == 0)
        return {};
    QByteArray text(int(length) + 1, '\0');
    unsigned size = length + 1;
    if (hb_ot_name_get_utf8(face, id, hb_language_from_string("en", -1), &size, text.data()) == 0) {
        size = length + 1;
        hb_ot_name_get_utf8(face, id, HB_LANGUAGE_INVALID, &size, text.data());
    }
    return QString::fromUtf8(text.constData()).trimmed();
}

// Runs @p work with standard error shut: Debian's WOFF2 encoder reports each font it compresses
// there ("Compressed … to …"), which `scriptwell --publish` keeps for what went wrong.
template <typename Work>
bool quietly(Work work)
{
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0)
        ::dup2(null, STDERR_FILENO);
    const bool ok = work();
    std::fflush(stderr);
    if (saved >= 0 && null >= 0)
        ::dup2(saved, STDERR_FILENO);
    if (null >= 0)
        ::close(null);
    if (saved >= 0)
        ::close(saved);
    return ok;
}

// As FreeType reads a face's style, which decides whether the player's text is made bold or
// slanted: OS/2's selection flags where the face has them, the head table's otherwise.
void readStyle(const QRawFont &raw, Result &result)
{
    const QByteArray os2 = raw.fontTable("OS/2"), head = raw.fontTable("head");
    if (os2.size() >= 64 && qFromBigEndian<quint16>(os2.constData()) != 0xFFFF) {
        const quint16 selection = qFromBigEndian<quint16>(os2.constData() + 62);
        result.italic = selection & (1 | 512);
        result.bold = selection & 32;
    } else if (head.size() >= 46) {
        const quint16 style = qFromBigEndian<quint16>(head.constData() + 44);
        result.bold = style & 1;
        result.italic = style & 2;
    }
}

// @p face holding only @p characters, without hinting; null when it cannot be cut.
hb_face_t *subsetOf(hb_face_t *face, const QList<char32_t> &characters)
{
    hb_subset_input_t *input = hb_subset_input_create_or_fail();
    hb_set_t *unicodes = hb_subset_input_unicode_set(input);
    for (char32_t c : characters)
        hb_set_add(unicodes, c);
    // The licence and its address stay in the font beside the names kept anyway.
    hb_set_t *names = hb_subset_input_set(input, HB_SUBSET_SETS_NAME_ID);
    hb_set_add(names, HB_OT_NAME_ID_LICENSE);
    hb_set_add(names, HB_OT_NAME_ID_LICENSE_URL);
    // Hinting serves small sizes on old screens; the page scales its text anyway.
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_NO_HINTING);
    hb_face_t *subset = hb_subset_or_fail(face, input);
    hb_subset_input_destroy(input);
    return subset;
}

// @p face as WOFF2; none when it cannot be compressed.
std::optional<QByteArray> woff2Of(hb_face_t *face)
{
    hb_blob_t *blob = hb_face_reference_blob(face);
    unsigned length = 0;
    const char *data = hb_blob_get_data(blob, &length);
    const auto *bytes = reinterpret_cast<const uint8_t *>(data);
    std::string compressed(woff2::MaxWOFF2CompressedSize(bytes, length), '\0');
    size_t compressedLength = compressed.size();
    std::optional<QByteArray> woff2;
    if (quietly([&] {
            return woff2::ConvertTTFToWOFF2(
                bytes, length, reinterpret_cast<uint8_t *>(compressed.data()), &compressedLength);
        }))
        woff2 = QByteArray(compressed.data(), qsizetype(compressedLength));
    hb_blob_destroy(blob);
    return woff2;
}

} // namespace

Result make(const QRawFont &raw, const QList<char32_t> &characters)
{
    Result result;
    if (!raw.isValid()) {
        result.error = QStringLiteral("找不到字体“%1”").arg(raw.familyName());
        return result;
    }
    result.family = raw.familyName();
    readStyle(raw, result);
    const QByteArray sfnt = sfntOf(raw);
    const Face face = faceOf(sfnt);
    // The font's own words, whole: the page shows them behind its 字体许可 link.
    result.copyright = nameOf(face.get(), HB_OT_NAME_ID_COPYRIGHT);
    result.licence = nameOf(face.get(), HB_OT_NAME_ID_LICENSE)
                         .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.licenceUrl = nameOf(face.get(), HB_OT_NAME_ID_LICENSE_URL);
    hb_face_t *subset = subsetOf(face.get(), characters);
    if (!subset) {
        result.error = QStringLiteral("无法裁剪字体“%1”").arg(result.family);
        return result;
    }
    if (const std::optional<QByteArray> woff2 = woff2Of(subset))
        result.woff2 = *woff2;
    else
        result.error = QStringLiteral("无法压缩字体“%1”").arg(result.family);
    hb_face_destroy(subset);
    return result;
}

QList<char32_t> characters(const QByteArray &woff2)
{
    const auto *bytes = reinterpret_cast<const uint8_t *>(woff2.constData());
    const size_t size = woff2::ComputeWOFF2FinalSize(bytes, size_t(woff2.size()));
    if (size == 0)
        return {};
    std::string ttf(size, '\0');
    woff2::WOFF2StringOut out(&ttf);
    if (!woff2::ConvertWOFF2ToTTF(bytes, size_t(woff2.size()), &out))
        return {};
    const QByteArray sfnt(ttf.data(), qsizetype(out.Size()));
    const Face face = faceOf(sfnt);
    hb_set_t *set = hb_set_create();
    hb_face_collect_unicodes(face.get(), set);
    QList<char32_t> found;
    for (hb_codepoint_t c = HB_SET_VALUE_INVALID; hb_set_next(set, &c);)
        found.append(char32_t(c));
    hb_set_destroy(set);
    return found;
}

} // namespace FontSubset
