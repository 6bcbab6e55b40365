#include "systemio.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SystemIo {

int lastError()
{
    return errno;
}

QString errorText(int error)
{
    return qt_error_string(error);
}

bool isDiskFull(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

int diskFullError()
{
    return ENOSPC;
}

int accessDeniedError()
{
    return EACCES;
}

InFile::InFile(const QString &path)
{
    // Not blocking: opening a pipe for reading would otherwise wait for a writer forever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            return; // Missing
        m_status = FileRead::Failed;
        m_error = qt_error_string(err);
        return;
    }
    m_handle = fd;
    struct stat st = {};
    if (::fstat(fd, &st) != 0) {
        m_status = FileRead::Failed;
        m_error = qt_error_string(errno);
    } else if (S_ISDIR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
        m_status = FileRead::NotAFile;
    } else {
        m_status = FileRead::Read;
        if (S_ISREG(st.st_mode))
            m_size = st.st_size;
    }
}

InFile::~InFile()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
}

qint64 InFile::read(char *into, qint64 max)
{
    for (;;) {
        const ssize_t n = ::read(int(m_handle), into, size_t(max));
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            m_error = qt_error_string(errno);
            return -1;
        }
    }
}

bool syncToDisk(QFileDevice &device, const QString &, int &error)
{
    errno = 0;
    if (!device.flush()) {
        error = errno;
        return false;
    }
    // EINVAL: the file system has nothing to sync (a pipe, some virtual file systems).
    if (::fsync(device.handle()) != 0 && errno != EINVAL) {
        error = errno;
        return false;
    }
    return true;
}

// QSaveFile writes a temporary file beside the old one and renames it over it; the new file
// takes the old one's permissions.
struct Replacement::Side
{
    QSaveFile file;
};

Replacement::Replacement(const QString &file) : m_side(std::make_unique<Side>())
{
    m_side->file.setFileName(file);
}

Replacement::~Replacement() = default;

bool Replacement::open()
{
    // Unbuffered, so that every byte meets the disk in write() or in the checked sync, never in
    // an unchecked flush inside commit().
    return m_side->file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QFileDevice &Replacement::device()
{
    return m_side->file;
}

QString Replacement::newPath() const
{
    return m_side->file.fileName();
}

bool Replacement::commit()
{
    return m_side->file.commit();
}

void Replacement::cancel()
{
    m_side->file.cancelWriting();
    m_side->file.commit(); // discards the temporary file; the old file stays as it was
}

QString Replacement::errorString() const
{
    return m_side->file.errorString();
}

bool Replacement::renameRefused() const
{
    return m_side->file.error() == QFileDevice::RenameError;
}

QList<RawEntry> rawNamedEntries(const QString &dir, bool (*wanted)(const QByteArray &))
{
    QList<RawEntry> found;
    const QByteArray base = QFile::encodeName(dir);
    DIR *d = ::opendir(base.constData());
    if (!d)
        return found;
    while (const dirent *e = ::readdir(d)) {
        const QByteArray raw(e->d_name);
        if (!wanted(raw))
            continue;
        const QByteArray native = base + '/' + raw;
        struct stat st = {};
        if (::stat(native.constData(), &st) != 0)
            continue;
        found.append({raw, native, S_ISDIR(st.st_mode)});
    }
    ::closedir(d);
    return found;
}

QString openablePath(const QByteArray &native, const QString &name)
{
    static QTemporaryDir links(QDir::tempPath() + QStringLiteral("/taletools-names-XXXXXX"));
    if (!links.isValid())
        return {};
    const QString folder = links.filePath(QString::fromLatin1(
        QCryptographicHash::hash(native, QCryptographicHash::Sha1).toHex().left(16)));
    const QString link = folder + u'/' + name;
    if (!QFileInfo(link).isSymLink()) {
        QDir().mkpath(folder);
        // Another thread may have made it a moment ago: then it is there all the same.
        if (::symlink(native.constData(), QFile::encodeName(link).constData()) != 0 &&
            !QFileInfo(link).isSymLink())
            return {};
    }
    return link;
}

bool renameUnlessTaken(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false; // EEXIST among them: the proper name is taken
    struct stat st = {};
    return ::lstat(to.constData(), &st) != 0 && ::rename(from.constData(), to.constData()) == 0;
}

} // namespace SystemIo
