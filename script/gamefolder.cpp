#include "gamefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

// Splits a game path into its components, or returns an empty list when the path is not a
// plain relative path inside the folder.
QStringList components(const QString &gamePath)
{
    if (gamePath.isEmpty() || gamePath.startsWith(u'/') || gamePath.startsWith(u'\\'))
        return {};
    if (gamePath.size() >= 2 && gamePath.at(1) == u':')
        return {};
    QString normal = gamePath;
    normal.replace(u'\\', u'/');
    const QStringList parts = normal.split(u'/');
    for (const QString &part : parts) {
        if (part.isEmpty() || part == u"." || part == u"..")
            return {};
    }
    return parts;
}

// Finds the entry @p name in @p dir: exactly, else ignoring letter case (first in name order).
QString findEntry(const QDir &dir, const QString &name, bool wantDir)
{
    const QFileInfo exact(dir.filePath(name));
    if (exact.exists() && (wantDir ? exact.isDir() : exact.isFile()))
        return name;
    const QDir::Filters filter = (wantDir ? QDir::Dirs : QDir::Files) | QDir::Hidden |
                                 QDir::System | QDir::NoDotAndDotDot;
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
    const QStringList parts = components(gamePath);
    if (parts.isEmpty())
        return {};
    QDir dir(m_root);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        const QString entry = findEntry(dir, parts.at(i), !last);
        if (entry.isEmpty())
            return {};
        if (last) {
            const QString path = dir.filePath(entry);
            // A link may point anywhere; only files that really lie in the folder count.
            const QString canonical = QFileInfo(path).canonicalFilePath();
            const QString base = QFileInfo(m_root).canonicalFilePath();
            if (canonical.isEmpty() || !canonical.startsWith(base + u'/'))
                return {};
            return path;
        }
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
    const QStringList parts = components(gamePath);
    if (parts.isEmpty())
        return {};
    return QDir(m_root).filePath(parts.join(u'/'));
}
