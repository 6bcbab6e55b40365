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

ScriptStatus GameVersion::status() const
{
    return tooLarge ? ScriptStatus::TooLarge : parseScript(script).status;
}

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

bool VersionStore::newestHolds(const QByteArray &script,
                               const std::optional<QByteArray> &settings) const
{
    const QStringList kept = names(m_gameRoot);
    if (kept.isEmpty())
        return false;
    const QDir newest(QDir(m_gameRoot).filePath(kept.first()));
    return QFileInfo(newest.filePath(kScriptFileName)).size() == script.size() &&
           readFile(newest.filePath(kScriptFileName)) == script &&
           readFile(newest.filePath(kSettingsFileName)) == settings;
}

bool VersionStore::keepIfDue(const QByteArray &script, const std::optional<QByteArray> &settings,
                             const QDateTime &now)
{
    const bool first = !m_called;
    m_called = true;
    const QStringList kept = names(m_gameRoot);
    if (!kept.isEmpty() && !first) {
        const qint64 age = timeOf(kept.first()).secsTo(now);
        if (age >= 0 && age < kIntervalSecs)
            return false;
    }
    return !newestHolds(script, settings) && keep(script, settings, now);
}

bool VersionStore::keep(const QByteArray &script, const std::optional<QByteArray> &settings,
                        const QDateTime &now)
{
    if (newestHolds(script, settings))
        return true;
    return write([&](const QString &target) { return bool(saveWholeFile(target, script)); },
                 settings, now);
}

bool VersionStore::keepFile(const QString &scriptFile, const std::optional<QByteArray> &settings,
                            const QDateTime &now)
{
    const FileRead small = readWholeFile(scriptFile, kMaxScriptBytes);
    if (small.status == FileRead::Read)
        return keep(small.bytes, settings, now);
    if (small.status != FileRead::TooLarge)
        return false;
    // Too large to hold in memory: copied as it streams.
    return write([&](const QString &target) { return QFile::copy(scriptFile, target); }, settings,
                 now);
}

QStringList VersionStore::names(const QString &gameRoot)
{
    QStringList found;
    const QDir root(gameRoot);
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (timeOf(name).isValid() &&
            QFileInfo::exists(root.filePath(name + QLatin1Char('/') + kScriptFileName)))
            found.append(name);
    }
    // The names are the times, of one width: their order is the times' order.
    std::sort(found.begin(), found.end(), std::greater<>());
    return found;
}

QList<GameVersion> VersionStore::listIn(const QString &gameRoot)
{
    QList<GameVersion> versions;
    for (const QString &name : names(gameRoot)) {
        const QDir folder(QDir(gameRoot).filePath(name));
        const FileRead script = readWholeFile(folder.filePath(kScriptFileName), kMaxScriptBytes);
        if (script.status != FileRead::Read && script.status != FileRead::TooLarge)
            continue;
        GameVersion version{timeOf(name), script.bytes,
                            readFile(folder.filePath(kSettingsFileName))};
        version.tooLarge = script.status == FileRead::TooLarge;
        versions.append(version);
    }
    return versions;
}

bool VersionStore::write(const std::function<bool(const QString &)> &writeScript,
                         const std::optional<QByteArray> &settings, const QDateTime &now)
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
    bool written =
        root.mkdir(kStagingPrefix + name) && writeScript(QDir(staging).filePath(kScriptFileName));
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
    const QStringList kept = names(m_gameRoot);
    for (qsizetype i = kMaxVersions; i < kept.size(); ++i)
        QDir(root.filePath(kept.at(i))).removeRecursively();
    // What a keep cut short by a crash left behind.
    const QStringList staged = root.entryList({kStagingPrefix + QLatin1Char('*')},
                                              QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : staged)
        QDir(root.filePath(name)).removeRecursively();
}

QList<VersionStore::StoredGame> VersionStore::storedGames(const QString &root)
{
    QList<StoredGame> games;
    const QDir top(root);
    for (const QString &entry : top.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString gameRoot = top.filePath(entry);
        const std::optional<QByteArray> record = readFile(QDir(gameRoot).filePath(kRecordName));
        const QStringList kept = names(gameRoot);
        if (!record || record->isEmpty() || kept.isEmpty())
            continue;
        StoredGame game{
            gameRoot, QString::fromUtf8(*record), {}, int(kept.size()), timeOf(kept.first())};
        game.folderThere = QFileInfo(game.folder).isDir();
        const std::optional<QByteArray> settings =
            readFile(QDir(gameRoot).filePath(kept.first() + u'/' + kSettingsFileName));
        const std::optional<GameSettings> parsed =
            settings ? parseSettings(*settings) : std::nullopt;
        game.name = parsed && !parsed->GameName.trimmed().isEmpty() ? parsed->GameName
                                                                    : QDir(game.folder).dirName();
        games.append(game);
    }
    std::sort(games.begin(), games.end(),
              [](const StoredGame &a, const StoredGame &b) { return a.newest > b.newest; });
    return games;
}

bool VersionStore::removeStoredGame(const QString &gameRoot)
{
    // Only ever a folder of ours: it names the game it was kept from.
    if (!QFileInfo::exists(QDir(gameRoot).filePath(kRecordName)))
        return false;
    return QDir(gameRoot).removeRecursively();
}

int VersionStore::ageOut(const QString &root, const QDateTime &now, const QString &opened)
{
    const QString keep = VersionStore(opened, root).gameRoot();
    int removed = 0;
    for (const StoredGame &game : storedGames(root)) {
        if (QDir::cleanPath(game.gameRoot) != QDir::cleanPath(keep) &&
            game.newest.daysTo(now) > kAgeOutDays && removeStoredGame(game.gameRoot))
            ++removed;
    }
    return removed;
}
