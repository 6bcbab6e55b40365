#include "gamefolder.h"

#include "gbk.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Splits a game path into its components below @p root, or returns an empty list when the path
// names no file inside the folder. Only the written name counts here: "..", absolute paths and
// drive letters may not lead out, but a symbolic link the author put in the folder is followed
// wherever it leads, as any program of the desktop follows it.
QStringList components(const QString &root, const QString &gamePath)
{
    if (gamePath.isEmpty() || gamePath.startsWith(u'/') || gamePath.startsWith(u'\\'))
        return {};
    if (gamePath.size() >= 2 && gamePath.at(1) == u':')
        return {};
    QString normal = gamePath;
    normal.replace(u'\\', u'/');
    if (normal.endsWith(u'/'))
        return {}; // a folder, not a file
    const QString base = root.endsWith(u'/') ? root : root + u'/';
    const QString full = QDir::cleanPath(base + normal);
    if (!full.startsWith(base))
        return {};
    return full.sliced(base.size()).split(u'/');
}

} // namespace

std::optional<QString> nameFromWindowsBytes(const QByteArray &raw)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString asUtf8 = utf8.decode(raw); // the conversion runs when it is made a QString
    if (!utf8.hasError())
        return std::nullopt;
    const QString name = Gbk::decode(raw);
    // Bytes that are not GBK either decode to lone surrogates.
    for (QChar c : name) {
        if (c.isSurrogate() || c == u'/' || c == u'\\')
            return std::nullopt;
    }
    return name;
}

namespace {

struct NativeEntry
{
    QString name;      ///< decoded from code page 936
    QByteArray native; ///< the absolute path in bytes
};

// The entries of @p dir whose names are code page 936 bytes, in name order.
QList<NativeEntry> windowsNamedEntries(const QString &dir, bool wantDir)
{
    QList<NativeEntry> found;
    const QByteArray base = QFile::encodeName(dir);
    DIR *d = ::opendir(base.constData());
    if (!d)
        return found;
    while (const dirent *e = ::readdir(d)) {
        const QByteArray raw(e->d_name);
        const std::optional<QString> name = nameFromWindowsBytes(raw);
        if (!name)
            continue;
        const QByteArray native = base + '/' + raw;
        struct stat st = {};
        if (::stat(native.constData(), &st) != 0 || S_ISDIR(st.st_mode) != wantDir)
            continue;
        found.append({*name, native});
    }
    ::closedir(d);
    std::sort(found.begin(), found.end(),
              [](const NativeEntry &a, const NativeEntry &b) { return a.name < b.name; });
    return found;
}

// A path Qt can open for the file at @p native: a link to it, named @p name, in a folder of
// this process's own that goes when the process ends.
QString linkFor(const QByteArray &native, const QString &name)
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

// Finds the entry @p name in @p dir: exactly, else ignoring letter case (first in name order).
QString findEntry(const QDir &dir, const QString &name, bool wantDir)
{
    const QFileInfo exact(dir.filePath(name));
    if (exact.exists() && exact.isDir() == wantDir)
        return name;
    const QDir::Filters filter =
        (wantDir ? QDir::Dirs : QDir::Files) | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const QStringList entries = dir.entryList(filter, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    if (!wantDir) {
        for (const NativeEntry &entry : windowsNamedEntries(dir.absolutePath(), false)) {
            if (entry.name.compare(name, Qt::CaseInsensitive) == 0)
                return linkFor(entry.native, entry.name); // an absolute path
        }
    }
    return {};
}

} // namespace

GameFolder::GameFolder(const QString &root) : m_root(QDir(root).absolutePath()) {}

GameFolder GameFolder::current()
{
    return GameFolder(QDir::currentPath());
}

QString GameFolder::resolve(const QString &gamePath) const
{
    const QStringList parts = components(m_root, gamePath);
    if (parts.isEmpty())
        return {};
    QDir dir(m_root);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        const QString entry = findEntry(dir, parts.at(i), !last);
        if (entry.isEmpty())
            return {};
        if (last)
            return entry.startsWith(u'/') ? entry : dir.filePath(entry);
        if (!dir.cd(entry))
            return {};
    }
    return {};
}

QString GameFolder::pathForWrite(const QString &gamePath) const
{
    const QString found = resolve(gamePath);
    if (!found.isEmpty())
        return found;
    const QStringList parts = components(m_root, gamePath);
    if (parts.isEmpty())
        return {};
    return QDir(m_root).filePath(parts.join(u'/'));
}

QList<GameFolder::WindowsName> GameFolder::windowsNames() const
{
    QList<WindowsName> names;
    const QDir root(m_root);
    for (const QString &folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (folder.compare(u"BG", Qt::CaseInsensitive) != 0 &&
            folder.compare(u"Msg", Qt::CaseInsensitive) != 0 &&
            folder.compare(u"Music", Qt::CaseInsensitive) != 0)
            continue;
        for (const NativeEntry &entry : windowsNamedEntries(root.filePath(folder), false))
            names.append({folder + u'\\' + entry.name, entry.native});
    }
    return names;
}

namespace {

// Renames @p from to @p to unless something of that name is there; in one step where the file
// system can, so that a file made meanwhile is not replaced either.
bool renameUnlessTaken(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false; // EEXIST among them: the proper name is taken
    struct stat st = {};
    return ::lstat(to.constData(), &st) != 0 && ::rename(from.constData(), to.constData()) == 0;
}

} // namespace

QStringList GameFolder::renameWindowsNames() const
{
    QStringList failed;
    for (const WindowsName &file : windowsNames()) {
        const qsizetype slash = file.native.lastIndexOf('/');
        const QString name = file.gamePath.mid(file.gamePath.indexOf(u'\\') + 1);
        const QByteArray proper = file.native.left(slash + 1) + QFile::encodeName(name);
        if (!renameUnlessTaken(file.native, proper))
            failed.append(file.gamePath);
    }
    return failed;
}
