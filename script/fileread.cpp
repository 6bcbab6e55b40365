#include "fileread.h"

#include "systemio.h"

#include <QCryptographicHash>

namespace {

FileRead failure(FileRead::Status status, const QString &error = {})
{
    FileRead read;
    read.status = status;
    read.error = error;
    return read;
}

} // namespace

FileRead readWholeFile(const QString &path, qint64 limit)
{
    if (path.isEmpty())
        return failure(FileRead::Missing);
    SystemIo::InFile in(path);
    if (in.status() != FileRead::Read)
        return failure(in.status(), in.error());
    if (in.size() > limit)
        return failure(FileRead::TooLarge);

    FileRead read;
    read.status = FileRead::Read;
    if (in.size() >= 0)
        read.bytes.reserve(qsizetype(in.size()));
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = in.read(chunk, sizeof chunk);
        if (n < 0)
            return failure(FileRead::Failed, in.error());
        if (n == 0)
            break;
        // Stops at the limit plus one byte, whatever the file claims its size to be.
        if (read.bytes.size() + n > limit)
            return failure(FileRead::TooLarge);
        // Grown by hand, so that a file of unknown size never takes more room than the limit.
        if (read.bytes.size() + n > read.bytes.capacity())
            read.bytes.reserve(qsizetype(
                qMin(limit, qMax<qint64>(2 * read.bytes.capacity(), qint64(sizeof chunk) * 16))));
        read.bytes.append(chunk, qsizetype(n));
    }
    return read;
}

FileStamp FileStamp::of(const QByteArray &bytes)
{
    return {QCryptographicHash::hash(bytes, QCryptographicHash::Sha256)};
}

std::optional<FileStamp> currentStamp(const QString &path, qint64 limit)
{
    const FileRead read = readWholeFile(path, limit);
    switch (read.status) {
    case FileRead::Read: return FileStamp::of(read.bytes);
    case FileRead::Missing: return FileStamp::missing();
    case FileRead::NotAFile:
    case FileRead::TooLarge:
    case FileRead::Failed: break;
    }
    return std::nullopt;
}
