#include "gameset.h"

#include "checkwindow.h"
#include "editortexts.h"
#include "filepicker.h"
#include "linklabel.h"
#include "messages.h"
#include "publisher.h"
#include "scenepreview.h"
#include "startup.h"
#include "vocabulary.h"
#include "webpages.h"
#include "windowplacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

using namespace EditorTexts;
using WindowPlacement::px;

namespace {

void place(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(px(left), px(top), px(width), px(height));
}

QFont songTi(double points, bool underline = false)
{
    QFont f(kLabelFont);
    f.setPointSizeF(points);
    f.setUnderline(underline);
    return f;
}

template <typename T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A control with its name, placed by its twip geometry.
template <typename T>
T *placed(T *widget, const char *name, int left, int top, int width, int height)
{
    place(named(widget, name), left, top, width, height);
    return widget;
}

// A label with its caption; with a buddy, the buddy is announced by that caption.
QLabel *label(QWidget *frame, const char *name, const QString &caption, int left, int top,
              QWidget *buddy = nullptr)
{
    QLabel *l = named(new QLabel(caption, frame), name);
    l->setFont(songTi(14.25));
    l->adjustSize();
    l->move(px(left), px(top));
    if (buddy) {
        l->setBuddy(buddy);
        buddy->setAccessibleName(caption);
    }
    return l;
}

QComboBox *combo(QWidget *frame, const char *name, const QStringList &entries, int start, int left,
                 int top, int width)
{
    QComboBox *c = placed(new QComboBox(frame), name, left, top, width, 300);
    c->addItems(entries);
    c->setCurrentIndex(start);
    return c;
}

QLineEdit *lineEdit(QWidget *frame, const char *name, int l, int t, int w, int h,
                    bool boxFont = true)
{
    QLineEdit *e = placed(new QLineEdit(frame), name, l, t, w, h);
    if (boxFont)
        e->setFont(songTi(12));
    return e;
}

} // namespace

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
    addCommands();
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
    connect(DelRec, &QPushButton::clicked, this, [this] { tell(m_editor.deleteScene()); });
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

void GameSet::addCommands()
{
    // The window's own controls stay as they are; the other windows are reached by keys and by
    // the window's context menu.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *preview = new QAction(kPreviewAction, this);
    preview->setObjectName(QStringLiteral("previewAction"));
    preview->setShortcut(Qt::Key_F2);
    connect(preview, &QAction::triggered, this, &GameSet::togglePreview);
    addAction(preview);
    auto *check = new QAction(kCheckAction, this);
    check->setObjectName(QStringLiteral("checkAction"));
    check->setShortcut(Qt::Key_F7);
    connect(check, &QAction::triggered, this, &GameSet::checkGame);
    addAction(check);
    auto *play = new QAction(kPlayAction, this);
    play->setObjectName(QStringLiteral("playAction"));
    play->setShortcut(Qt::Key_F5);
    connect(play, &QAction::triggered, this, &GameSet::playFromHere);
    addAction(play);
    auto *publish = new QAction(kPublishAction, this);
    publish->setObjectName(QStringLiteral("publishAction"));
    connect(publish, &QAction::triggered, this, &GameSet::publishGame);
    addAction(publish);

    // Every edit of a field redraws the preview at once.
    const auto refresh = [this] { refreshPreview(); };
    connect(NoteText, &QPlainTextEdit::textChanged, this, refresh);
    for (QLineEdit *box : {BgUrlText, MsgUrlText})
        connect(box, &QLineEdit::textChanged, this, refresh);
    for (QComboBox *list : choiceLists())
        connect(list, &QComboBox::currentIndexChanged, this, refresh);
}

void GameSet::togglePreview()
{
    if (m_preview && m_preview->isVisible()) {
        m_preview->close(); // remembered as closed through its closed() signal
        return;
    }
    if (!m_preview) {
        m_preview = new ScenePreview(this);
        connect(m_preview, &ScenePreview::closed, this, [this] { rememberPreview(false); });
        QSettings settings;
        m_preview->restoreGeometry(settings.value(kPreviewGeometryKey).toByteArray());
    }
    m_preview->show();
    refreshPreview();
    rememberPreview(true);
}

