#include "filewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "systemio.h"

using FileWriteTesting::Step;

namespace {

struct Fault
{
    bool on = false;
    Step step = Step::Write;
    qint64 bytes = 0;
    int spared = 0; ///< whole writes still to pass untouched
};
Fault g_fault;
bool g_sparing = false; ///< the write under way is one of them

bool faultAt(Step step)
{
    return g_fault.on && !g_sparing && g_fault.step == step;
}

// One whole write: counted against the injected fault's spared writes.
class WholeWrite
{
public:
    WholeWrite() : m_spared(g_fault.on && g_fault.spared > 0)
    {
        if (m_spared) {
            --g_fault.spared;
            g_sparing = true;
        }
    }
    ~WholeWrite()
    {
        if (m_spared)
            g_sparing = false;
    }
    WholeWrite(const WholeWrite &) = delete;
    WholeWrite &operator=(const WholeWrite &) = delete;

private:
    bool m_spared;
};

// The mode bits only: the "User" bits report what the current user may do, which for root is
// everything.
constexpr QFileDevice::Permissions kAnyWrite =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

WriteResult failed(const QString &path, const QString &why)
{
    return WriteResult::failure(
        QStringLiteral("无法写入%1：%2").arg(QFileInfo(path).fileName(), why));
}

// The file a write must reach: the one reading reaches. A link is resolved as the system
// resolves it when the file is opened (a relative target from the link's real folder, not from
// the path as it was written), so a link inside a folder opened through a link leads to the
// same file. Empty when a link points nowhere: no write creates a file through such a link.
QString followLinks(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    return info.canonicalFilePath();
}

// Says which file a write through a link failed on, so that the author can find it.
WriteResult throughLink(const QString &path, const QString &target, WriteResult result)
{
    if (!result && !result.changedElsewhere)
        result.error += QStringLiteral("(%1是指向“%2”的链接)")
                            .arg(QFileInfo(path).fileName(), QDir::toNativeSeparators(target));
    return result;
}

// A link whose target exists but whose real path Qt cannot spell (a name in code page 936
// bytes, reached through the resolver's own link): refused rather than written elsewhere.
bool unspellableTarget(const QString &path, const QString &file)
{
    return !file.isEmpty() && QFileInfo::exists(path) && !QFileInfo::exists(file);
}

WriteResult danglingLink(const QString &path)
{
    if (QFileInfo::exists(path))
        return failed(path,
                      QStringLiteral("它指向的文件名不是UTF-8编码,请先在“检查游戏”中给它改名"));
    return failed(path, QStringLiteral("它是指向“%1”的链接,而那里没有文件;不会经由这个链接新建文件")
                            .arg(QDir::toNativeSeparators(QFileInfo(path).symLinkTarget())));
}

bool folderTakesNewFiles(const QString &file)
{
    return QFileInfo(QFileInfo(file).absolutePath()).permissions() & kAnyWrite;
}

// Checks what the permission bits say, so that a file marked read-only stays untouched even for
// a user (root) whom the system would let write it.
WriteResult checkWritable(const QString &file)
{
    const QFileInfo info(file);
    if (info.exists()) {
        if (info.isDir())
            return failed(file, QStringLiteral("该名称已被一个文件夹占用"));
        if (!info.isFile())
            return failed(file, QStringLiteral("它不是普通文件"));
        if (!(info.permissions() & kAnyWrite))
            return failed(file, QStringLiteral("文件是只读的"));
        return {};
    }
    if (!QFileInfo(info.absolutePath()).isDir())
        return failed(file, QStringLiteral("文件夹不存在"));
    if (!folderTakesNewFiles(file))
        return failed(file, QStringLiteral("所在文件夹是只读的"));
    return {};
}

QString reason(const QFileDevice &device, int err)
{
    if (SystemIo::isDiskFull(err) ||
        device.errorString() == SystemIo::errorText(SystemIo::diskFullError()))
        return QStringLiteral("磁盘空间不足");
    if (device.error() != QFileDevice::NoError)
        return device.errorString();
    if (err != 0)
        return SystemIo::errorText(err);
    return QStringLiteral("磁盘空间不足或写入被中断");
}

// Writes all of @p bytes, honouring an injected fault. Returns false on any short write, with
// the system's error number in @p err.
bool writeAll(QFileDevice &device, const QByteArray &bytes, int &err)
{
    if (faultAt(Step::Write) && bytes.size() > g_fault.bytes) {
        device.write(bytes.left(g_fault.bytes));
        err = SystemIo::diskFullError();
        return false;
    }
    const bool ok = device.write(bytes) == bytes.size();
    err = ok ? 0 : SystemIo::lastError();
    return ok;
}

// Pushes what was written to the disk. A full disk may refuse the bytes only here, after every
// write() call seemed to succeed.
bool syncToDisk(QFileDevice &device, const QString &path, int &err)
{
    if (faultAt(Step::Flush)) {
        err = SystemIo::diskFullError();
        return false;
    }
    return SystemIo::syncToDisk(device, path, err);
}

// Overwrites the existing @p file where it stands; if that fails part way, the old bytes go back.
WriteResult writeInPlace(const QString &file, const QByteArray &bytes)
{
    QFile out(file);
    if (!out.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return failed(file, out.errorString());
    const QByteArray old = out.readAll();
    if (out.error() != QFileDevice::NoError || old.size() != out.size())
        return failed(file, out.errorString());
    int err = 0;
    if (out.seek(0) && writeAll(out, bytes, err) && out.resize(bytes.size()) &&
        syncToDisk(out, file, err))
        return {};
    const QString why = reason(out, err);
    out.unsetError();
    // The old bytes fit in the blocks the file already had, so putting them back needs no room.
    int ignored = 0;
    const bool restored = out.seek(0) && out.write(old) == old.size() && out.resize(old.size()) &&
                          SystemIo::syncToDisk(out, file, ignored);
    if (!restored)
        return failed(file, why + QStringLiteral("；原有内容未能完全恢复,请检查该文件"));
    return failed(file, why);
}

struct Replaced
{
    WriteResult result;
    bool folderRefused = false; ///< the folder took no new file or no rename: try in place
};

Replaced replaceByRename(const QString &file, const QByteArray &bytes)
{
    SystemIo::Replacement out(file);
    if (!out.open())
        return {failed(file, out.errorString()), true};
    int err = 0;
    if (!writeAll(out.device(), bytes, err) || !syncToDisk(out.device(), out.newPath(), err)) {
        const QString why = reason(out.device(), err);
        out.cancel();
        return {failed(file, why)};
    }
    if (faultAt(Step::Commit)) {
        out.cancel();
        return {failed(file, QStringLiteral("新文件未能取代旧文件"))};
    }
    if (!out.commit())
        return {failed(file, out.errorString()), out.renameRefused()};
    return {};
}

} // namespace

WriteResult WriteResult::changedSinceRead(const QString &fileName)
{
    return {
        false,
        QStringLiteral("%1已被其他程序修改,没有保存。已重新载入它现在的内容,请再做一次刚才的修改")
            .arg(fileName),
        true};
}

WriteResult saveWholeFile(const QString &path, const QByteArray &bytes)
{
    const WholeWrite counted;
    const QString file = followLinks(path);
    if (file.isEmpty() || unspellableTarget(path, file))
        return danglingLink(path);
    WriteResult result;
    if (WriteResult check = checkWritable(file); !check) {
        result = check;
    } else {
        const bool exists = QFileInfo::exists(file);
        if (exists && !folderTakesNewFiles(file)) {
            result = writeInPlace(file, bytes);
        } else {
            const Replaced replaced = replaceByRename(file, bytes);
            result = replaced.folderRefused && exists ? writeInPlace(file, bytes) : replaced.result;
        }
    }
    return file == QFileInfo(path).absoluteFilePath() ? result : throughLink(path, file, result);
}

WriteResult checkCanWrite(const QString &path)
{
    const QString file = followLinks(path);
    if (file.isEmpty() || unspellableTarget(path, file))
        return danglingLink(path);
    if (WriteResult check = checkWritable(file); !check)
        return check;
    // The bits allow it; may this user (not root, say, on an installed game) write too?
    const QFileInfo info(file);
    if (info.exists() ? !info.isWritable() : !QFileInfo(info.absolutePath()).isWritable())
        return failed(file, SystemIo::errorText(SystemIo::accessDeniedError()));
    return {};
}

WriteResult appendToFile(const QString &path, const QByteArray &bytes)
{
    const WholeWrite counted;
    const QString file = followLinks(path);
    if (file.isEmpty() || unspellableTarget(path, file))
        return danglingLink(path);
    if (WriteResult check = checkWritable(file); !check)
        return check;
    const bool existed = QFileInfo::exists(file);
    QFile out(file);
    if (!out.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return failed(file, out.errorString());
    const qint64 oldSize = out.size();
    int err = 0;
    if (writeAll(out, bytes, err) && syncToDisk(out, file, err))
        return {};
    const QString why = reason(out, err);
    out.unsetError();
    out.resize(oldSize);
    out.close();
    if (!existed)
        QFile::remove(file);
    return failed(file, why);
}

WriteResult removeFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const auto refused = [&path](const QString &why) {
        return WriteResult::failure(
            QStringLiteral("无法删除%1：%2").arg(QFileInfo(path).fileName(), why));
    };
    if (info.isSymLink())
        return refused(QStringLiteral("它是指向“%1”的链接,不会删除它")
                           .arg(QDir::toNativeSeparators(info.symLinkTarget())));
    if (!info.isFile())
        return refused(QStringLiteral("它不是普通文件"));
    if (!(info.permissions() & kAnyWrite))
        return refused(QStringLiteral("文件是只读的"));
    if (!folderTakesNewFiles(info.absoluteFilePath()))
        return refused(QStringLiteral("所在文件夹是只读的"));
    QFile file(path);
    if (!file.remove())
        return refused(file.errorString());
    return {};
}

namespace FileWriteTesting {
void failAt(Step step, qint64 bytes, int spared)
{
    g_fault = {true, step, bytes, spared};
}

void failAfterBytes(qint64 bytes)
{
    if (bytes < 0)
        g_fault = {};
    else
        failAt(Step::Write, bytes);
}
} // namespace FileWriteTesting
