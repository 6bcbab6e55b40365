#include "filewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

qint64 g_failAfter = -1;

// The mode bits only: the "User" bits report what the current user may do, which for root is
// everything.
constexpr QFileDevice::Permissions kAnyWrite =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

// Checks what the permission bits say, so that a file marked read-only stays untouched even for
// a user (root) whom the system would let write it.
WriteResult checkWritable(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists()) {
        if (info.isDir())
            return WriteResult::failure(QStringLiteral("无法写入%1：该名称已被一个文件夹占用")
                                            .arg(fileName(path)));
        if (!(info.permissions() & kAnyWrite))
            return WriteResult::failure(
                QStringLiteral("无法写入%1：文件是只读的").arg(fileName(path)));
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return WriteResult::failure(
            QStringLiteral("无法写入%1：文件夹不存在").arg(fileName(path)));
    if (!(folder.permissions() & kAnyWrite))
        return WriteResult::failure(
            QStringLiteral("无法写入%1：所在文件夹是只读的").arg(fileName(path)));
    return {};
}

// Writes all of @p bytes, honouring the test limit. Returns false on any short write.
bool writeAll(QIODevice &device, const QByteArray &bytes)
{
    QByteArrayView data(bytes);
    if (g_failAfter >= 0 && data.size() > g_failAfter) {
        device.write(data.first(g_failAfter).toByteArray());
        return false;
    }
    return device.write(bytes) == bytes.size();
}

QString reason(const QFileDevice &file)
{
    if (file.error() == QFileDevice::NoError)
        return QStringLiteral("磁盘空间不足或写入被中断");
    return file.errorString();
}

} // namespace

WriteResult saveWholeFile(const QString &path, const QByteArray &bytes)
{
    if (WriteResult check = checkWritable(path); !check)
        return check;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return WriteResult::failure(
            QStringLiteral("无法写入%1：%2").arg(fileName(path), file.errorString()));
    if (!writeAll(file, bytes) || file.error() != QFileDevice::NoError) {
        const QString why = reason(file);
        file.cancelWriting();
        file.commit(); // discards the temporary file; the old file stays as it was
        return WriteResult::failure(QStringLiteral("无法写入%1：%2").arg(fileName(path), why));
    }
    if (!file.commit())
        return WriteResult::failure(
            QStringLiteral("无法写入%1：%2").arg(fileName(path), file.errorString()));
    return {};
}

WriteResult appendToFile(const QString &path, const QByteArray &bytes)
{
    if (WriteResult check = checkWritable(path); !check)
        return check;
    const bool existed = QFileInfo::exists(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return WriteResult::failure(
            QStringLiteral("无法写入%1：%2").arg(fileName(path), file.errorString()));
    const qint64 oldSize = file.size();
    const bool written = writeAll(file, bytes) && file.flush();
    if (!written) {
        const QString why = reason(file);
        file.unsetError();
        file.resize(oldSize);
        file.close();
        if (!existed)
            QFile::remove(path);
        return WriteResult::failure(QStringLiteral("无法写入%1：%2").arg(fileName(path), why));
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        const QString why = file.errorString();
        QFile::resize(path, oldSize);
        return WriteResult::failure(QStringLiteral("无法写入%1：%2").arg(fileName(path), why));
    }
    return {};
}

namespace FileWriteTesting {
void failAfterBytes(qint64 bytes)
{
    g_failAfter = bytes;
}
} // namespace FileWriteTesting
