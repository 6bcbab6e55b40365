#include "editorwindows.h"

#include "batchdialog.h"
#include "batchtexts.h"
#include "checkwindow.h"
#include "editortexts.h"
#include "filepicker.h"
#include "gamecheck.h"
#include "gameset.h"
#include "messages.h"
#include "publishing.h"
#include "replacedialog.h"
#include "scenelistwindow.h"
#include "scenepreview.h"
#include "stage.h"
#include "startup.h"
#include "textfit.h"
#include "versionswindow.h"
#include "webpages.h"
#include "windowplacement.h"
#include "windowtexts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QSettings>
#include <QUndoStack>
#include <QUrl>

using namespace EditorTexts;

EditorWindows::EditorWindows(GameSet &form, ScriptEditor &editor, EditorPlatform &platform)
    : QObject(&form), m_form(form), m_editor(editor), m_platform(platform)
{
    addCommands();
}

void EditorWindows::addCommands()
{
    // The form's own controls stay as they are; the other windows are reached by keys and by
    // the form's context menu.
    m_form.setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *preview = new QAction(kPreviewAction, this);
    preview->setObjectName(QStringLiteral("previewAction"));
    preview->setShortcut(Qt::Key_F2);
    connect(preview, &QAction::triggered, this, &EditorWindows::togglePreview);
    m_form.addAction(preview);
    auto *check = new QAction(kCheckAction, this);
    check->setObjectName(QStringLiteral("checkAction"));
    check->setShortcut(Qt::Key_F7);
    connect(check, &QAction::triggered, this, &EditorWindows::checkGame);
    m_form.addAction(check);
    auto *play = new QAction(kPlayAction, this);
    play->setObjectName(QStringLiteral("playAction"));
    play->setShortcut(Qt::Key_F5);
    connect(play, &QAction::triggered, this, &EditorWindows::playFromHere);
    m_form.addAction(play);
    const auto window = [this](const char *name, const QString &caption, QKeySequence key,
                               void (EditorWindows::*open)()) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, open);
        m_form.addAction(action);
    };
    window("sceneListAction", kSceneListAction, Qt::Key_F3, &EditorWindows::showSceneList);
    window("goToAction", kGoToAction, QKeySequence(Qt::CTRL | Qt::Key_G),
           &EditorWindows::goToScene);
    window("versionsAction", kVersionsAction, {}, &EditorWindows::showVersions);
    window("publishAction", kPublishAction, {}, &EditorWindows::publishGame);
    auto *replace = new QAction(kReplaceAction, this);
    replace->setObjectName(QStringLiteral("replaceAction"));
    replace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(replace, &QAction::triggered, this, [this] { showReplace(m_form.selectedText()); });
    m_form.addAction(replace);
    window("batchAction", BatchTexts::kAction, QKeySequence(Qt::CTRL | Qt::Key_B),
           &EditorWindows::setFieldsOfListed);
    addHistoryCommands();
}

