#pragma once

#include "filewrite.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

/// One saved place: the scene at its list position, how many scenes the game had then, the
/// start of its text and when it was saved.
struct SavedPlace
{
    int scene = 0;
    int sceneCount = 0;
    QString text;
    QDateTime time;
};

/// The reader's own settings, the same for every game.
struct ReaderSettings
{
    int textSpeed = 100; ///< percent of the game's own speed: 200 types twice as fast
    int autoSpeed = 100; ///< percent of the normal pause of auto: 200 waits half as long
    int volume = 100;    ///< music volume, 0–100
    bool mute = false;
    bool skipAll = false; ///< skip passes over scenes not yet seen too
    bool fullScreen = false;
};

/// What the player remembers of one game for its reader: the last scene shown, every scene
/// ever seen and the save slots. It lives in a folder of its own in the user's data folder
/// (never in the game folder, which may be read-only or shared), and every file is written
/// whole and safely (saveWholeFile), so a crash leaves the old file or the new one.
class ReaderData
{
public:
    /// Slot 0 is the quick save; slots 1 to kSlots are the reader's own.
    static constexpr int kSlots = 12;
    static constexpr int kQuickSlot = 0;

    /// Reads what was kept in @p folder (the game's reader folder; it need not exist yet).
    explicit ReaderData(const QString &folder);
    /// Writes the place if it changed since it was last written (keepPlace()).
    ~ReaderData();
    ReaderData(const ReaderData &) = delete;
    ReaderData &operator=(const ReaderData &) = delete;

    QString folder() const { return m_folder; }
    /// The list position of the last scene shown; -1 when the game was never played.
    int lastScene() const { return m_lastScene; }
    bool seen(int scene) const;
    /// Records that @p scene is shown: the last scene, and seen from now on. Only in memory:
    /// passing over scenes quickly must not wait for the disk at each one. Returns whether the
    /// place changed, and so waits for keepPlace().
    bool sceneShown(int scene);
    /// Writes the last scene and the scenes seen, if they changed since last written.
    WriteResult keepPlace();

    std::optional<SavedPlace> slot(int n) const;
    /// The slot's small picture (PNG), empty when there is none.
    QString picturePath(int n) const;
    /// Writes @p place and its picture @p png to slot @p n, over what it held.
    WriteResult save(int n, const SavedPlace &place, const QByteArray &png);

    /// The reader's settings kept in @p readerRoot (UserFolders::reader()); defaults when none.
    static ReaderSettings readSettings(const QString &readerRoot);
    static WriteResult writeSettings(const QString &readerRoot, const ReaderSettings &settings);

private:
    QString path(const QString &name) const;

    QString m_folder;
    int m_lastScene = -1;
    QByteArray m_seen;           ///< '1' at the list position of each scene seen
    bool m_placeChanged = false; ///< not yet written
};
