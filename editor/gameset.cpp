#include "gameset.h"

#include "editortexts.h"
#include "editorwindows.h"
#include "filepicker.h"
#include "formparts.h"
#include "linklabel.h"
#include "messages.h"
#include "picturepicker.h"
#include "startup.h"
#include "vocabulary.h"
#include "webpages.h"
#include "windowplacement.h"
#include "windowtexts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTextCursor>

using namespace EditorTexts;
using WindowPlacement::px;
using namespace FormParts;

GameSet::GameSet(const GameFolder &folder, EditorPlatform platform, QWidget *parent)
    : QWidget(parent, WindowPlacement::kFixedWindowFlags), m_editor(folder), m_platform(platform)
{
    setObjectName(QStringLiteral("GameSet"));
    setWindowTitle(kCaption);
    setFixedSize(kWidth, kHeight);
    buildTextFrame();
    buildLinkFrame();
    buildPictureFrame();
    buildSettingsFrame();
    buildControlBar();
    setStartState();
    connectControls();
    m_windows = new EditorWindows(*this, m_editor, m_platform);
    // Every edit of a field redraws the preview at once.
    const auto refresh = [this] { m_windows->refreshPreview(); };
    connect(NoteText, &QPlainTextEdit::textChanged, this, refresh);
    for (QLineEdit *box : {BgUrlText, MsgUrlText})
        connect(box, &QLineEdit::textChanged, this, refresh);
    for (QComboBox *list : choiceLists())
        connect(list, &QComboBox::currentIndexChanged, this, refresh);
}

void GameSet::buildTextFrame()
{
    QGroupBox *f = placed(new QGroupBox(kTextFrame, this), "Frame2", 120, 120, 3495, 3855);
    FontWZ =
        combo(f, "FontWZ", Vocabulary::positions(), Vocabulary::kPositionStart, 1680, 360, 1695);
    SetFont =
        combo(f, "SetFont", Vocabulary::fontStyles(), Vocabulary::kFontStyleStart, 1680, 840, 1695);
    SetFontSize = combo(f, "SetFontSize", Vocabulary::fontSizes(), Vocabulary::kFontSizeStart, 1680,
                        1320, 1695);
    SetFontColor = combo(f, "SetFontColor", Vocabulary::fontColours(), Vocabulary::kFontColourStart,
                         1680, 1800, 1695);
    label(f, "Label5", kTextPosition, 120, 360, FontWZ);
    label(f, "Label6", kTextStyle, 120, 840, SetFont);
    label(f, "Label7", kTextSize, 120, 1320, SetFontSize);
    label(f, "Label8", kTextColour, 120, 1800, SetFontColor);
    NoteText = named(new QPlainTextEdit(f), "NoteText");
    NoteText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    NoteText->setTabChangesFocus(true);
    place(NoteText, 120, 2640, 3255, 975);
    label(f, "Label1", kText, 120, 2280, NoteText);
    WJID = named(new QLabel(kNoSceneYet, f), "WJID");
    place(WJID, 1680, 2280, 1695, 300);
}

void GameSet::buildLinkFrame()
{
    QGroupBox *f = placed(new QGroupBox(kLinkFrame, this), "Frame5", 120, 4080, 3495, 1455);
    auto link = [&](const char *name, const QString &caption, int left, int top,
                    const QString &address) {
        LinkLabel *l = named(new LinkLabel(caption, f), name);
        l->setFont(songTi(15.75, true));
        l->adjustSize();
        l->move(px(left), px(top));
        connect(l, &LinkLabel::clicked, this, [this, address] { openLink(address); });
        return l;
    };
    Label11 = link("Label11", kForumCaption, 240, 360, m_platform.links.forum);
    Label15 = link("Label15", kTutorialCaption, 1800, 360, m_platform.links.tutorial);
    Label16 = link("Label16", kContentsCaption, 240, 960, m_platform.links.contents);
    Label17 = link("Label17", kPublishCaption, 1800, 960, m_platform.links.publish);
}

