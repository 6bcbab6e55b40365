#pragma once

#include "scenelisthost.h"

#include <QAbstractListModel>
#include <QCache>
#include <QHash>
#include <QPixmap>

#include <memory>
#include <optional>

class Stage;

/// A run of neighbouring scenes: [first, first + count).
struct SceneRange
{
    int first = 0;
    int count = 0;
    int last() const { return first + count - 1; }
    bool operator==(const SceneRange &) const = default;
};

/// Small pictures of scenes as the player draws them, drawn through a hidden Stage and kept
/// by everything that decides how a scene looks (its fields, the font, the picture files'
/// times and sizes), so a scene is drawn again only after it changed.
class SceneThumbnails
{
public:
    /// The size of a picture: a quarter of the stage's width, its proportions kept.
    static constexpr QSize kSize{96, 72};

    SceneThumbnails();
    ~SceneThumbnails();

    /// The picture of @p scene of the game in @p folder, its text in @p fontName.
    QPixmap picture(const GameFolder &folder, const SceneRec &scene, const QString &fontName);
    /// How many pictures were drawn (not taken from the cache) so far.
    int drawn() const { return m_drawn; }
    /// Looks at the picture files again when next asked: one may have been replaced under the
    /// same name, and a scene showing it must then be drawn again.
    void recheckFiles() { m_stamps.clear(); }

private:
    /// What tells one version of the picture file @p gamePath from another.
    const QString &stamp(const GameFolder &folder, const QString &gamePath);

    std::unique_ptr<Stage> m_stage;
    QHash<QString, QString> m_stamps; ///< by game path, since the last recheckFiles()
    QCache<QString, QPixmap> m_cache;
    int m_drawn = 0;
};

/// The scenes of the game, one row per scene in play order, for the scene list window. It
/// holds its own copy of the host's scenes, taken by refresh(), so the rows change only
/// through the model's signals.
///
/// - Qt::DisplayRole: "第N个: " and the start of the text, on one line;
/// - Qt::AccessibleTextRole: "第N个: " and the whole text;
/// - Qt::DecorationRole: the scene as the player draws it, small (drawn when a view asks).
///
/// Rows can be dragged within the list; a drop asks the host to move them.
class SceneListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    /// Characters of the text shown in a row.
    static constexpr int kShownChars = 40;

    explicit SceneListModel(SceneListHost &host, QObject *parent = nullptr);
    ~SceneListModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    /// Takes the host's scenes again, signalling only the rows that changed (a reset when
    /// more than one run of rows came or went), and looks at the picture files again. Returns
    /// whether any scene changed.
    bool refresh();
    /// The scenes the rows show.
    const SceneLists &scenes() const { return m_scenes; }

    /// The rows whose text, background or message-box picture name contains @p text, ignoring
    /// letter case, in order; none for an empty @p text.
    QList<int> find(const QString &text) const;
    /// The match after (@p backward: before) @p row in @p matches, wrapping round; -1 when
    /// there is none.
    static int nextMatch(const QList<int> &matches, int row, bool backward);

    /// The host's moveScenes() arguments for dropping @p range before row @p row (onto row
    /// @p row when @p onto); nothing when the scenes would stay where they are.
    static std::optional<int> moveTarget(SceneRange range, int row, bool onto, int count);

    /// The run @p rows make when they are neighbours (in any order, without repeats); nothing
    /// when they are none or leave gaps.
    static std::optional<SceneRange> rangeOf(QList<int> rows);

    /// How many scene pictures were drawn so far (cached ones not counted).
    int picturesDrawn() const { return m_thumbnails->drawn(); }

signals:
    /// A drop is about to ask the host to move the scenes [@p first, @p first + @p count) to
    /// @p to.
    void moving(int first, int count, int to);

private:
    SceneListHost &m_host;
    SceneLists m_scenes;
    std::unique_ptr<SceneThumbnails> m_thumbnails;
};
