#include "newgame.h"

#include "gamefolder.h"
#include "scriptfile.h"
#include "settingsfile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// What CreateGame made, so that a failure can take it back, newest first.
class Undo
{
public:
    void madeFolder(const QString &path) { m_items.append({path, true}); }
    void madeFile(const QString &path) { m_items.append({path, false}); }
    void rollBack()
    {
        for (qsizetype i = m_items.size() - 1; i >= 0; --i) {
            const Item &item = m_items.at(i);
            if (item.folder)
                QDir().rmdir(item.path); // only ever empty folders this call made
            else
                QFile::remove(item.path);
        }
    }

private:
    struct Item
    {
        QString path;
        bool folder;
    };
    QList<Item> m_items;
};

bool makeFolder(const QString &path, Undo &undo)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).absolutePath();
    if (!makeFolder(parent, undo))
        return false;
    // A folder marked read-only takes nothing new, also from root (as for the file writes).
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!(QFileInfo(parent).permissions() & anyWrite) || !QDir().mkdir(path))
        return false;
    undo.madeFolder(path);
    return true;
}

} // namespace

WriteResult CreateGame(const QString &folder, const QString &name)
{
    const QString root = QDir(folder).absolutePath();
    const QFileInfo info(root);
    if (info.exists() && !info.isDir())
        return WriteResult::failure(QStringLiteral("无法新建游戏：%1不是文件夹").arg(root));
    const GameFolder game(root);
    for (const QString &name : {kScriptFileName, kSettingsFileName}) {
        if (game.exists(name))
            return WriteResult::failure(
                QStringLiteral("%1中已经有一个游戏(%2),不会覆盖它。请另选一个空文件夹。")
                    .arg(root, name));
    }

    Undo undo;
    const auto fail = [&undo](const QString &why) {
        undo.rollBack();
        return WriteResult::failure(QStringLiteral("无法新建游戏：%1").arg(why));
    };
    if (!makeFolder(root, undo))
        return fail(QStringLiteral("无法创建文件夹%1").arg(root));
    const QStringList present = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const char16_t *sub : {u"BG", u"Msg", u"Music"}) {
        const QString name = QString::fromUtf16(sub);
        if (present.contains(name, Qt::CaseInsensitive))
            continue; // a Windows-made "bg" serves as well
        if (!makeFolder(root + u'/' + name, undo))
            return fail(QStringLiteral("无法创建文件夹%1").arg(root + u'/' + name));
    }
    const QString script = root + u'/' + kScriptFileName;
    if (const WriteResult written = RewriteScript(game, SceneLists()); !written)
        return fail(written.error);
    undo.madeFile(script);
    const GameSettings settings{name.isEmpty() ? info.fileName() : name, QString(), QString(),
                                QStringLiteral("100"), QStringLiteral("0")};
    if (const WriteResult written = WriteSettings(game, settings); !written)
        return fail(written.error);
    return {};
}

QString newGameFolder(const QString &location, const QString &name)
{
    QString folder = name;
    for (QChar c : QStringLiteral("/\\:*?\"<>|"))
        folder.replace(c, u'_');
    folder = folder.trimmed();
    if (folder.isEmpty() || folder == u"." || folder == u"..")
        return {};
    return QDir(location).filePath(folder);
}

namespace {

bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkdir(to))
        return false;
    const QDir source(from);
    for (const QFileInfo &entry :
         source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir() ? !copyTree(entry.absoluteFilePath(), target)
                          : !QFile::copy(entry.absoluteFilePath(), target))
            return false;
        // A copy to learn from and change: writable, whatever the original's marks.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    return true;
}

} // namespace

WriteResult CopyGame(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to))
        return WriteResult::failure(QStringLiteral("无法复制游戏：%1已经存在").arg(to));
    const QString parent = QFileInfo(to).absolutePath();
    if (!QDir().mkpath(parent) || !copyTree(from, to)) {
        QDir(to).removeRecursively();
        return WriteResult::failure(QStringLiteral("无法复制游戏到%1").arg(to));
    }
    return {};
}
