#include "gamefolder.h"

#include "gbk.h"
#include "systemio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <optional>

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

bool notUtf8(const QByteArray &raw)
{
    return nameFromWindowsBytes(raw).has_value();
}

// The entries of @p dir whose names are code page 936 bytes, in name order.
QList<NativeEntry> windowsNamedEntries(const QString &dir, bool wantDir)
{
    QList<NativeEntry> found;
    for (const SystemIo::RawEntry &entry : SystemIo::rawNamedEntries(dir, notUtf8)) {
        if (entry.folder == wantDir)
            found.append({*nameFromWindowsBytes(entry.name), entry.native});
    }
    std::sort(found.begin(), found.end(),
              [](const NativeEntry &a, const NativeEntry &b) { return a.name < b.name; });
    return found;
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
                return SystemIo::openablePath(entry.native, entry.name); // absolute
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

QStringList GameFolder::renameWindowsNames() const
{
    QStringList failed;
    for (const WindowsName &file : windowsNames()) {
        const qsizetype slash = file.native.lastIndexOf('/');
        const QString name = file.gamePath.mid(file.gamePath.indexOf(u'\\') + 1);
        const QByteArray proper = file.native.left(slash + 1) + QFile::encodeName(name);
        if (!SystemIo::renameUnlessTaken(file.native, proper))
            failed.append(file.gamePath);
    }
    return failed;
}
