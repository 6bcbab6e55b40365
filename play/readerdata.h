#pragma once

#include "filewrite.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

/// One saved place: the scene at its list position, how many scenes the game had then, the
/// start of its text, when it was saved and a small picture of it.
struct SavedPlace
{
    int scene = 0;
    int sceneCount = 0;
    QString text;
    QDateTime time;
    QByteArray picture; ///< PNG; empty when there is none
};

/// The reader's own settings, the same for every game.
struct ReaderSettings
{
    int textSpeed = 100; ///< percent of the game's own speed: 200 types twice as fast
    int autoSpeed = 100; ///< percent of the normal pause of auto: 200 waits half as long
    int volume = 100;    ///< music volume, 0–100
    bool mute = false;
    bool skipAll = false;    ///< skip passes over scenes not yet seen too
    bool fullScreen = false; ///< as the last window closed: the next game opens so
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
    /// Whether a place was kept, even the first scene's: "continue" has somewhere to go.
    bool hasPlace() const { return m_lastScene >= 0; }
    bool seen(int scene) const;
    /// Records that @p scene is shown: the last scene, and seen from now on. Only in memory:
    /// passing over scenes quickly must not wait for the disk at each one. Returns whether the
    /// place changed, and so waits for keepPlace().
    bool sceneShown(int scene);
    /// Writes the last scene and the scenes seen, if they changed since last written. Scenes
    /// that another window on the same game has written as seen meanwhile stay seen.
    WriteResult keepPlace();

    /// The save in slot @p n, with its picture; none when the slot is empty or unreadable.
    std::optional<SavedPlace> slot(int n) const;
    /// Writes @p place with its picture to slot @p n, over what it held: one file, so the
    /// slot holds the old save and its picture, or the new save and its own.
    WriteResult save(int n, const SavedPlace &place);

    /// The reader's settings kept in @p readerRoot (UserFolders::reader()); defaults when none.
    static ReaderSettings readSettings(const QString &readerRoot);
    /// Writes @p settings to @p readerRoot, all but `fullScreen`, which stays as the file has
    /// it: full screen is remembered only as a window closes (keepFullScreen()).
    static WriteResult writeSettings(const QString &readerRoot, const ReaderSettings &settings);
    /// Remembers whether the window closed full screen; the other settings stay as they are.
    static WriteResult keepFullScreen(const QString &readerRoot, bool fullScreen);

private:
    QString path(const QString &name) const;

    QString m_folder;
    int m_lastScene = -1;
    QByteArray m_seen;           ///< '1' at the list position of each scene seen
    bool m_placeChanged = false; ///< not yet written
};
