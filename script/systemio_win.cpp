#include "systemio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <windows.h>

namespace SystemIo {
namespace {

std::wstring nativePath(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()))
        .toStdWString();
}

HANDLE handleOf(qintptr handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

int lastError()
{
    return int(GetLastError());
}

QString errorText(int error)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return QStringLiteral("另一个程序正在使用它,请关闭那个程序后再试");
    case ERROR_ACCESS_DENIED: return QStringLiteral("没有权限");
    case ERROR_WRITE_PROTECT: return QStringLiteral("磁盘有写保护");
    default: break;
    }
    if (isDiskFull(error))
        return QStringLiteral("磁盘空间不足");
    wchar_t *words = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(error), 0, reinterpret_cast<wchar_t *>(&words), 0, nullptr);
    QString text = length ? QString::fromWCharArray(words, int(length)).trimmed()
                          : QStringLiteral("系统错误%1").arg(error);
    LocalFree(words);
    return text;
}

bool isDiskFull(int error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ||
           error == ERROR_NOT_ENOUGH_QUOTA;
}

int diskFullError()
{
    return ERROR_DISK_FULL;
}

int accessDeniedError()
{
    return ERROR_ACCESS_DENIED;
}

InFile::InFile(const QString &path)
{
    const std::wstring name = nativePath(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        m_status = FileRead::NotAFile;
        return;
    }
    // Shared for reading, writing and deleting: reading a game never stands in another
    // program's way.
    const HANDLE h = CreateFileW(name.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ||
            err == ERROR_INVALID_NAME || err == ERROR_BAD_NETPATH)
            return; // Missing
        m_status = FileRead::Failed;
        m_error = errorText(int(err));
        return;
    }
    m_handle = reinterpret_cast<qintptr>(h);
    // A pipe would wait for its writer, a console or a device named CON, NUL or COM1 (names
    // Windows keeps in every folder) for input: only a file on a disk is read.
    if (GetFileType(h) != FILE_TYPE_DISK) {
        m_status = FileRead::NotAFile;
        return;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) {
        m_status = FileRead::Failed;
        m_error = errorText(lastError());
        return;
    }
    m_status = FileRead::Read;
    m_size = size.QuadPart;
}

InFile::~InFile()
{
    if (m_handle != -1)
        CloseHandle(handleOf(m_handle));
}

qint64 InFile::read(char *into, qint64 max)
{
    DWORD got = 0;
    if (!ReadFile(handleOf(m_handle), into, DWORD(qMin<qint64>(max, 1 << 30)), &got, nullptr)) {
        const DWORD err = GetLastError();
        if (err == ERROR_HANDLE_EOF || err == ERROR_BROKEN_PIPE)
            return 0;
        m_error = errorText(int(err));
        return -1;
    }
    return qint64(got);
}

bool syncToDisk(QFileDevice &device, const QString &path, int &error)
{
    if (!device.flush()) {
        error = lastError();
        return false;
    }
    // Qt keeps the file's handle to itself: the file is opened once more to flush what the
    // system holds of it (every handle's writes) to the disk.
    const HANDLE h = CreateFileW(nativePath(path).c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = lastError();
        return false;
    }
    const bool flushed = FlushFileBuffers(h);
    error = flushed ? 0 : lastError();
    CloseHandle(h);
    return flushed;
}

// The new content goes into a file of its own beside the old one, which ReplaceFileW
// puts in the old one's place (keeping the old file's attributes and permissions), or
// MoveFileExW where there is no old file, through to the disk before it returns.
struct Replacement::Side
{
    QString file;
    QFile out;
    QString error;
    bool renameRefused = false;
};

Replacement::Replacement(const QString &file) : m_side(std::make_unique<Side>())
{
    m_side->file = QFileInfo(file).absoluteFilePath();
}

Replacement::~Replacement()
{
    if (!m_side->out.fileName().isEmpty())
        cancel();
}

bool Replacement::open()
{
    const QFileInfo info(m_side->file);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name =
            QStringLiteral(".%1.%2.new")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        m_side->out.setFileName(info.dir().filePath(name));
        if (m_side->out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        if (QFileInfo::exists(m_side->out.fileName()))
            continue; // taken: another name
        m_side->error = m_side->out.errorString();
        break;
    }
    m_side->out.setFileName(QString());
    return false;
}

QFileDevice &Replacement::device()
{
    return m_side->out;
}

QString Replacement::newPath() const
{
    return m_side->out.fileName();
}

bool Replacement::commit()
{
    m_side->out.close();
    const std::wstring from = nativePath(m_side->out.fileName());
    const std::wstring to = nativePath(m_side->file);
    bool done;
    if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
        done = ReplaceFileW(to.c_str(), from.c_str(), nullptr,
                            REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                            nullptr, nullptr);
        // ReplaceFileW refuses some file systems (FAT sticks, shares) that a plain rename serves.
        if (!done && GetLastError() != ERROR_SHARING_VIOLATION &&
            GetLastError() != ERROR_ACCESS_DENIED)
            done = MoveFileExW(from.c_str(), to.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    } else {
        done = MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    if (done) {
        m_side->out.setFileName(QString());
        return true;
    }
    const DWORD err = GetLastError();
    m_side->error = errorText(int(err));
    m_side->renameRefused = err == ERROR_ACCESS_DENIED;
    cancel();
    return false;
}

void Replacement::cancel()
{
    m_side->out.close();
    if (!m_side->out.fileName().isEmpty()) {
        DeleteFileW(nativePath(m_side->out.fileName()).c_str());
    }
    m_side->out.setFileName(QString());
}

QString Replacement::errorString() const
{
    return m_side->error;
}

bool Replacement::renameRefused() const
{
    return m_side->renameRefused;
}

QList<RawEntry> rawNamedEntries(const QString &, bool (*)(const QByteArray &))
{
    return {};
}

QString openablePath(const QByteArray &, const QString &)
{
    return {};
}

bool renameUnlessTaken(const QByteArray &, const QByteArray &)
{
    return false;
}

} // namespace SystemIo