void GameSet::buildPictureFrame()
{
    QGroupBox *f = placed(new QGroupBox(kPictureFrame, this), "Frame4", 3720, 120, 3975, 2415);
    MsgWZ = combo(f, "MsgWZ", Vocabulary::positions(), Vocabulary::kPositionStart, 1680, 360, 1695);
    BgUrlText = lineEdit(f, "BgUrlText", 120, 1080, 2655, 375);
    GetBgPic = placed(new QPushButton(kPick, f), "GetBgPic", 2880, 960, 975, 495);
    MsgUrlText = lineEdit(f, "MsgUrlText", 120, 1920, 2655, 375);
    GetMsgPic = placed(new QPushButton(kPick, f), "GetMsgPic", 2880, 1800, 975, 495);
    label(f, "Label4", kBoxPosition, 120, 360, MsgWZ);
    label(f, "Label2", kBackground, 120, 720, BgUrlText);
    label(f, "Label3", kMessageBox, 120, 1560, MsgUrlText);
    GetBgPic->setAccessibleName(kPickBackground);
    GetMsgPic->setAccessibleName(kPickMessageBox);
}

void GameSet::buildSettingsFrame()
{
    QGroupBox *f = placed(new QGroupBox(kSettingsFrame, this), "Frame3", 3720, 2640, 3975, 2895);
    GameNameText = lineEdit(f, "GameNameText", 1440, 240, 1575, 375);
    BGMUrlText = lineEdit(f, "BGMUrlText", 720, 720, 2295, 375);
    SuDuCombo =
        combo(f, "SuDuCombo", Vocabulary::speeds(), Vocabulary::kSpeedStart, 1320, 1200, 1695);
    ShowCombo =
        combo(f, "ShowCombo", Vocabulary::skipChoices(), Vocabulary::kSkipStart, 1920, 1680, 1095);
    Text1 = lineEdit(f, "Text1", 120, 2520, 2775, 270, false);
    label(f, "Label9", kGameName, 120, 240, GameNameText);
    label(f, "Label10", kMusic, 120, 720, BGMUrlText);
    label(f, "Label12", kSpeed, 120, 1200, SuDuCombo);
    label(f, "Label13", kSkip, 120, 1680, ShowCombo);
    label(f, "Label14", kFont, 120, 2160, Text1);
    auto save = [&](const char *name, int top, const QString &what) {
        QPushButton *b = placed(new QPushButton(kModifyIdle, f), name, 3120, top, 735, 375);
        b->setAccessibleDescription(kSave + what);
        return b;
    };
    Command1 = save("Command1", 240, kGameName);
    Command2 = save("Command2", 720, kMusic);
    Command3 = save("Command3", 1200, kSpeed);
    Command4 = save("Command4", 1680, kSkip);
    Command6 = save("Command6", 2400, kFontSaved);
}

void GameSet::buildControlBar()
{
    QGroupBox *f = placed(new QGroupBox(kControlFrame, this), "Frame1", 120, 5640, 7575, 855);
    auto bar = [&](const char *name, const QString &caption, int left, int width) {
        return placed(new QPushButton(caption, f), name, left, 240, width, 495);
    };
    StartRec = bar("StartRec", kFirst, 120, 735);
    LeftRec = bar("LeftRec", kPrevious, 960, 735);
    AddRec = bar("AddRec", kAddIdle, 1800, 975);
    DelRec = bar("DelRec", kDelete, 2880, 975);
    SetRec = bar("SetRec", kModifyIdle, 3960, 975);
    NextRec = bar("NextRec", kNext, 5040, 735);
    LastRec = bar("LastRec", kLast, 5880, 735);
    Command5 = bar("Command5", kHelp, 6720, 735);
    StartRec->setAccessibleDescription(kFirstScene);
    LeftRec->setAccessibleDescription(kPreviousScene);
    NextRec->setAccessibleDescription(kNextScene);
    LastRec->setAccessibleDescription(kLastScene);
}

