#pragma once

#include <QString>

#include <memory>

class QLockFile;

/// Marks a game folder as open in an editor, so that a second editor started on the same game
/// can say so. The mark is a lock file in the user's runtime folder, named after the folder's
/// real path (so every link to the game finds the same mark); a mark left by a process that has
/// ended does not count.
class GameLock
{
public:
    explicit GameLock(const QString &gameFolder);
    ~GameLock();
    GameLock(const GameLock &) = delete;
    GameLock &operator=(const GameLock &) = delete;

    /// Takes the mark. False when a running editor holds it; holder() then names that process.
    bool tryLock();
    /// The process id of the editor that holds the mark, 0 when unknown.
    qint64 holder() const;

private:
    std::unique_ptr<QLockFile> m_lock;
};
