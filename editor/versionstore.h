#pragma once

#include "scenerec.h"
#include "scriptfile.h"
#include "userfolders.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

/// One earlier version of a game: what its Game.txt and Game.ini held at a time.
struct GameVersion
{
    QDateTime time;                     ///< when it was kept
    QByteArray script;                  ///< the bytes of Game.txt
    std::optional<QByteArray> settings; ///< the bytes of Game.ini; nothing when the game had none
    /// Game.txt was larger than a script may be (kept so when a damaged file was repaired):
    /// `script` is empty then.
    bool tooLarge = false;

    /// Whether the script can be put back: Loaded, else why not (Damaged, TooManyScenes,
    /// TooLarge).
    ScriptStatus status() const;
    /// The scenes of the script (none when the bytes are damaged).
    SceneLists scenes() const;
    /// How many scenes the script holds.
    int sceneCount() const { return scenes().count(); }
    /// The first scene position (from 0) at which this version differs from @p now, -1 when
    /// both hold the same scenes. When one list is a beginning of the other, the first
    /// position past the shorter list.
    int firstDifference(const SceneLists &now) const;
    /// firstDifference() on lists already split, for callers that keep them.
    static int firstDifference(const SceneLists &then, const SceneLists &now);
};
Q_DECLARE_METATYPE(GameVersion)

/// The earlier versions of one game, kept outside the game folder (which may be shared or
/// read-only) in a folder of @p root per game folder: a name made from the game folder's
/// canonical path, holding that path in "game-folder.txt" and one folder per version, named by
/// its time in UTC ("20261207-184952123"), with copies of Game.txt and Game.ini.
///
/// The editor keeps one version before the first change each time it is opened, then at most
/// one each ten minutes, so that an author who changed the wrong things can go back. Keeping a
/// version never stands in the way of the author's change: a version that cannot be written
/// is simply not kept. Versions are never deleted because a game folder cannot be seen now (it
/// may have been renamed, moved or deleted by mistake): they are offered by the game's name in
/// every game's versions window; only a game untouched for kAgeOutDays loses them on its own.
class VersionStore
{
public:
    /// How many versions of a game are kept; a new one deletes the oldest beyond it.
    static constexpr int kMaxVersions = 50;
    /// The least time between two versions kept by keepIfDue() (not the first of a session).
    static constexpr qint64 kIntervalSecs = 10 * 60;
    /// A game whose newest version is older than this many days loses its versions.
    static constexpr int kAgeOutDays = 365;

    /// The versions of one game folder as the store holds them.
    struct StoredGame
    {
        QString gameRoot;         ///< the folder holding its versions
        QString folder;           ///< the game folder they were kept from
        QString name;             ///< the game's name in its newest version, else the folder's name
        int count = 0;            ///< how many versions
        QDateTime newest;         ///< when the newest was kept
        bool folderThere = false; ///< whether that game folder exists now
    };

    explicit VersionStore(const QString &gameFolder, const QString &root = UserFolders::versions());

    /// Keeps @p script and @p settings (nothing: the game has no Game.ini) as a version of time
    /// @p now when one is due: on this store's first call, later when the newest version is at
    /// least kIntervalSecs old (or its time lies after @p now: the clock was set back), and
    /// never when its bytes equal the newest version's. Returns whether a version was kept.
    bool keepIfDue(const QByteArray &script, const std::optional<QByteArray> &settings,
                   const QDateTime &now);
    /// Keeps the bytes as a version of time @p now whenever they differ from the newest
    /// version. Returns whether the newest version holds them now (false: writing failed).
    bool keep(const QByteArray &script, const std::optional<QByteArray> &settings,
              const QDateTime &now);
    /// Keeps a copy of the file @p scriptFile (of any size, read as it streams) with
    /// @p settings as a version of time @p now, unless the newest version holds the same.
    /// Returns whether it is kept (false: it could not be read or written).
    bool keepFile(const QString &scriptFile, const std::optional<QByteArray> &settings,
                  const QDateTime &now);

    /// The versions of this game, newest first.
    QList<GameVersion> list() const { return listIn(m_gameRoot); }
    /// The versions kept in @p gameRoot (a StoredGame's), newest first. A Game.txt larger than
    /// a script may be is not read (`tooLarge`).
    static QList<GameVersion> listIn(const QString &gameRoot);

    /// The folder that holds this game's versions.
    const QString &gameRoot() const { return m_gameRoot; }
    /// The folder that holds the versions of every game.
    const QString &root() const { return m_root; }

    /// Every game folder with versions in @p root, the one kept from most recently first.
    static QList<StoredGame> storedGames(const QString &root = UserFolders::versions());
    /// Deletes the versions in @p gameRoot (a StoredGame's), all of them; false when some
    /// could not be deleted.
    static bool removeStoredGame(const QString &gameRoot);
    /// Deletes the versions of every game whose newest version was kept more than kAgeOutDays
    /// before @p now, but never those of the game folder @p opened. Whether a game folder can
    /// be seen plays no part. Returns how many games' versions were deleted.
    static int ageOut(const QString &root, const QDateTime &now, const QString &opened);

private:
    /// The names of the version folders in @p gameRoot, newest first.
    static QStringList names(const QString &gameRoot);
    /// Whether the newest version holds Game.txt @p script (a file's bytes) and @p settings.
    bool newestHolds(const QByteArray &script, const std::optional<QByteArray> &settings) const;
    /// Writes a version whose Game.txt @p writeScript puts at the path it is given; false when
    /// any part of it could not be written.
    bool write(const std::function<bool(const QString &)> &writeScript,
               const std::optional<QByteArray> &settings, const QDateTime &now);
    /// Deletes the versions beyond kMaxVersions.
    void trim() const;

    QString m_gameFolder; ///< the canonical path of the game folder
    QString m_root;
    QString m_gameRoot;
    bool m_called = false; ///< keepIfDue() was called before
};
