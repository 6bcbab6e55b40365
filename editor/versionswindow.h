#pragma once

#include "gamefolder.h"
#include "scenerec.h"
#include "userfolders.h"
#include "versionstore.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QTreeWidget;
class QPushButton;
class Stage;

/// The window "以前的版本": the versions VersionStore kept of the game, newest first, each
/// with its time, its number of scenes and where it starts to differ from the game as it is
/// now; beside the list, the first differing scene of the chosen version (scene 1 when none
/// differs) drawn as the player draws it. "恢复这个版本" asks the editor to bring the chosen
/// version back. Above the list, "版本来自" offers the versions kept from other game folders
/// ("其他文件夹的版本", by each game's name and folder, also of folders that are gone), so that
/// a game renamed or moved finds its past; those can be brought into this game, or deleted.
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
    /// Reads the versions again (after one was kept), keeping the chosen folder and version
    /// when they are still there.
    void reload();
    /// Lists the versions kept from the game folder of @p gameRoot (a StoredGame's; empty:
    /// this game's own).
    void showSource(const QString &gameRoot);

    /// The versions listed, in the list's order.
    const QList<GameVersion> &versions() const { return m_versions; }
    Stage *stage() const { return m_stage; }

signals:
    /// The author asked to bring @p version back.
    void restoreRequested(const GameVersion &version);
    /// The author asked to delete the @p count versions kept from another game folder,
    /// @p folder, whose versions are in @p gameRoot.
    void removeRequested(const QString &gameRoot, const QString &folder, int count);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// The black frame the chosen version's scene is drawn in.
    void buildPreview();
    /// The list and its controls on the left, the preview on the right.
    void layOut(QLabel *sourceLabel);
    /// Fills "版本来自" with this game and the other folders, keeping the one chosen.
    void fillSources();
    /// The versions folder chosen in "版本来自"; empty for this game's own.
    QString sourceRoot() const;
    /// Lists the versions of the folder chosen in "版本来自".
    void listVersions();
    /// What the list shows above it: whose versions these are.
    QString summary() const;
    /// A version's "场景" and "与现在相比" columns.
    static QString sceneCount(const GameVersion &version, const SceneLists &scenes);
    QString difference(const GameVersion &version, const SceneLists &scenes) const;
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
    QList<SceneLists> m_scenes;               ///< the scenes of each version, split once
    QList<VersionStore::StoredGame> m_others; ///< the other game folders with versions
    QComboBox *m_source;
    QPushButton *m_remove;
    QLabel *m_summary;
    QTreeWidget *m_list;
    QPushButton *m_restore;
    QWidget *m_frame; ///< black, the stage centred in it
    Stage *m_stage;
    QLabel *m_previewed;
};