void GameSet::checkGame()
{
    if (!m_check) {
        m_check = new CheckWindow(this);
        connect(m_check, &CheckWindow::sceneChosen, this,
                [this](int number) { showBrowsed(m_editor.browseTo(number)); });
        connect(m_check, &CheckWindow::renameRequested, this, [this] {
            if (const QStringList left = m_editor.folder().renameWindowsNames(); !left.isEmpty())
                tell({kRenameFailed.arg(left.join(u'\n')), kHintTitle});
            checkGame();
        });
    }
    GameCheck check(m_editor.folder());
    const GameCheck::Verdict verdict = check.run();
    m_check->showResult(verdict, check.problems(), !m_editor.folder().windowsNames().isEmpty());
    m_check->show();
    m_check->raise();
}

QString EditorPlatform::askPublishFolder(QWidget *parent, const QString &suggested)
{
    return QFileDialog::getSaveFileName(parent, kPublishWhere, suggested, QString(), nullptr,
                                        QFileDialog::ShowDirsOnly);
}

void GameSet::publishGame()
{
    const QDir game(m_editor.folder().path());
    const QString out = m_platform.choosePublishFolder(
        this,
        game.absoluteFilePath(QStringLiteral("../") + game.dirName() + QStringLiteral("-网页")));
    if (out.isEmpty())
        return;
    Publisher publisher(m_editor.folder(), out);
    QProgressDialog progress(kWebPublishCaption, QString(), 0, 0, this);
    progress.setWindowTitle(kWebPublishCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    publisher.setProgress([&progress](const QString &what) {
        progress.setLabelText(what);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    const Publisher::Status status = publisher.run();
    progress.close();
    if (status != Publisher::Status::Published) {
        tell({publisher.message(), kWebPublishCaption});
        return;
    }
    qint64 bytes = 0;
    for (const Publisher::File &file : publisher.files())
        bytes += file.bytes;
    QString done = kPublishDone.arg(QDir::toNativeSeparators(QDir(out).absolutePath()))
                       .arg((bytes + 1023) / 1024)
                       .arg(QDir::toNativeSeparators(publisher.zipPath()));
    for (const QString &warning : publisher.warnings())
        done += u'\n' + warning;
    tell({done, kWebPublishCaption});
    m_platform.web.open(QUrl::fromLocalFile(QDir(out).absolutePath()).toString());
}

void GameSet::playFromHere()
{
    const int count = m_editor.scenes().count();
    if (count == 0) {
        tell({kNoScenes, kSystemWarningTitle});
        return;
    }
    const int scene = m_editor.CurRec() >= 1 && m_editor.CurRec() <= count ? m_editor.CurRec() : 1;
    const QString player = Startup::programPath(Startup::Program::Player);
    if (!m_platform.launch(
            player, {QStringLiteral("--scene"), QString::number(scene), m_editor.folder().path()}))
        tell({kPlayFailed.arg(player), kHintTitle});
}

void GameSet::refreshPreview()
{
    if (m_preview && m_preview->isVisible())
        m_preview->showScene(m_editor.folder(), m_editor.sceneFromForm(formFromFields(), true),
                             m_editor.gameFont());
}

void GameSet::rememberPreview(bool open)
{
    QSettings settings;
    settings.setValue(kPreviewOpenKey, open);
    settings.setValue(kPreviewGeometryKey, m_preview->saveGeometry());
}

void GameSet::closeEvent(QCloseEvent *event)
{
    if (m_editor.hasUnstoredScene(formFromFields())) {
        switch (m_platform.messages.askUnsaved(this, kUnstoredScene, kCaption)) {
        case UnsavedChoice::Save:
            apply(m_editor.storeWaiting(formFromFields()));
            if (m_editor.hasUnstoredScene(formFromFields())) {
                event->ignore(); // the store failed and said why; the scene is still there
                return;
            }
            break;
        case UnsavedChoice::Discard: break;
        case UnsavedChoice::Cancel: event->ignore(); return;
        }
    }
    if (m_preview && m_preview->isVisible()) {
        rememberPreview(true); // open at the next start, where it is now
        m_preview->hide();
    }
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
        togglePreview();
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
        showReloadedScript();
}

void GameSet::showReloadedScript()
{
    // What was typed into a waiting Add or Modify stays in the fields, to be stored again.
    WJID->setText(kSceneNumber.arg(m_editor.CurRec()));
    if (!m_editor.editing() && m_editor.CurRec() >= 1)
        ShowScene(m_editor.CurRec() - 1);
}

SettingsForm GameSet::settingsPanel() const
{
    return {GameNameText->text(), BGMUrlText->text(), Text1->text(), SuDuCombo->currentIndex(),
            ShowCombo->currentIndex()};
}

void GameSet::saveSetting(GameSettings::Field field)
{
    const SettingsForm typed = settingsPanel();
    const Notice notice = m_editor.saveSetting(ScriptEditor::settingsFromForm(typed), field);
    if (notice.reloaded == Notice::Reload::Settings) {
        // The panel shows the file as it is now, but for the value the author meant to save.
        if (const std::optional<SettingsForm> now = m_editor.settingsForm()) {
            SettingsForm shown = *now;
            switch (field) {
            case GameSettings::Name: shown.name = typed.name; break;
            case GameSettings::Music: shown.music = typed.music; break;
            case GameSettings::Font: shown.font = typed.font; break;
            case GameSettings::Interval: shown.speed = typed.speed; break;
            case GameSettings::Skip: shown.skip = typed.skip; break;
            }
            showSettings(shown);
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
}

void GameSet::ShowScene(int i)
{
    showForm(m_editor.showScene(i));
    refreshPreview();
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
}

void GameSet::pickPicture(QLineEdit *box)
{
    const auto kind = box == BgUrlText ? ScriptEditor::PictureKind::Background
                                       : ScriptEditor::PictureKind::MessageBox;
    const QString folder = m_editor.pictureFolder(kind);
    const QString chosen = m_platform.picker.choose(
        this, QFileInfo(folder).isDir() ? folder : m_editor.folder().path(), kPictureFilter);
    if (chosen.isEmpty())
        return; // cancelled: the box stays exactly as it was
    const QString name = ScriptEditor::pickedName(chosen);
    const QString folderName = QDir(folder).dirName();
    // The player looks only in BG or Msg: offer to copy a picture from elsewhere, and never
    // replace a different file of the same name unasked.
    switch (m_editor.placement(kind, chosen)) {
    case ScriptEditor::Placement::InFolder:
    case ScriptEditor::Placement::SameThere: break;
    case ScriptEditor::Placement::Elsewhere:
        if (m_platform.messages.ask(this, kPictureElsewhere.arg(name, folderName), kPictureTitle))
            tell(m_editor.copyPicture(kind, chosen));
        break;
    case ScriptEditor::Placement::OtherThere: {
        // The player finds another picture by this name, perhaps shown in other scenes too:
        // the second question names it and says how many scenes would change.
        const QString there = m_editor.pictureThere(kind, chosen);
        if (m_platform.messages.ask(this, kPictureElsewhere.arg(name, folderName), kPictureTitle) &&
            m_platform.messages.ask(
                this,
                kPictureReplace.arg(name, folderName, QFileInfo(there).fileName())
                    .arg(m_editor.scenesUsing(kind, there)),
                kPictureTitle))
            tell(m_editor.copyPicture(kind, chosen));
        break;
    }
    }
    box->setText(name);
}

void GameSet::openLink(const QString &address)
{
    if (address.isEmpty())
        tell({kGuideMissing, kHintTitle});
    else if (!m_platform.web.open(address))
        tell({kLinkFailed.arg(address), kHintTitle});
}
