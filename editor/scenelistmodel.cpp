#include "scenelistmodel.h"

#include "scenelisttexts.h"
#include "stage.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>

#include <algorithm>

namespace {

const QString kRowsType = QStringLiteral("application/x-scriptwell-scene-rows");

// Only drops from this very list are moves: the rows of another editor's list are another game.
QString dragOrigin(const void *model)
{
    return QStringLiteral("%1:%2").arg(QCoreApplication::applicationPid()).arg(quintptr(model));
}

bool sameScene(const SceneLists &a, int i, const SceneLists &b, int j)
{
    for (int f = 0; f < kSceneFieldCount; ++f) {
        const auto field = static_cast<SceneField>(f);
        if (a.list(field).at(i) != b.list(field).at(j))
            return false;
    }
    return true;
}

} // namespace

SceneThumbnails::SceneThumbnails()
{
    m_cache.setMaxCost(16 * 1024); // kilobytes: some 600 pictures
}

SceneThumbnails::~SceneThumbnails() = default;

QPixmap SceneThumbnails::picture(const GameFolder &folder, const SceneRec &scene,
                                 const QString &fontName)
{
    QString key = folder.path() + QChar(0x1e) + fontName;
    for (const QString &field : scene.fields)
        key += QChar(0x1f) + field;
    key += QChar(0x1e) + stamp(folder, QStringLiteral("BG\\") + scene[SceneField::BG]) +
           QChar(0x1e) + stamp(folder, QStringLiteral("Msg\\") + scene[SceneField::Msg]);
    if (const QPixmap *hit = m_cache.object(key))
        return *hit;
    if (!m_stage)
        m_stage = std::make_unique<Stage>();
    m_stage->showWhole(folder, scene, fontName);
    QImage whole(m_stage->size(), QImage::Format_ARGB32_Premultiplied);
    m_stage->render(&whole);
    const QPixmap small =
        QPixmap::fromImage(whole.scaled(kSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ++m_drawn;
    m_cache.insert(key, new QPixmap(small), small.width() * small.height() * 4 / 1024 + 1);
    return small;
}

const QString &SceneThumbnails::stamp(const GameFolder &folder, const QString &gamePath)
{
    auto it = m_stamps.find(gamePath);
    if (it == m_stamps.end()) {
        const QFileInfo file(folder.resolve(gamePath));
        it = m_stamps.insert(gamePath, file.exists()
                                           ? QStringLiteral("%1 %2")
                                                 .arg(file.lastModified().toMSecsSinceEpoch())
                                                 .arg(file.size())
                                           : QString());
    }
    return *it;
}

SceneListModel::SceneListModel(SceneListHost &host, QObject *parent)
    : QAbstractListModel(parent), m_host(host), m_scenes(host.scenes()),
      m_thumbnails(std::make_unique<SceneThumbnails>())
{
}

SceneListModel::~SceneListModel() = default;

int SceneListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_scenes.count();
}

QVariant SceneListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole: {
        const QString text = m_scenes.NoteList.at(row).simplified();
        const QString shown =
            text.size() > kShownChars ? text.left(kShownChars) + QChar(0x2026) : text;
        return SceneListTexts::kRow.arg(row + 1) + shown;
    }
    case Qt::AccessibleTextRole:
        return SceneListTexts::kRow.arg(row + 1) + m_scenes.NoteList.at(row);
    case Qt::ToolTipRole: return m_scenes.NoteList.at(row);
    case Qt::DecorationRole:
        return m_thumbnails->picture(m_host.gameFolder(), m_scenes.scene(row), m_host.gameFont());
    default: return {};
    }
}

Qt::ItemFlags SceneListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

Qt::DropActions SceneListModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList SceneListModel::mimeTypes() const
{
    return {kRowsType};
}

QMimeData *SceneListModel::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &index : indexes)
        if (!rows.contains(index.row()))
            rows.append(index.row());
    const std::optional<SceneRange> range = rangeOf(rows);
    if (!range)
        return nullptr; // scenes with gaps between them are moved one run at a time
    auto *data = new QMimeData;
    data->setData(kRowsType, QStringLiteral("%1 %2 %3")
                                 .arg(dragOrigin(this))
                                 .arg(range->first)
                                 .arg(range->count)
                                 .toUtf8());
    return data;
}

