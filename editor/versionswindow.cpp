#include "versionswindow.h"

#include "editortexts.h"
#include "fileread.h"
#include "settingsfile.h"
#include "stage.h"
#include "windowtexts.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

VersionsWindow::VersionsWindow(const QString &root, QWidget *parent)
    : QWidget(parent, Qt::Window), m_root(root), m_source(new QComboBox(this)),
      m_remove(new QPushButton(EditorTexts::kVersionsRemove, this)), m_summary(new QLabel(this)),
      m_list(new QTreeWidget(this)), m_restore(new QPushButton(EditorTexts::kVersionRestore, this)),
      m_frame(new QWidget(this)), m_stage(new Stage(m_frame)), m_previewed(new QLabel(this))
{
    setObjectName(QStringLiteral("VersionsWindow"));
    setWindowTitle(EditorTexts::kVersionsCaption);
    setAccessibleName(EditorTexts::kVersionsCaption);
    resize(900, 420);

    m_source->setObjectName(QStringLiteral("source"));
    m_source->setAccessibleName(EditorTexts::kVersionsSourceName);
    m_source->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_source->setMinimumContentsLength(24);
    auto *sourceLabel = new QLabel(EditorTexts::kVersionsSource, this);
    sourceLabel->setBuddy(m_source);
    m_remove->setObjectName(QStringLiteral("remove"));
    m_remove->setAccessibleName(EditorTexts::kVersionsRemove);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setWordWrap(true);
    m_summary->setBuddy(m_list);
    m_list->setObjectName(QStringLiteral("versions"));
    m_list->setAccessibleName(EditorTexts::kVersionsCaption);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({EditorTexts::kVersionTimeHeader, EditorTexts::kVersionScenesHeader,
                             EditorTexts::kVersionDifferenceHeader});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    m_restore->setObjectName(QStringLiteral("restore"));
    m_restore->setAccessibleName(EditorTexts::kVersionRestore);
    m_previewed->setObjectName(QStringLiteral("previewed"));
    m_previewed->setAlignment(Qt::AlignCenter);

    buildPreview();
    layOut(sourceLabel);

    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { showRow(m_list->indexOfTopLevelItem(item)); });
    connect(m_restore, &QPushButton::clicked, this, [this] {
        const int row = currentRow();
        if (row >= 0 && row < m_versions.size())
            emit restoreRequested(m_versions.at(row));
    });
    connect(m_source, &QComboBox::currentIndexChanged, this, &VersionsWindow::listVersions);
    connect(m_remove, &QPushButton::clicked, this, [this] {
        for (const VersionStore::StoredGame &game : std::as_const(m_others)) {
            if (game.gameRoot == sourceRoot())
                emit removeRequested(game.gameRoot, game.folder, game.count);
        }
    });
    auto *close = new QShortcut(QKeySequence::Cancel, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    reload();
}

void VersionsWindow::buildPreview()
{
    m_frame->setObjectName(QStringLiteral("preview"));
    m_frame->setAccessibleName(EditorTexts::kPreviewCaption);
    QPalette black = m_frame->palette();
    black.setColor(QPalette::Window, Qt::black);
    m_frame->setPalette(black);
    m_frame->setAutoFillBackground(true);
    m_frame->setMinimumSize(Stage::kWidth / 2, Stage::kHeight / 2);
    m_frame->installEventFilter(this);
    // The stage is a picture here: no clicks, and the message box takes no keyboard focus.
    m_stage->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_stage->setFocusPolicy(Qt::NoFocus);
    m_stage->MsgPic()->setFocusPolicy(Qt::NoFocus);
}

void VersionsWindow::layOut(QLabel *sourceLabel)
{
    auto *source = new QHBoxLayout;
    source->addWidget(sourceLabel);
    source->addWidget(m_source, 1);
    source->addWidget(m_remove);
    auto *left = new QVBoxLayout;
    left->addLayout(source);
    left->addWidget(m_summary);
    left->addWidget(m_list, 1);
    left->addWidget(m_restore, 0, Qt::AlignRight);
    auto *right = new QVBoxLayout;
    right->addWidget(m_frame, 1);
    right->addWidget(m_previewed);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addLayout(right, 3);
    setTabOrder(m_source, m_remove);
    setTabOrder(m_remove, m_list);
    setTabOrder(m_list, m_restore);
}

void VersionsWindow::setCurrent(const GameFolder &folder, const SceneLists &now,
                                const QString &font)
{
    m_folder = folder;
    m_now = now;
    m_font = font;
    const FileRead settings =
        readWholeFile(folder.pathForWrite(kSettingsFileName), kMaxSettingsBytes);
    m_nowSettings = settings.status == FileRead::Read ? std::optional<QByteArray>(settings.bytes)
                                                      : std::nullopt;
    reload();
}

void VersionsWindow::reload()
{
    fillSources();
    listVersions();
}

void VersionsWindow::showSource(const QString &gameRoot)
{
    const int index = m_source->findData(gameRoot);
    m_source->setCurrentIndex(index >= 0 ? index : 0);
}

