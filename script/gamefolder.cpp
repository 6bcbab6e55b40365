#include "gamefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

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
            return dir.filePath(entry);
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
