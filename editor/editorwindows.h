#pragma once

#include "scenelisthost.h"
#include "scripteditor.h"
#include "windowplacement.h"

#include <QObject>

class CheckWindow;
class GameSet;
class QAction;
class ReplaceDialog;
class ScenePreview;
class SceneListWindow;
class VersionsWindow;
struct EditorPlatform;

/// The editor's windows beside the form and the commands that reach them, in the form's
/// context menu and by keys: the preview (F2), the game check (F7), playing from the scene
/// shown (F5), the scene list (F3), going to a scene (Ctrl+G), earlier versions, and undo and
/// redo. It owns those windows, keeps them in step with the editor, and answers the scene
/// list's requests; the form (`GameSet`) stays the form.
class EditorWindows : public QObject, public SceneListHost
{
    Q_OBJECT
public:
    EditorWindows(GameSet &form, ScriptEditor &editor, EditorPlatform &platform);

    /// Opens the preview window, or closes it when open; the editor remembers which.
    void togglePreview();
    ScenePreview *preview() const { return m_preview; }
    /// Draws the scene the fields describe in the preview, when it is open.
    void refreshPreview();
    /// Checks the whole game and lists its problems in a window.
    void checkGame();
    /// Starts the player on this game at the scene the editor shows; the editor stays.
    void playFromHere();
    void showSceneList();
    SceneListWindow *sceneList() const { return m_sceneList; }
    void showVersions();
    /// Asks for a scene number and shows that scene.
    void goToScene();
    /// Publishes the game as a web page in a folder the author names, showing each step, and
    /// opens that folder when done.
    void publishGame();
    /// After any change of the story: the list and the versions window follow.
    void followChange();
    /// Before a command that changes the story, or closing: a waiting Add or Modify is settled
    /// first. When it holds something not stored, the author is asked @p question: 保存 stores
    /// it, 不保存 drops it, 取消 (or a store that failed) keeps it and returns false, so the
    /// command is not carried out. Otherwise the wait ends, and the form shows CurRec's scene
    /// under its number again.
    bool settleWaiting(const QString &question);
    /// The form closes: the preview is remembered open where it is, then hidden.
    void formClosing();

    // What the scene list asks of the editor.
    const SceneLists &scenes() const override { return m_editor.scenes(); }
    const GameFolder &gameFolder() const override { return m_editor.folder(); }
    QString gameFont() const override { return m_editor.gameFont(); }
    int currentScene() const override { return m_editor.CurRec() - 1; }
    void showScene(int position) override;
    void insertScene(int position, bool after) override;
    void duplicateScenes(int first, int count) override;
    void moveScenes(int first, int count, int to) override;
    void removeScenes(int first, int count) override;
    void cutScenes(int first, int count) override;
    void pasteScenes(int after, const QList<SceneRec> &scenes) override;
    void pasteTexts(int after, const QStringList &texts) override;
    void importTextFile(int after) override;
    void showReplace(const QString &find) override;
    void replaceInScenes(const SceneReplace &what, const QList<int> &positions) override;
    ReplaceDialog *replaceDialog() const { return m_replace; }
    void setSceneFields(const QList<int> &positions) override;
    void undo() override;
    void redo() override;

private:
    /// Says which of the @p count scenes from @p first have a text too long for the box.
    void tellTooLong(int first, int count);
    /// What the versions window asks: bring a version back (after asking), or delete the
    /// versions of another game folder (after asking).
    void restoreVersion(const GameVersion &version);
    void removeOtherVersions(const QString &gameRoot, const QString &folder, int count);
    /// Shows @p window beside the form where the author last left it (@p key), else where
    /// @p request asks, never over the form's buttons nor past the screen.
    void showBesideForm(QWidget &window, const WindowPlacement::Beside &request,
                        const QString &key);
    void addCommands();
    void addHistoryCommands();
    /// "批量设置…" from the form: for the scenes selected in the scene list.
    void setFieldsOfListed();
    void rememberPreview(bool open);

    GameSet &m_form;
    ScriptEditor &m_editor;
    EditorPlatform &m_platform;
    ScenePreview *m_preview = nullptr;
    CheckWindow *m_check = nullptr;
    SceneListWindow *m_sceneList = nullptr;
    VersionsWindow *m_versions = nullptr;
    ReplaceDialog *m_replace = nullptr;
    QAction *m_undo = nullptr, *m_redo = nullptr;
};