void EditorWindows::addHistoryCommands()
{
    // Our own actions, not QUndoStack's: a failed undo must leave the step where it was.
    QUndoStack &history = m_editor.history();
    const auto command = [this](const char *name, const QString &prefix, QList<QKeySequence> keys) {
        auto *action = new QAction(prefix, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        action->setEnabled(false);
        m_form.addAction(action);
        return action;
    };
    m_undo = command("undoAction", kUndoPrefix, {QKeySequence::Undo});
    m_redo = command(
        "redoAction", kRedoPrefix,
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(&history, &QUndoStack::canUndoChanged, m_undo, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, m_redo, &QAction::setEnabled);
    connect(&history, &QUndoStack::undoTextChanged, m_undo,
            [this](const QString &text) { m_undo->setText(kUndoPrefix + u' ' + text); });
    connect(&history, &QUndoStack::redoTextChanged, m_redo,
            [this](const QString &text) { m_redo->setText(kRedoPrefix + u' ' + text); });
    connect(m_undo, &QAction::triggered, this, [this] { undo(); });
    connect(m_redo, &QAction::triggered, this, [this] { redo(); });
}

void EditorWindows::undo()
{
    if (!settleWaiting(kUnstoredBeforeCommand))
        return;
    m_form.showChange(m_editor.undo());
    m_form.showStoredSettings();
}

void EditorWindows::redo()
{
    if (!settleWaiting(kUnstoredBeforeCommand))
        return;
    m_form.showChange(m_editor.redo());
    m_form.showStoredSettings();
}

bool EditorWindows::settleWaiting(const QString &question)
{
    if (!m_editor.waiting())
        return true;
    if (m_editor.hasUnstoredScene(m_form.formFromFields())) {
        UnsavedChoice choice = m_platform.messages.askUnsaved(&m_form, question, kCaption);
        if (choice == UnsavedChoice::Save) {
            m_form.apply(m_editor.storeWaiting(m_form.formFromFields()));
            if (m_editor.hasUnstoredScene(m_form.formFromFields()))
                choice = UnsavedChoice::Cancel; // the store failed and said why
        }
        if (choice == UnsavedChoice::Cancel) {
            followChange(); // the list forgets what a refused command would have selected
            return false;
        }
    }
    // Nothing is left to store: the fields show CurRec's scene again, under its own number.
    m_editor.dropWaiting();
    m_form.apply({});
    m_form.showChange({});
    return true;
}

void EditorWindows::showSceneList()
{
    if (!m_sceneList)
        m_sceneList = new SceneListWindow(*this, &m_form);
    m_sceneList->refresh();
    if (!m_sceneList->isVisible())
        showBesideForm(
            *m_sceneList,
            {m_sceneList->size(), m_sceneList->minimumSizeHint(), WindowPlacement::Side::Left},
            kSceneListPlaceKey);
    m_sceneList->raise();
    m_sceneList->activateWindow();
    m_sceneList->focusList(); // on the list, not in the find box
}

void EditorWindows::showVersions()
{
    if (!m_versions) {
        m_versions = new VersionsWindow(m_editor.versions().root(), &m_form);
        connect(m_versions, &VersionsWindow::restoreRequested, this,
                &EditorWindows::restoreVersion);
        connect(m_versions, &VersionsWindow::removeRequested, this,
                &EditorWindows::removeOtherVersions);
    }
    m_versions->setCurrent(m_editor.folder(), m_editor.scenes(), m_editor.gameFont());
    m_versions->reload();
    if (!m_versions->isVisible())
        showBesideForm(
            *m_versions,
            {m_versions->size(), m_versions->minimumSizeHint(), WindowPlacement::Side::Right},
            kVersionsPlaceKey);
    m_versions->raise();
}

void EditorWindows::restoreVersion(const GameVersion &version)
{
    if (!settleWaiting(kUnstoredBeforeCommand) ||
        !m_platform.messages.ask(m_versions, m_editor.restoreQuestion(version), kVersionsCaption))
        return;
    m_form.showChange(m_editor.restoreVersion(version));
    m_form.showStoredSettings();
}

void EditorWindows::removeOtherVersions(const QString &gameRoot, const QString &folder, int count)
{
    if (!m_platform.messages.ask(
            m_versions, kVersionsRemoveQuestion.arg(QDir::toNativeSeparators(folder)).arg(count),
            kVersionsCaption))
        return;
    if (!VersionStore::removeStoredGame(gameRoot))
        m_form.tell({kVersionsRemoveFailed.arg(QDir::toNativeSeparators(gameRoot)), kHintTitle});
    m_versions->reload();
}

void EditorWindows::goToScene()
{
    const int count = m_editor.scenes().count();
    if (count == 0) {
        m_form.tell({kNoScenes, kSystemWarningTitle});
        return;
    }
    bool ok = false;
    const int number = QInputDialog::getInt(&m_form, kGoToCaption, kGoToLabel.arg(count),
                                            qBound(1, m_editor.CurRec(), count), 1, count, 1, &ok);
    if (ok)
        showScene(number - 1);
}

void EditorWindows::showScene(int position)
{
    // A row chosen browses as the form's buttons do, but never drops what was typed unasked.
    if (m_editor.hasUnstoredScene(m_form.formFromFields()) &&
        !settleWaiting(kUnstoredBeforeCommand))
        return;
    m_form.showBrowsed(m_editor.browseTo(position + 1));
}

void EditorWindows::insertScene(int position, bool after)
{
    if (!settleWaiting(kUnstoredBeforeCommand))
        return;
    const Notice notice = m_editor.insertScene(position, after);
    m_form.showChange(notice);
    // The new scene waits for its text: the fields are open as for a Modify.
    if (notice.isEmpty() && !m_editor.modifyWaiting()) {
        m_form.showBrowsed(m_editor.browseTo(m_editor.CurRec()));
        m_form.apply(m_editor.pressModify(m_form.formFromFields()));
        m_form.focusText();
    }
}

void EditorWindows::duplicateScenes(int first, int count)
{
    if (!settleWaiting(kUnstoredBeforeCommand))
        return;
    m_form.showChange(m_editor.duplicateScenes(first, count));
}

void EditorWindows::moveScenes(int first, int count, int to)
{
    if (!settleWaiting(kUnstoredBeforeCommand))
        return;
    m_form.showChange(m_editor.moveScenes(first, count, to));
}

void EditorWindows::removeScenes(int first, int count)
{
    if (!settleWaiting(kUnstoredBeforeCommand))
        return;
    if (count > 1 &&
        !m_platform.messages.ask(&m_form, kRemoveScenesQuestion.arg(first + 1).arg(first + count),
                                 kCaption))
        return;
    m_form.showChange(m_editor.removeScenes(first, count));
}

void EditorWindows::cutScenes(int first, int count)
{
    if (!settleWaiting(kUnstoredBeforeCommand))
        return;
    m_form.showChange(m_editor.cutScenes(first, count));
}

void EditorWindows::pasteScenes(int after, const QList<SceneRec> &scenes)
{
    if (!settleWaiting(kUnstoredBeforeCommand))
        return;
    const Notice notice = m_editor.pasteScenes(after, scenes);
    m_form.showChange(notice);
    if (notice.isEmpty())
        tellTooLong(after + 1, int(scenes.size()));
}

void EditorWindows::pasteTexts(int after, const QStringList &texts)
{
    if (texts.isEmpty() || !settleWaiting(kUnstoredBeforeCommand))
        return;
    const Notice notice = m_editor.pasteTexts(after, texts);
    m_form.showChange(notice);
    if (notice.isEmpty())
        tellTooLong(after + 1, int(texts.size()));
}

void EditorWindows::importTextFile(int after)
{
    if (!settleWaiting(kUnstoredBeforeCommand))
        return;
    const QString path = m_platform.picker.choose(&m_form, m_editor.folder().path(), kImportFilter);
    if (path.isEmpty())
        return;
    const int before = m_editor.scenes().count();
    const ScriptEditor::Import import = m_editor.importText(after, path);
    m_form.showChange(import.notice);
    if (import.done.isEmpty())
        return;
    const int count = m_editor.scenes().count() - before;
    const QList<int> tooLong =
        TextFit::tooLong(m_editor.scenes(), after + 1, count, m_editor.gameFont());
    m_form.tell(
        {tooLong.isEmpty()
             ? import.done
             : import.done + u'\n' + kPastedTooLong.arg(TextFit::lines(m_editor.scenes(), tooLong)),
         kImportCaption});
}

void EditorWindows::tellTooLong(int first, int count)
{
    const QList<int> tooLong =
        TextFit::tooLong(m_editor.scenes(), first, count, m_editor.gameFont());
    if (!tooLong.isEmpty())
        m_form.tell({kPastedTooLong.arg(TextFit::lines(m_editor.scenes(), tooLong)), kHintTitle});
}

void EditorWindows::showReplace(const QString &find)
{
    if (!m_replace)
        m_replace = new ReplaceDialog(*this, &m_form);
    m_replace->startWith(find);
    m_replace->show();
    m_replace->raise();
    m_replace->activateWindow();
}

void EditorWindows::replaceInScenes(const SceneReplace &what, const QList<int> &positions)
{
    if (!settleWaiting(kUnstoredBeforeCommand))
        return;
    m_form.showChange(m_editor.replaceInScenes(what, positions));
}

void EditorWindows::setSceneFields(const QList<int> &positions)
{
    if (positions.isEmpty() || !settleWaiting(kUnstoredBeforeCommand))
        return;
    QWidget *over = m_sceneList && m_sceneList->isActiveWindow()
                        ? static_cast<QWidget *>(m_sceneList)
                        : &m_form;
    BatchDialog dialog(m_editor.folder(), m_editor.scenes(), positions, m_editor.gameFont(), over);
    if (dialog.exec() == QDialog::Accepted)
        m_form.showChange(m_editor.setSceneFields(positions, dialog.values()));
}

void EditorWindows::setFieldsOfListed()
{
    // The scenes are chosen in the list: from the form, the list's selection counts while the
    // list is open; otherwise the list opens for the author to choose them.
    const QList<int> chosen =
        m_sceneList && m_sceneList->isVisible() ? m_sceneList->selectedPositions() : QList<int>();
    if (chosen.isEmpty()) {
        showSceneList();
        m_form.tell({BatchTexts::kSelectFirst, kHintTitle});
        return;
    }
    setSceneFields(chosen);
}

void EditorWindows::togglePreview()
{
    if (m_preview && m_preview->isVisible()) {
        m_preview->close(); // remembered as closed through its closed() signal
        return;
    }
    if (!m_preview) {
        m_preview = new ScenePreview(&m_form);
        connect(m_preview, &ScenePreview::closed, this, [this] { rememberPreview(false); });
    }
    showBesideForm(*m_preview,
                   {QSize(Stage::kWidth, Stage::kHeight), m_preview->minimumSize(),
                    WindowPlacement::Side::Right, Qt::AlignTop, true},
                   kPreviewGeometryKey);
    refreshPreview();
    rememberPreview(true);
}

void EditorWindows::checkGame()
{
    if (!m_check) {
        m_check = new CheckWindow(&m_form);
        connect(m_check, &CheckWindow::sceneChosen, this,
                [this](int number) { m_form.showBrowsed(m_editor.browseTo(number)); });
        connect(m_check, &CheckWindow::renameRequested, this, [this] {
            if (const QStringList left = m_editor.folder().renameWindowsNames(); !left.isEmpty())
                m_form.tell({kRenameFailed.arg(left.join(u'\n')), kHintTitle});
            checkGame();
        });
    }
    GameCheck check(m_editor.folder());
    const GameCheck::Verdict verdict = check.run();
    m_check->showResult(verdict, check.problems(), !m_editor.folder().windowsNames().isEmpty());
    if (!m_check->isVisible())
        showBesideForm(*m_check,
                       {m_check->size(), m_check->minimumSizeHint(), WindowPlacement::Side::Right},
                       kCheckPlaceKey);
    m_check->raise();
}

void EditorWindows::playFromHere()
{
    const int count = m_editor.scenes().count();
    if (count == 0) {
        m_form.tell({kNoScenes, kSystemWarningTitle});
        return;
    }
    const int scene = m_editor.CurRec() >= 1 && m_editor.CurRec() <= count ? m_editor.CurRec() : 1;
    const QString player = Startup::programPath(Startup::Program::Player);
    if (!m_platform.launch(
            player, {QStringLiteral("--scene"), QString::number(scene), m_editor.folder().path()}))
        m_form.tell({kPlayFailed.arg(player), kHintTitle});
}

void EditorWindows::refreshPreview()
{
    if (m_preview && m_preview->isVisible())
        m_preview->showScene(m_editor.folder(),
                             m_editor.sceneFromForm(m_form.formFromFields(), true),
                             m_editor.gameFont());
}

void EditorWindows::rememberPreview(bool open)
{
    QSettings settings;
    settings.setValue(kPreviewOpenKey, open);
    settings.setValue(kPreviewGeometryKey, m_preview->saveGeometry());
}

void EditorWindows::publishGame()
{
    Publishing::fromWindow(m_platform, m_form, m_editor.folder());
}

void EditorWindows::followChange()
{
    if (m_sceneList)
        m_sceneList->refresh();
    if (m_replace && m_replace->isVisible())
        m_replace->refresh();
    if (m_versions && m_versions->isVisible())
        m_versions->setCurrent(m_editor.folder(), m_editor.scenes(), m_editor.gameFont());
}

void EditorWindows::showBesideForm(QWidget &window, const WindowPlacement::Beside &request,
                                   const QString &key)
{
    // The form's buttons stay in sight whatever happens.
    const QWidget *bar = m_form.findChild<QWidget *>(QStringLiteral("Frame1"));
    const QRect buttons = bar ? QRect(bar->mapToGlobal(QPoint()), bar->size()) : QRect();
    WindowPlacement::showBeside(window, m_form, buttons, request, key,
                                {m_sceneList, m_preview, m_check, m_versions});
}

void EditorWindows::formClosing()
{
    if (m_sceneList && m_sceneList->isVisible())
        WindowPlacement::remember(*m_sceneList, kSceneListPlaceKey);
    if (m_check && m_check->isVisible())
        WindowPlacement::remember(*m_check, kCheckPlaceKey);
    if (m_versions && m_versions->isVisible())
        WindowPlacement::remember(*m_versions, kVersionsPlaceKey);
    if (m_preview && m_preview->isVisible()) {
        rememberPreview(true); // open at the next start, where it is now
        m_preview->hide();
    }
}
