#include "scenelistwindow.h"

#include "batchtexts.h"
#include "scenelines.h"
#include "scenelisttexts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QToolButton>
#include <QVBoxLayout>

namespace T = SceneListTexts;

SceneListWindow::SceneListWindow(SceneListHost &host, QWidget *parent)
    : QWidget(parent, Qt::Window), m_host(host), m_model(new SceneListModel(host, this)),
      m_list(new QListView(this)), m_find(new QLineEdit(this)), m_found(new QLabel(this)),
      m_goTo(new QLineEdit(this)), m_goToNote(new QLabel(this))
{
    setObjectName(QStringLiteral("SceneListWindow"));
    setWindowTitle(T::kCaption);
    setAccessibleName(T::kCaption);
    resize(420, 760);

    QGridLayout *boxes = findAndGoToBoxes();
    setUpList();
    addCommands();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(m_list, 1);
    layout->addLayout(commandButtons());
    setTabOrder(m_find, m_goTo);
    setTabOrder(m_goTo, m_list);
    addWindowKeys();
    connectCommands();
    connectClipboardCommands();
    connectList();
    refresh();
}

QGridLayout *SceneListWindow::findAndGoToBoxes()
{
    m_find->setObjectName(QStringLiteral("find"));
    m_find->setAccessibleName(T::kFindName);
    m_find->setPlaceholderText(T::kFindHint);
    m_find->setClearButtonEnabled(true);
    m_find->installEventFilter(this);
    m_found->setObjectName(QStringLiteral("found"));
    auto *findLabel = new QLabel(T::kFind, this);
    findLabel->setBuddy(m_find);

    m_goTo->setObjectName(QStringLiteral("goTo"));
    m_goTo->setAccessibleName(T::kGoToName);
    m_goTo->setValidator(new QIntValidator(1, 99999, m_goTo));
    m_goTo->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) * 2);
    m_goToNote->setObjectName(QStringLiteral("goToNote"));
    auto *goToLabel = new QLabel(T::kGoTo, this);
    goToLabel->setBuddy(m_goTo);

    auto *boxes = new QGridLayout;
    boxes->addWidget(findLabel, 0, 0);
    boxes->addWidget(m_find, 0, 1);
    boxes->addWidget(m_found, 0, 2);
    boxes->addWidget(goToLabel, 1, 0);
    auto *goToRow = new QHBoxLayout;
    goToRow->addWidget(m_goTo);
    goToRow->addWidget(m_goToNote, 1);
    boxes->addLayout(goToRow, 1, 1, 1, 2);
    boxes->setColumnStretch(1, 1);
    return boxes;
}

void SceneListWindow::setUpList()
{
    m_list->setObjectName(QStringLiteral("scenes"));
    m_list->setAccessibleName(T::kList);
    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true); // only the first row is asked for its size
    m_list->setIconSize(SceneThumbnails::kSize);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setDragDropMode(QAbstractItemView::InternalMove);
    m_list->setDefaultDropAction(Qt::MoveAction);
    m_list->setDropIndicatorShown(true);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_list->installEventFilter(this);
}