namespace {

std::optional<SceneRange> draggedRange(const QMimeData *data, const void *model, int count)
{
    if (!data)
        return std::nullopt;
    const QStringList parts = QString::fromUtf8(data->data(kRowsType)).split(QLatin1Char(' '));
    if (parts.size() != 3 || parts.at(0) != dragOrigin(model))
        return std::nullopt;
    const SceneRange range{parts.at(1).toInt(), parts.at(2).toInt()};
    if (range.first < 0 || range.count < 1 || range.first + range.count > count)
        return std::nullopt;
    return range;
}

} // namespace

bool SceneListModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int, int column,
                                     const QModelIndex &) const
{
    return action == Qt::MoveAction && column <= 0 &&
           draggedRange(data, this, m_scenes.count()).has_value();
}

bool SceneListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                  const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    const SceneRange range = *draggedRange(data, this, m_scenes.count());
    const bool onto = parent.isValid();
    const int at = onto ? parent.row() : (row < 0 ? m_scenes.count() : row);
    const std::optional<int> to = moveTarget(range, at, onto, m_scenes.count());
    if (!to)
        return false;
    emit moving(range.first, range.count, *to);
    m_host.moveScenes(range.first, range.count, *to);
    return true;
}

std::optional<int> SceneListModel::moveTarget(SceneRange range, int row, bool onto, int count)
{
    int to;
    if (row < range.first)
        to = row;
    else if (onto && row > range.last())
        to = row - range.count + 1; // dropped on a scene below: after it
    else if (!onto && row > range.first + range.count)
        to = row - range.count;
    else
        return std::nullopt; // within or right next to the scenes themselves
    return std::clamp(to, 0, count - range.count);
}

std::optional<SceneRange> SceneListModel::rangeOf(QList<int> rows)
{
    if (rows.isEmpty())
        return std::nullopt;
    std::sort(rows.begin(), rows.end());
    if (rows.last() - rows.first() + 1 != rows.size() ||
        std::adjacent_find(rows.cbegin(), rows.cend()) != rows.cend())
        return std::nullopt;
    return SceneRange{rows.first(), int(rows.size())};
}

bool SceneListModel::refresh()
{
    m_thumbnails->recheckFiles();
    const SceneLists &now = m_host.scenes();
    if (now == m_scenes) {
        // A picture file may have changed: the view asks again, and only changed ones are drawn.
        if (!m_scenes.isEmpty())
            emit dataChanged(index(0), index(m_scenes.count() - 1), {Qt::DecorationRole});
        return false;
    }
    const int before = m_scenes.count(), after = now.count();
    const int common = std::min(before, after);
    int head = 0;
    while (head < common && sameScene(m_scenes, head, now, head))
        ++head;
    int tail = 0;
    while (tail < common - head && sameScene(m_scenes, before - 1 - tail, now, after - 1 - tail))
        ++tail;
    if (before == after) {
        m_scenes = now;
        emit dataChanged(index(head), index(after - 1 - tail));
    } else if (after > before && head + tail == before) {
        beginInsertRows(QModelIndex(), head, head + after - before - 1);
        m_scenes = now;
        endInsertRows();
    } else if (after < before && head + tail == after) {
        beginRemoveRows(QModelIndex(), head, head + before - after - 1);
        m_scenes = now;
        endRemoveRows();
    } else {
        beginResetModel();
        m_scenes = now;
        endResetModel();
    }
    return true;
}

QList<int> SceneListModel::find(const QString &text) const
{
    QList<int> rows;
    if (text.isEmpty())
        return rows;
    for (int i = 0; i < m_scenes.count(); ++i)
        if (m_scenes.NoteList.at(i).contains(text, Qt::CaseInsensitive) ||
            m_scenes.BGList.at(i).contains(text, Qt::CaseInsensitive) ||
            m_scenes.MsgList.at(i).contains(text, Qt::CaseInsensitive))
            rows.append(i);
    return rows;
}

int SceneListModel::nextMatch(const QList<int> &matches, int row, bool backward)
{
    if (matches.isEmpty())
        return -1;
    if (backward) {
        const auto it = std::lower_bound(matches.cbegin(), matches.cend(), row);
        return it == matches.cbegin() ? matches.last() : *(it - 1);
    }
    const auto it = std::upper_bound(matches.cbegin(), matches.cend(), row);
    return it == matches.cend() ? matches.first() : *it;
}
