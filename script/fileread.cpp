#include "fileread.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // Not blocking: opening a pipe for reading would otherwise wait for a writer forever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            return failure(FileRead::Missing);
        return failure(FileRead::Failed, qt_error_string(err));
    }
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st = {};
    if (::fstat(fd, &st) != 0)
        return failure(FileRead::Failed, qt_error_string(errno));
    if (S_ISDIR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))
        return failure(FileRead::NotAFile);
    if (S_ISREG(st.st_mode) && st.st_size > limit)
        return failure(FileRead::TooLarge);

    FileRead read;
    read.status = FileRead::Read;
    if (S_ISREG(st.st_mode))
        read.bytes.reserve(qsizetype(st.st_size));
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failure(FileRead::Failed, qt_error_string(errno));
        }
        if (n == 0)
            break;
        // Stops at the limit plus one byte, whatever the file claims its size to be.
        if (read.bytes.size() + n > limit)
            return failure(FileRead::TooLarge);
        // Grown by hand, so that a file of unknown size never takes more room than the limit.
        if (read.bytes.size() + n > read.bytes.capacity())
            read.bytes.reserve(qsizetype(
                qMin(limit, qMax<qint64>(2 * read.bytes.capacity(), qint64(sizeof chunk) * 16))));
        read.bytes.append(chunk, n);
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
