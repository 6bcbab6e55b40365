#pragma once

#include "gamefolder.h"
#include "scenerec.h"
#include "userfolders.h"
#include "versionstore.h"

#include <QWidget>

#include <optional>

class QLabel;
class QTreeWidget;
class QPushButton;
class Stage;

/// The window "以前的版本": the versions VersionStore kept of the game, newest first, each
/// with its time, its number of scenes and where it starts to differ from the game as it is
/// now; beside the list, the first differing scene of the chosen version (scene 1 when none
/// differs) drawn as the player draws it. "恢复这个版本" asks the editor to bring the chosen
/// version back.
class VersionsWindow : public QWidget
{
    Q_OBJECT
public:
    /// @param root the folder VersionStore keeps versions in.
    explicit VersionsWindow(const QString &root = UserFolders::versions(),
                            QWidget *parent = nullptr);

    /// The game is @p folder and holds @p now; scenes are drawn with @p font (the player's
    /// default when empty) unless a version names its own. Reads the versions again.
    void setCurrent(const GameFolder &folder, const SceneLists &now, const QString &font);
    /// Reads the versions again (after one was kept), keeping the chosen one when it is still
    /// there.
    void reload();

    /// The versions listed, in the list's order.
    const QList<GameVersion> &versions() const { return m_versions; }
    Stage *stage() const { return m_stage; }

signals:
    /// The author asked to bring @p version back.
    void restoreRequested(const GameVersion &version);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Draws the version at list row @p row and says which of its scenes it is.
    void showRow(int row);
    void placeStage();
    /// The list row of the chosen version, -1 for none.
    int currentRow() const;

    QString m_root;
    std::optional<GameFolder> m_folder;
    SceneLists m_now;
    QString m_font;
    std::optional<QByteArray> m_nowSettings; ///< what the game's Game.ini holds now
    QList<GameVersion> m_versions;
    QList<SceneLists> m_scenes; ///< the scenes of each version, split once
    QLabel *m_summary;
    QTreeWidget *m_list;
    QPushButton *m_restore;
    QWidget *m_frame; ///< black, the stage centred in it
    Stage *m_stage;
    QLabel *m_previewed;
};
