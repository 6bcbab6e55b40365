#include "versionstore.h"

#include "filewrite.h"
#include "scriptfile.h"
#include "settingsfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString kRecordName = QStringLiteral("game-folder.txt");
const QString kDateFormat = QStringLiteral("yyyyMMdd");
const QString kTimeFormat = QStringLiteral("HHmmsszzz");
/// Where a version is written before it takes its name, so that a version is never seen half
/// written.
const QString kStagingPrefix = QStringLiteral(".new-");

QString nameOf(const QDateTime &time)
{
    const QDateTime utc = time.toUTC();
    return utc.date().toString(kDateFormat) + QLatin1Char('-') + utc.time().toString(kTimeFormat);
}

/// The time a version folder's name stands for; invalid for any other name.
QDateTime timeOf(const QString &name)
{
    if (name.size() != 18 || name.at(8) != QLatin1Char('-'))
        return {};
    const QDate date = QDate::fromString(name.left(8), kDateFormat);
    const QTime time = QTime::fromString(name.mid(9), kTimeFormat);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

std::optional<QByteArray> readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

SceneLists GameVersion::scenes() const
{
    return parseScript(script).scenes;
}

int GameVersion::firstDifference(const SceneLists &now) const
{
    return firstDifference(scenes(), now);
}

int GameVersion::firstDifference(const SceneLists &then, const SceneLists &now)
{
    const int common = std::min(then.count(), now.count());
    for (int i = 0; i < common; ++i) {
        if (then.scene(i) != now.scene(i))
            return i;
    }
    return then.count() == now.count() ? -1 : common;
}

VersionStore::VersionStore(const QString &gameFolder, const QString &root)
    : m_gameFolder(UserFolders::gamePath(gameFolder)), m_root(root)
{
    const QByteArray key =
        QCryptographicHash::hash(m_gameFolder.toUtf8(), QCryptographicHash::Sha256).toHex();
    m_gameRoot = QDir(root).filePath(QString::fromLatin1(key.left(32)));
}

bool VersionStore::keepIfDue(const QByteArray &script, const std::optional<QByteArray> &settings,
                             const QDateTime &now)
{
    const bool first = !m_called;
    m_called = true;
    const QStringList kept = names();
    if (!kept.isEmpty() && !first) {
        const qint64 age = timeOf(kept.first()).secsTo(now);
        if (age >= 0 && age < kIntervalSecs)
            return false;
    }
    if (!kept.isEmpty()) {
        const QDir newest(QDir(m_gameRoot).filePath(kept.first()));
        if (readFile(newest.filePath(kScriptFileName)) == script &&
            readFile(newest.filePath(kSettingsFileName)) == settings)
            return false;
    }
    return write(script, settings, now);
}

bool VersionStore::keep(const QByteArray &script, const std::optional<QByteArray> &settings,
                        const QDateTime &now)
{
    const QStringList kept = names();
    if (!kept.isEmpty()) {
        const QDir newest(QDir(m_gameRoot).filePath(kept.first()));
        if (readFile(newest.filePath(kScriptFileName)) == script &&
            readFile(newest.filePath(kSettingsFileName)) == settings)
            return true;
    }
    return write(script, settings, now);
}

QStringList VersionStore::names() const
{
    QStringList found;
    const QStringList entries = QDir(m_gameRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : entries) {
        if (timeOf(name).isValid() &&
            QFileInfo::exists(QDir(m_gameRoot).filePath(name + QLatin1Char('/') + kScriptFileName)))
            found.append(name);
    }
    // The names are the times, of one width: their order is the times' order.
    std::sort(found.begin(), found.end(), std::greater<>());
    return found;
}

QList<GameVersion> VersionStore::list() const
{
    QList<GameVersion> versions;
    for (const QString &name : names()) {
        const QDir folder(QDir(m_gameRoot).filePath(name));
        std::optional<QByteArray> script = readFile(folder.filePath(kScriptFileName));
        if (!script)
            continue;
        versions.append({timeOf(name), *script, readFile(folder.filePath(kSettingsFileName))});
    }
    return versions;
}

bool VersionStore::write(const QByteArray &script, const std::optional<QByteArray> &settings,
                         const QDateTime &now)
{
    QDir root(m_gameRoot);
    if (!root.mkpath(QStringLiteral(".")))
        return false;
    const QString record = root.filePath(kRecordName);
    if (readFile(record) != m_gameFolder.toUtf8() && !saveWholeFile(record, m_gameFolder.toUtf8()))
        return false;

    // Two versions within one millisecond (a keep right before a restore) still get a name each.
    QDateTime time = now.toUTC();
    while (root.exists(nameOf(time)))
        time = time.addMSecs(1);
    const QString name = nameOf(time);
    const QString staging = root.filePath(kStagingPrefix + name);
    QDir(staging).removeRecursively();
    bool written = root.mkdir(kStagingPrefix + name) &&
                   saveWholeFile(QDir(staging).filePath(kScriptFileName), script);
    if (written && settings)
        written = bool(saveWholeFile(QDir(staging).filePath(kSettingsFileName), *settings));
    if (!written || !root.rename(kStagingPrefix + name, name)) {
        QDir(staging).removeRecursively();
        return false;
    }
    trim();
    return true;
}

void VersionStore::trim() const
{
    const QDir root(m_gameRoot);
    const QStringList kept = names();
    for (qsizetype i = kMaxVersions; i < kept.size(); ++i)
        QDir(root.filePath(kept.at(i))).removeRecursively();
    // What a keep cut short by a crash left behind.
    const QStringList staged = root.entryList({kStagingPrefix + QLatin1Char('*')},
                                              QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : staged)
        QDir(root.filePath(name)).removeRecursively();
}

int VersionStore::pruneVanished(const QString &root)
{
    int pruned = 0;
    const QDir top(root);
    const QStringList games = top.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : games) {
        const QDir game(top.filePath(name));
        const std::optional<QByteArray> record = readFile(game.filePath(kRecordName));
        if (!record || record->isEmpty())
            continue;
        const QFileInfo folder(QString::fromUtf8(*record));
        if (folder.exists() || !folder.dir().exists())
            continue;
        if (QDir(game).removeRecursively())
            ++pruned;
    }
    return pruned;
}
