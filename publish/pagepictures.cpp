#include "pagepictures.h"

#include "filecopy.h"
#include "pagefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

namespace {

// Formats every browser shows as they are; others are written again as PNG.
bool browserShows(const QByteArray &format)
{
    return format == "jpeg" || format == "png" || format == "gif" || format == "bmp";
}

// The first bytes of the JPEG file at @p path up to the end of its Exif block, with the
// orientation set to "as stored": the player draws a picture as it is stored, a browser turns it
// as the tag says. Empty when the file has no such tag.
QByteArray uprightJpegHead(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray head = file.read(256 * 1024);
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    const auto fits = [&](qsizetype at, qsizetype size) {
        return at >= 0 && size >= 0 && at + size <= head.size();
    };
    qsizetype at = 2;
    while (fits(at, 4) && bytes[at] == 0xFF) {
        const int marker = bytes[at + 1];
        const qsizetype end = at + 2 + qFromBigEndian<quint16>(bytes + at + 2);
        if (marker == 0xDA || marker == 0xD9 || !fits(at, end - at))
            break;
        if (marker == 0xE1 && head.mid(at + 4, 6) == QByteArray("Exif\0\0", 6)) {
            const qsizetype tiff = at + 10;
            const bool little = head.mid(tiff, 2) == "II";
            const auto u16 = [&](qsizetype p) -> quint32 {
                return little ? qFromLittleEndian<quint16>(bytes + p)
                              : qFromBigEndian<quint16>(bytes + p);
            };
            const auto u32 = [&](qsizetype p) -> quint32 {
                return little ? qFromLittleEndian<quint32>(bytes + p)
                              : qFromBigEndian<quint32>(bytes + p);
            };
            if (!fits(tiff, 8))
                return {};
            const qsizetype ifd = tiff + u32(tiff + 4);
            if (!fits(ifd, 2))
                return {};
            for (quint32 i = 0, entries = u16(ifd); i < entries; ++i) {
                const qsizetype entry = ifd + 2 + 12 * qsizetype(i);
                if (entry + 12 > end)
                    break;
                if (u16(entry) == 0x0112) {
                    head[entry + 8] = char(little ? 1 : 0);
                    head[entry + 9] = char(little ? 0 : 1);
                    return head.left(end);
                }
            }
            return {};
        }
        at = end;
    }
    return {};
}

// Writes the picture at @p path to the new file @p target as the page shows it.
PageStep writePicture(const QString &path, const QString &target,
                      const std::function<bool()> &cancelled)
{
    QImageReader reader(path);
    const QByteArray format = reader.format();
    const bool turned = reader.transformation() != QImageIOHandler::TransformationNone;
    const QByteArray head = turned && format == "jpeg" ? uprightJpegHead(path) : QByteArray();
    if (browserShows(format) && (!turned || !head.isEmpty())) {
        switch (FileCopy::copy(path, target, cancelled, head)) {
        case FileCopy::Result::Copied: return PageStep::Done;
        case FileCopy::Result::Cancelled: return PageStep::Cancelled;
        case FileCopy::Result::ReadFailed:
        case FileCopy::Result::WriteFailed: return PageStep::CannotWrite;
        }
    }
    // Written again as the player decodes it, without anything that turns it.
    reader.setAutoTransform(false);
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        !reader.read().save(&file, "PNG") || !file.flush())
        return PageStep::CannotWrite;
    return PageStep::Done;
}

} // namespace

PagePictures::PagePictures(PageOutput &out, std::function<bool()> cancelled,
                           std::function<void(int copied)> copying)
    : m_out(out), m_cancelled(std::move(cancelled)), m_copying(std::move(copying))
{
}

QString PagePictures::nameFor(const QString &path, const QString &folder) const
{
    const QString base = PageFolder::portableName(QFileInfo(path).fileName());
    QString name = folder + u'/' + base;
    for (int k = 2; m_taken.contains(name.toLower()); ++k)
        name = folder + u'/' + QFileInfo(base).completeBaseName() + u'-' + QString::number(k) +
               u'.' + QFileInfo(base).suffix();
    return name;
}

PageStep PagePictures::add(const QString &path, const QString &folder, int *index)
{
    *index = -1;
    if (path.isEmpty())
        return PageStep::Done;
    if (const auto found = m_index.constFind(path); found != m_index.cend()) {
        *index = *found;
        return PageStep::Done;
    }
    if (m_copying)
        m_copying(int(m_index.size()));
    const QString name = nameFor(path, folder);
    const QString target = m_out.path(name);
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return PageStep::CannotWrite;
    if (const PageStep written = writePicture(path, target, m_cancelled); written != PageStep::Done)
        return written;
    m_out.add(name);
    m_taken.insert(name.toLower());
    *index = int(m_names.size());
    m_index.insert(path, *index);
    m_names.append(name);
    return PageStep::Done;
}

QJsonArray PagePictures::bytes() const
{
    QJsonArray sizes;
    for (const QString &name : m_names)
        sizes.append(QFileInfo(m_out.path(name)).size());
    return sizes;
}