void GameSet::setStartState()
{
    // The editing set and the buttons that need a shown scene are off.
    showEditState();
    LeftRec->setEnabled(false);
    DelRec->setEnabled(false);
    SetRec->setEnabled(false);

    // Tab order follows the layout: left column, right column, control bar.
    const QList<QWidget *> order{
        FontWZ,       SetFont,  SetFontSize, SetFontColor, NoteText,  Label11,    Label15,
        Label16,      Label17,  MsgWZ,       BgUrlText,    GetBgPic,  MsgUrlText, GetMsgPic,
        GameNameText, Command1, BGMUrlText,  Command2,     SuDuCombo, Command3,   ShowCombo,
        Command4,     Text1,    Command6,    StartRec,     LeftRec,   AddRec,     DelRec,
        SetRec,       NextRec,  LastRec,     Command5};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void GameSet::connectControls()
{
    using Browse = ScriptEditor::Browse;
    connect(StartRec, &QPushButton::clicked, this, [this] { browse(Browse::First); });
    connect(LeftRec, &QPushButton::clicked, this, [this] { browse(Browse::Previous); });
    connect(NextRec, &QPushButton::clicked, this, [this] { browse(Browse::Next); });
    connect(LastRec, &QPushButton::clicked, this, [this] { browse(Browse::Last); });
    connect(AddRec, &QPushButton::clicked, this,
            [this] { apply(m_editor.pressAdd(formFromFields())); });
    connect(SetRec, &QPushButton::clicked, this,
            [this] { apply(m_editor.pressModify(formFromFields())); });
    connect(DelRec, &QPushButton::clicked, this, [this] {
        if (m_windows->settleWaiting(kUnstoredBeforeCommand))
            showChange(m_editor.deleteScene());
    });
    connect(GetBgPic, &QPushButton::clicked, this, [this] { pickPicture(BgUrlText); });
    connect(GetMsgPic, &QPushButton::clicked, this, [this] { pickPicture(MsgUrlText); });
    const std::pair<QPushButton *, GameSettings::Field> saves[] = {
        {Command1, GameSettings::Name},
        {Command2, GameSettings::Music},
        {Command3, GameSettings::Interval},
        {Command4, GameSettings::Skip},
        {Command6, GameSettings::Font}};
    for (const auto &[button, field] : saves)
        connect(button, &QPushButton::clicked, this, [this, field] { saveSetting(field); });
    connect(Command5, &QPushButton::clicked, this, [this] { openLink(m_platform.links.help); });
}

void GameSet::closeEvent(QCloseEvent *event)
{
    if (!m_windows->settleWaiting(kUnstoredScene)) {
        event->ignore(); // kept, or a store failed and said why: the scene is still there
        return;
    }
    m_windows->formClosing();
    QWidget::closeEvent(event);
}

void GameSet::start()
{
    const ScriptEditor::StartUp found = m_editor.load();
    if (!found.scriptNotice.isEmpty()) {
        tell(found.scriptNotice);
        return; // WJID keeps 第N个 and the panel its start values
    }
    WJID->setText(kSceneNumber.arg(m_editor.CurRec()));
    if (found.settings)
        showSettings(*found.settings);
    tell(found.readOnlyNotice);
    tell(found.settingsNotice);
    if (QSettings().value(kPreviewOpenKey).toBool())
        m_windows->togglePreview();
}

void GameSet::showSettings(const SettingsForm &settings)
{
    GameNameText->setText(settings.name);
    BGMUrlText->setText(settings.music);
    if (settings.skip >= 0)
        ShowCombo->setCurrentIndex(settings.skip);
    Text1->setText(settings.font);
    if (settings.speed >= 0)
        SuDuCombo->setCurrentIndex(settings.speed);
}

void GameSet::tell(const Notice &notice)
{
    if (!notice.isEmpty())
        m_platform.messages.show(isVisible() ? this : nullptr, notice.text, notice.title);
    if (notice.reloaded == Notice::Reload::Script)
        showCurrent();
}

void GameSet::showCurrent()
{
    // What was typed into a waiting Add or Modify stays in the fields, to be stored again.
    WJID->setText(kSceneNumber.arg(m_editor.CurRec()));
    if (!m_editor.editing()) {
        if (m_editor.CurRec() >= 1)
            ShowScene(m_editor.CurRec() - 1);
        else
            showForm(SceneForm{});
    }
    m_windows->followChange();
}

void GameSet::showChange(const Notice &notice)
{
    tell(notice);
    if (notice.reloaded != Notice::Reload::Script) // tell() showed it already
        showCurrent();
}

SettingsForm GameSet::settingsPanel() const
{
    return {GameNameText->text(), BGMUrlText->text(), Text1->text(), SuDuCombo->currentIndex(),
            ShowCombo->currentIndex()};
}

void GameSet::saveSetting(GameSettings::Field field)
{
    const SettingsForm typed = settingsPanel();
    const Notice notice = m_editor.saveSetting(typed.settings(), field);
    if (notice.reloaded == Notice::Reload::Settings) {
        if (std::optional<SettingsForm> shown = m_editor.settingsForm()) {
            shown->take(typed, field);
            showSettings(*shown);
        }
    }
    tell(notice);
}

void GameSet::showEditState()
{
    AddRec->setText(m_editor.addWaiting() ? kWaiting : kAddIdle);
    SetRec->setText(m_editor.modifyWaiting() ? kWaiting : kModifyIdle);
    for (QWidget *w :
         std::initializer_list<QWidget *>{NoteText, BgUrlText, MsgUrlText, GetBgPic, GetMsgPic,
                                          FontWZ, SetFont, SetFontSize, SetFontColor, MsgWZ})
        w->setEnabled(m_editor.editing());
}

void GameSet::apply(const EditResult &result)
{
    if (result.text)
        NoteText->setPlainText(*result.text);
    tell(result.notice);
    showEditState();
    if (result.notice.isEmpty())
        WJID->setText(kSceneNumber.arg(m_editor.CurRec()));
    m_windows->followChange(); // the list's row shows a stored scene at once
}

void GameSet::ShowScene(int i)
{
    showForm(m_editor.showScene(i));
    m_windows->refreshPreview();
}

void GameSet::showStoredSettings()
{
    if (const std::optional<SettingsForm> settings = m_editor.settingsForm())
        showSettings(*settings);
}

void GameSet::focusText()
{
    NoteText->setFocus();
}

QString GameSet::selectedText() const
{
    return NoteText->textCursor().selectedText();
}

QList<QComboBox *> GameSet::choiceLists() const
{
    return {FontWZ, SetFont, SetFontSize, SetFontColor, MsgWZ};
}

void GameSet::showForm(const SceneForm &form)
{
    NoteText->setPlainText(form.text);
    BgUrlText->setText(form.background);
    MsgUrlText->setText(form.messageBox);
    const QList<QComboBox *> lists = choiceLists();
    for (int k = 0; k < SceneForm::kChoiceCount; ++k)
        lists.at(k)->setCurrentIndex(form.choices[k]);
}

SceneForm GameSet::formFromFields() const
{
    SceneForm form;
    form.text = NoteText->toPlainText();
    form.background = BgUrlText->text();
    form.messageBox = MsgUrlText->text();
    const QList<QComboBox *> lists = choiceLists();
    for (int k = 0; k < SceneForm::kChoiceCount; ++k)
        form.choices[k] = lists.at(k)->currentIndex();
    return form;
}

void GameSet::browse(ScriptEditor::Browse action)
{
    showBrowsed(m_editor.browse(action));
}

void GameSet::showBrowsed(const ScriptEditor::BrowseResult &result)
{
    tell(result.notice);
    if (result.position < 0)
        return;
    ShowScene(result.position);
    WJID->setText(kSceneNumber.arg(m_editor.CurRec()));
    LeftRec->setEnabled(true);
    DelRec->setEnabled(true);
    SetRec->setEnabled(true);
    m_windows->followChange();
}

void GameSet::pickPicture(QLineEdit *box)
{
    const auto kind = box == BgUrlText ? ScriptEditor::PictureKind::Background
                                       : ScriptEditor::PictureKind::MessageBox;
    if (const std::optional<QString> name = pickScenePicture(*this, m_editor, m_platform, kind))
        box->setText(*name);
}

void GameSet::openLink(const QString &address)
{
    if (address.isEmpty())
        tell({kGuideMissing, kHintTitle});
    else if (!m_platform.web.open(address))
        tell({kLinkFailed.arg(address), kHintTitle});
}
