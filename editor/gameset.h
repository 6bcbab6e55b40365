#pragma once

#include "editorplatform.h"
#include "editorwindows.h"
#include "scripteditor.h"

#include <QWidget>

class LinkLabel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

/// The editor's window `GameSet`: scene fields, the record browser and editing buttons, the
/// game settings panel, picture pickers and help links. Every decision and file write is
/// ScriptEditor's; this class shows its state and forwards clicks. Each control carries its
/// name as objectName.
class GameSet : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 522;
    static constexpr int kHeight = 446;

    GameSet(const GameFolder &folder, EditorPlatform platform, QWidget *parent = nullptr);

    /// Start-up: fills the choice lists, loads the scenes and the settings panel.
    void start();

    const ScriptEditor &editor() const { return m_editor; }

    /// Loads the scene at list position @p i into the eight scene fields.
    void ShowScene(int i);

    /// The windows beside the form (preview, check, scene list, versions) and their commands.
    EditorWindows &windows() const { return *m_windows; }
    ScenePreview *preview() const { return m_windows->preview(); }
    /// Checks the whole game and lists its problems in a window (F7).
    void checkGame() { m_windows->checkGame(); }
    /// Starts the player on this game at the scene the editor shows (F5); the editor stays.
    void playFromHere() { m_windows->playFromHere(); }
    SceneListWindow *sceneList() const { return m_windows->sceneList(); }

    // What the other windows ask of the form.
    /// After a change of the story (a delete, a structure command, undo, redo): what it said,
    /// and what the editor now holds.
    void showChange(const Notice &notice);
    /// Shows a scene that browsing, the check or the list chose.
    void showBrowsed(const ScriptEditor::BrowseResult &result);
    /// The settings panel shows the settings as Game.ini now holds them.
    void showStoredSettings();
    SceneForm formFromFields() const;
    void apply(const EditResult &result);
    void tell(const Notice &notice);
    void focusText();
    /// The text selected in the scene text box (where Ctrl+H starts from).
    QString selectedText() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildTextFrame();
    void buildLinkFrame();
    void buildPictureFrame();
    void buildSettingsFrame();
    void buildControlBar();
    void setStartState();
    void connectControls();

    void showSettings(const SettingsForm &settings);
    SettingsForm settingsPanel() const;
    void saveSetting(GameSettings::Field field);
    /// Shows CurRec in the form (unless an Add or Modify waits) and in the scene list.
    void showCurrent();
    void showEditState();
    void browse(ScriptEditor::Browse action);
    QList<QComboBox *> choiceLists() const;
    void showForm(const SceneForm &form);
    void pickPicture(QLineEdit *box);
    void openLink(const QString &address);

    ScriptEditor m_editor;
    EditorPlatform m_platform;
    EditorWindows *m_windows = nullptr;

    // Frame2 "文字修改"
    QComboBox *FontWZ, *SetFont, *SetFontSize, *SetFontColor;
    QLabel *WJID;
    QPlainTextEdit *NoteText;
    // Frame5 "软件链接"
    LinkLabel *Label11, *Label15, *Label16, *Label17;
    // Frame4 "图片修改"
    QComboBox *MsgWZ;
    QLineEdit *BgUrlText, *MsgUrlText;
    QPushButton *GetBgPic, *GetMsgPic;
    // Frame3 "全局修改"
    QLineEdit *GameNameText, *BGMUrlText, *Text1;
    QComboBox *SuDuCombo, *ShowCombo;
    QPushButton *Command1, *Command2, *Command3, *Command4, *Command6;
    // Frame1 "控制条"
    QPushButton *StartRec, *LeftRec, *AddRec, *DelRec, *SetRec, *NextRec, *LastRec, *Command5;
};