void SceneListWindow::addCommands()
{
    m_insertBefore = command(T::kInsertBefore, "insertBefore", {});
    m_insertAfter = command(T::kInsertAfter, "insertAfter", {});
    m_duplicate = command(T::kDuplicate, "duplicate", {});
    m_moveUp = command(T::kMoveUp, "moveUp", QKeySequence(Qt::ALT | Qt::Key_Up));
    m_moveDown = command(T::kMoveDown, "moveDown", QKeySequence(Qt::ALT | Qt::Key_Down));
    m_remove = command(T::kRemove, "remove", QKeySequence(Qt::Key_Delete));
    // Delete edits the find and go-to boxes; it removes scenes only from the list.
    m_remove->setShortcutContext(Qt::WidgetShortcut);
    addClipboardCommands();
    m_setFields = command(BatchTexts::kAction, "setFields", QKeySequence(Qt::CTRL | Qt::Key_B));
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    m_list->addAction(separator);
    m_undo = command(T::kUndo, "undo", QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = command(T::kRedo, "redo", QKeySequence(Qt::CTRL | Qt::Key_Y));
    m_redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
}

void SceneListWindow::addWindowKeys()
{
    auto *close = new QAction(this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    close->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    auto *focusFind = new QAction(this);
    focusFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    focusFind->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(focusFind);
    connect(focusFind, &QAction::triggered, this, [this] {
        m_find->setFocus(Qt::ShortcutFocusReason);
        m_find->selectAll();
    });
}

void SceneListWindow::connectList()
{
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!m_selecting && current.isValid())
                    m_host.showScene(current.row());
            });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SceneListWindow::updateCommands);
    connect(m_list, &QListView::activated, this,
            [this](const QModelIndex &index) { m_host.showScene(index.row()); });
    // A drop asks the host to move the scenes; the refresh that follows selects them there.
    connect(m_model, &SceneListModel::moving, this, [this](int, int count, int to) {
        m_expected = SceneRange{to, count};
    });
    connect(m_find, &QLineEdit::textChanged, this, &SceneListWindow::findAsTyped);
    connect(m_goTo, &QLineEdit::returnPressed, this, &SceneListWindow::goToNumber);
    connect(m_goTo, &QLineEdit::textEdited, m_goToNote, &QLabel::clear);
}

QGridLayout *SceneListWindow::commandButtons()
{
    // Two rows, so that the window fits beside the editor on a small screen.
    auto *buttons = new QGridLayout;
    const QList<QAction *> commands{m_insertBefore, m_insertAfter, m_duplicate, m_remove,
                                    m_moveUp,       m_moveDown,    m_undo,      m_redo};
    for (qsizetype i = 0; i < commands.size(); ++i) {
        auto *button = new QToolButton(this);
        button->setDefaultAction(commands.at(i));
        button->setObjectName(commands.at(i)->objectName() + QStringLiteral("Button"));
        button->setAccessibleName(commands.at(i)->text());
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        buttons->addWidget(button, int(i / 4), int(i % 4));
    }
    return buttons;
}

void SceneListWindow::connectCommands()
{
    connect(m_insertBefore, &QAction::triggered, this, [this] {
        if (const auto range = selectedRange())
            m_host.insertScene(range->first, false);
    });
    connect(m_insertAfter, &QAction::triggered, this, [this] {
        if (const auto range = selectedRange())
            m_host.insertScene(range->last(), true);
    });
    connect(m_duplicate, &QAction::triggered, this, [this] {
        if (const auto range = selectedRange()) {
            m_expected = SceneRange{range->first + range->count, range->count};
            m_host.duplicateScenes(range->first, range->count);
        }
    });
    connect(m_moveUp, &QAction::triggered, this, [this] {
        if (const auto range = selectedRange(); range && range->first > 0) {
            m_expected = SceneRange{range->first - 1, range->count};
            m_host.moveScenes(range->first, range->count, range->first - 1);
        }
    });
    connect(m_moveDown, &QAction::triggered, this, [this] {
        if (const auto range = selectedRange(); range && range->last() < m_model->rowCount() - 1) {
            m_expected = SceneRange{range->first + 1, range->count};
            m_host.moveScenes(range->first, range->count, range->first + 1);
        }
    });
    connect(m_remove, &QAction::triggered, this, [this] {
        if (const auto range = selectedRange())
            m_host.removeScenes(range->first, range->count);
    });
    connect(m_setFields, &QAction::triggered, this, [this] {
        if (const QList<int> positions = selectedPositions(); !positions.isEmpty())
            m_host.setSceneFields(positions);
    });
    connect(m_undo, &QAction::triggered, this, [this] { m_host.undo(); });
    connect(m_redo, &QAction::triggered, this, [this] { m_host.redo(); });
}

QAction *SceneListWindow::command(const QString &text, const char *name, const QKeySequence &key)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    m_list->addAction(action); // the list's context menu
    return action;
}

QList<int> SceneListWindow::selectedPositions() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::optional<SceneRange> SceneListWindow::selectedRange() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedIndexes())
        rows.append(index.row());
    return SceneListModel::rangeOf(rows);
}