void VersionsWindow::fillSources()
{
    const QString chosen = sourceRoot();
    const QString own = m_folder ? VersionStore(m_folder->path(), m_root).gameRoot() : QString();
    m_others.clear();
    for (const VersionStore::StoredGame &game : VersionStore::storedGames(m_root)) {
        if (QDir::cleanPath(game.gameRoot) != QDir::cleanPath(own))
            m_others.append(game);
    }
    const QSignalBlocker quiet(m_source);
    m_source->clear();
    m_source->addItem(EditorTexts::kVersionsOwn, QString());
    if (!m_others.isEmpty()) {
        // A heading, not a choice.
        m_source->addItem(EditorTexts::kVersionsOthers);
        if (auto *model = qobject_cast<QStandardItemModel *>(m_source->model()))
            model->item(1)->setEnabled(false);
    }
    for (const VersionStore::StoredGame &game : std::as_const(m_others)) {
        const QString folder = QDir::toNativeSeparators(game.folder);
        m_source->addItem(
            (game.folderThere ? EditorTexts::kVersionsOther : EditorTexts::kVersionsOtherGone)
                .arg(game.name, folder)
                .arg(game.count),
            game.gameRoot);
    }
    const int index = m_source->findData(chosen);
    m_source->setCurrentIndex(index >= 0 ? index : 0);
}

QString VersionsWindow::sourceRoot() const
{
    return m_source->currentData().toString();
}

void VersionsWindow::listVersions()
{
    const int current = currentRow();
    const QDateTime chosen =
        current >= 0 && current < m_versions.size() ? m_versions.at(current).time : QDateTime();
    const QString other = sourceRoot();
    if (!other.isEmpty())
        m_versions = VersionStore::listIn(other);
    else
        m_versions =
            m_folder ? VersionStore(m_folder->path(), m_root).list() : QList<GameVersion>();
    m_scenes.clear();
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    int row = 0;
    for (const GameVersion &version : std::as_const(m_versions)) {
        const SceneLists scenes = version.scenes();
        m_scenes.append(scenes);
        new QTreeWidgetItem(m_list, {version.time.toLocalTime().toString(EditorTexts::kVersionTime),
                                     sceneCount(version, scenes), difference(version, scenes)});
        if (version.time == chosen)
            row = m_list->topLevelItemCount() - 1;
    }
    m_remove->setVisible(!other.isEmpty());
    m_summary->setText(summary());
    m_restore->setEnabled(!m_versions.isEmpty());
    if (!m_versions.isEmpty())
        m_list->setCurrentItem(m_list->topLevelItem(row));
    showRow(currentRow());
}

QString VersionsWindow::summary() const
{
    for (const VersionStore::StoredGame &game : m_others) {
        if (game.gameRoot == sourceRoot())
            return (game.folderThere ? EditorTexts::kVersionsOfOther
                                     : EditorTexts::kVersionsOfOtherGone)
                .arg(QDir::toNativeSeparators(game.folder));
    }
    return m_versions.isEmpty() ? EditorTexts::kVersionsNone : EditorTexts::kVersionsList;
}

QString VersionsWindow::sceneCount(const GameVersion &version, const SceneLists &scenes)
{
    const ScriptStatus status = version.status();
    return status == ScriptStatus::Loaded ? EditorTexts::kVersionScenes.arg(scenes.count())
                                          : EditorTexts::scriptProblemName(status);
}

QString VersionsWindow::difference(const GameVersion &version, const SceneLists &scenes) const
{
    if (version.status() != ScriptStatus::Loaded)
        return EditorTexts::kVersionUnusableShort;
    if (const int differs = GameVersion::firstDifference(scenes, m_now); differs >= 0)
        return EditorTexts::kVersionDiffers.arg(differs + 1);
    if (version.settings != m_nowSettings)
        return EditorTexts::kVersionSettingsDiffer;
    return EditorTexts::kVersionSame;
}

int VersionsWindow::currentRow() const
{
    return m_list->indexOfTopLevelItem(m_list->currentItem());
}

void VersionsWindow::showRow(int row)
{
    if (row < 0 || row >= m_versions.size() || !m_folder || m_scenes.at(row).isEmpty()) {
        // No scene to draw: the empty box, without the player's start-up caption.
        m_stage->reset();
        m_stage->setNoteCaption(QString());
        m_previewed->setText(row >= 0 && row < m_versions.size() ? EditorTexts::kVersionNoScenes
                                                                 : QString());
        return;
    }
    const SceneLists &scenes = m_scenes.at(row);
    // A version that ends where the game now goes on shows its last scene.
    const int differs = GameVersion::firstDifference(scenes, m_now);
    const int shown = std::clamp(differs, 0, scenes.count() - 1);
    QString font = m_font;
    if (const GameVersion &version = m_versions.at(row); version.settings) {
        if (const std::optional<GameSettings> settings = parseSettings(*version.settings))
            font = settings->GameFont;
    }
    m_stage->showWhole(*m_folder, scenes.scene(shown), font);
    m_previewed->setText(EditorTexts::kVersionPreviewed.arg(shown + 1));
}

bool VersionsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_frame && event->type() == QEvent::Resize)
        placeStage();
    return QWidget::eventFilter(watched, event);
}

void VersionsWindow::placeStage()
{
    const qreal scale =
        qMin(qreal(m_frame->width()) / Stage::kWidth, qreal(m_frame->height()) / Stage::kHeight);
    m_stage->setScale(scale);
    m_stage->move((m_frame->width() - m_stage->width()) / 2,
                  (m_frame->height() - m_stage->height()) / 2);
}