void SceneListWindow::focusList()
{
    // Without a scene shown, the view would choose the first row when it takes the focus: its
    // cursor stands there, choosing nothing.
    if (!m_list->currentIndex().isValid() && m_model->rowCount() > 0) {
        m_selecting = true;
        m_list->selectionModel()->setCurrentIndex(m_model->index(0), QItemSelectionModel::NoUpdate);
        m_selecting = false;
    }
    m_list->setFocus(Qt::OtherFocusReason);
    if (const QModelIndex current = m_list->currentIndex(); current.isValid())
        m_list->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

int SceneListWindow::currentRow() const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void SceneListWindow::refresh()
{
    const std::optional<SceneRange> expected = std::exchange(m_expected, std::nullopt);
    // Rows removed or moved shift the view's current row: that is not the author's choice.
    m_selecting = true;
    const bool changed = m_model->refresh();
    m_selecting = false;
    const int count = m_model->rowCount();
    const int shown = m_host.currentScene();
    const bool shownValid = shown >= 0 && shown < count;
    if (changed && expected && expected->first >= 0 && expected->first + expected->count <= count) {
        const bool inside = shown >= expected->first && shown <= expected->last();
        select(*expected, inside ? shown : expected->first);
    } else if (shownValid && m_list->selectionModel()->isSelected(m_model->index(shown))) {
        // The author's selection still holds the scene shown: keep it.
        if (currentRow() != shown) {
            m_selecting = true;
            m_list->selectionModel()->setCurrentIndex(m_model->index(shown),
                                                      QItemSelectionModel::NoUpdate);
            m_selecting = false;
        }
    } else if (shownValid) {
        select({shown, 1}, shown);
    } else {
        m_list->clearSelection();
    }
    updateMatches();
    updateCommands();
}

void SceneListWindow::select(SceneRange range, int current)
{
    m_selecting = true;
    QItemSelectionModel *selection = m_list->selectionModel();
    selection->setCurrentIndex(m_model->index(current), QItemSelectionModel::NoUpdate);
    selection->select(QItemSelection(m_model->index(range.first), m_model->index(range.last())),
                      QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(m_model->index(current));
    m_selecting = false;
}

void SceneListWindow::goToRow(int row)
{
    select({row, 1}, row);
    m_host.showScene(row);
}

void SceneListWindow::goToNumber()
{
    const int number = m_goTo->text().toInt();
    if (number < 1 || number > m_model->rowCount()) {
        m_goToNote->setText(T::kNoSuchScene.arg(m_goTo->text()));
        return;
    }
    m_goToNote->clear();
    goToRow(number - 1);
    m_goTo->clear();
    m_list->setFocus(Qt::OtherFocusReason);
}

void SceneListWindow::updateMatches()
{
    m_matches = m_model->find(m_find->text());
    if (m_find->text().isEmpty())
        m_found->clear();
    else
        m_found->setText(m_matches.isEmpty() ? T::kNotFound : T::kFound.arg(m_matches.size()));
}

void SceneListWindow::findAsTyped()
{
    updateMatches();
    // The first match from the scene selected on, so typing more letters stays where it is.
    const int row = SceneListModel::nextMatch(m_matches, qMax(currentRow(), 0) - 1, false);
    if (row >= 0 && row != currentRow())
        goToRow(row);
}

void SceneListWindow::findNext(bool backward)
{
    const int row = SceneListModel::nextMatch(m_matches, currentRow(), backward);
    if (row < 0)
        QApplication::beep();
    else
        goToRow(row);
}

void SceneListWindow::updateCommands()
{
    const std::optional<SceneRange> range = selectedRange();
    for (QAction *action : {m_insertBefore, m_insertAfter, m_duplicate, m_remove})
        action->setEnabled(range.has_value());
    for (QAction *action : {m_copyRows, m_cutRows, m_moveTo})
        action->setEnabled(range.has_value());
    m_setFields->setEnabled(m_list->selectionModel()->hasSelection());
    m_moveUp->setEnabled(range && range->first > 0);
    m_moveDown->setEnabled(range && range->last() < m_model->rowCount() - 1);
}

bool SceneListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_find && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        findNext(key->modifiers() & Qt::ShiftModifier);
        return true;
    }
    // Alt+Up and Alt+Down move scenes; when they cannot, the list must not take them as plain
    // arrows and drop the author's selection.
    if (watched == m_list && (key->modifiers() & Qt::AltModifier) &&
        (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down))
        return true;
    // Digits typed in the list start a number for "转到第…个" (the rows all begin with 第).
    if (watched == m_list && key->text().size() == 1 && key->text().at(0).isDigit() &&
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        m_goTo->setFocus(Qt::OtherFocusReason);
        m_goTo->setText(key->text());
        m_goToNote->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SceneListWindow::addClipboardCommands()
{
    m_copyRows = command(T::kCopyRows, "copyRows", QKeySequence::Copy);
    m_cutRows = command(T::kCutRows, "cutRows", QKeySequence::Cut);
    m_paste = command(T::kPaste, "paste", QKeySequence::Paste);
    // The find and go-to boxes keep their own copy, cut and paste.
    for (QAction *action : {m_copyRows, m_cutRows, m_paste})
        action->setShortcutContext(Qt::WidgetShortcut);
    m_pasteAsScenes = command(T::kPasteAsScenes, "pasteAsScenes", {});
    m_import = command(T::kImport, "importText", {});
    m_moveTo = command(T::kMoveTo, "moveTo", QKeySequence(Qt::CTRL | Qt::Key_M));
    m_replace = command(T::kReplace, "replace", QKeySequence(Qt::CTRL | Qt::Key_H));
}

void SceneListWindow::connectClipboardCommands()
{
    connect(m_copyRows, &QAction::triggered, this, [this] {
        if (const auto range = selectedRange())
            copyToClipboard(*range);
    });
    connect(m_cutRows, &QAction::triggered, this, [this] {
        if (const auto range = selectedRange()) {
            copyToClipboard(*range);
            m_host.cutScenes(range->first, range->count);
        }
    });
    connect(m_paste, &QAction::triggered, this, [this] { paste(false); });
    connect(m_pasteAsScenes, &QAction::triggered, this, [this] { paste(true); });
    connect(m_import, &QAction::triggered, this,
            [this] { m_host.importTextFile(pastePosition()); });
    connect(m_moveTo, &QAction::triggered, this, &SceneListWindow::moveTo);
    connect(m_replace, &QAction::triggered, this, [this] { m_host.showReplace(m_find->text()); });
}

void SceneListWindow::copyToClipboard(SceneRange range)
{
    const QList<SceneRec> scenes = m_host.scenes().scenes(range.first, range.count);
    auto *data = new QMimeData;
    data->setText(SceneLines::texts(scenes));
    data->setData(SceneLines::kMimeType, SceneLines::encodeScenes(scenes));
    QGuiApplication::clipboard()->setMimeData(data);
}

int SceneListWindow::pastePosition() const
{
    if (const auto range = selectedRange())
        return range->last();
    const int shown = m_host.currentScene();
    return shown >= 0 && shown < m_model->rowCount() ? shown : m_model->rowCount() - 1;
}

void SceneListWindow::paste(bool asTexts)
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return QApplication::beep();
    const int after = pastePosition();
    if (!asTexts && data->hasFormat(SceneLines::kMimeType)) {
        if (const auto scenes = SceneLines::decodeScenes(data->data(SceneLines::kMimeType))) {
            m_expected = SceneRange{after + 1, int(scenes->size())};
            m_host.pasteScenes(after, *scenes);
            return;
        }
    }
    const QStringList texts = SceneLines::sceneTexts(data->text());
    if (texts.isEmpty())
        return QApplication::beep();
    m_expected = SceneRange{after + 1, int(texts.size())};
    m_host.pasteTexts(after, texts);
}

void SceneListWindow::moveTo()
{
    const auto range = selectedRange();
    if (!range)
        return;
    const int last = m_model->rowCount() - range->count + 1;
    bool ok = false;
    const QString name =
        range->count == 1
            ? T::kRow.arg(range->first + 1).chopped(2)
            : QStringLiteral("第%1-%2个").arg(range->first + 1).arg(range->last() + 1);
    const int number = QInputDialog::getInt(this, T::kMoveTo, T::kMoveToLabel.arg(name).arg(last),
                                            range->first + 1, 1, last, 1, &ok);
    if (!ok || number - 1 == range->first)
        return;
    m_expected = SceneRange{number - 1, range->count};
    m_host.moveScenes(range->first, range->count, number - 1);
}
