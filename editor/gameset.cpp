#include "gameset.h"

#include "editortexts.h"
#include "filepicker.h"
#include "messages.h"
#include "vocabulary.h"
#include "webpages.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

using namespace EditorTexts;

namespace {

constexpr int px(int twips)
{
    return twips / 15;
}

void place(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(px(left), px(top), px(width), px(height));
}

QFont songTi(double points, bool underline = false)
{
    QFont f(QStringLiteral("宋体"));
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

} // namespace

LinkLabel::LinkLabel(const QString &caption, QWidget *parent) : QLabel(caption, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleDescription(QStringLiteral("打开网页"));
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

GameSet::GameSet(const GameFolder &folder, EditorPlatform platform, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_editor(folder), m_platform(platform)
{
    setObjectName(QStringLiteral("GameSet"));
    setWindowTitle(kCaption);
    setFixedSize(kWidth, kHeight);
    build();
}

void GameSet::build()
{
    const QFont labelFont = songTi(14.25);
    const QFont boxFont = songTi(12);

    // A label with its caption; with a buddy, the buddy is announced by that caption.
    auto label = [&](QWidget *frame, const char *name, const QString &caption, int left, int top,
                     QWidget *buddy = nullptr) {
        QLabel *l = named(new QLabel(caption, frame), name);
        l->setFont(labelFont);
        l->adjustSize();
        l->move(px(left), px(top));
        if (buddy) {
            l->setBuddy(buddy);
            buddy->setAccessibleName(caption);
        }
        return l;
    };
    auto combo = [&](QWidget *frame, const char *name, const QStringList &entries, int start) {
        QComboBox *c = named(new QComboBox(frame), name);
        c->addItems(entries);
        c->setCurrentIndex(start);
        return c;
    };
    auto button = [&](QWidget *frame, const char *name, const QString &caption) {
        return named(new QPushButton(caption, frame), name);
    };
    auto frame = [&](const char *name, const QString &caption, int l, int t, int w, int h) {
        QGroupBox *g = named(new QGroupBox(caption, this), name);
        place(g, l, t, w, h);
        return g;
    };

    // Text editing.
    Frame2 = frame("Frame2", QStringLiteral("文字修改"), 120, 120, 3495, 3855);
    FontWZ = combo(Frame2, "FontWZ", Vocabulary::positions(), Vocabulary::kPositionStart);
    SetFont = combo(Frame2, "SetFont", Vocabulary::fontStyles(), Vocabulary::kFontStyleStart);
    SetFontSize = combo(Frame2, "SetFontSize", Vocabulary::fontSizes(), Vocabulary::kFontSizeStart);
    SetFontColor = combo(Frame2, "SetFontColor", Vocabulary::fontColours(), Vocabulary::kFontColourStart);
    place(FontWZ, 1680, 360, 1695, 300);
    place(SetFont, 1680, 840, 1695, 300);
    place(SetFontSize, 1680, 1320, 1695, 300);
    place(SetFontColor, 1680, 1800, 1695, 300);
    label(Frame2, "Label5", QStringLiteral("字体位置"), 120, 360, FontWZ);
    label(Frame2, "Label6", QStringLiteral("字体设置"), 120, 840, SetFont);
    label(Frame2, "Label7", QStringLiteral("字号设置"), 120, 1320, SetFontSize);
    label(Frame2, "Label8", QStringLiteral("颜色设置"), 120, 1800, SetFontColor);
    NoteText = named(new QPlainTextEdit(Frame2), "NoteText");
    NoteText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    NoteText->setTabChangesFocus(true);
    place(NoteText, 120, 2640, 3255, 975);
    label(Frame2, "Label1", QStringLiteral("内容"), 120, 2280, NoteText);
    WJID = named(new QLabel(QStringLiteral("第N个"), Frame2), "WJID");
    WJID->move(px(1680), px(2280));
    WJID->resize(px(1695), px(300));

    // Links.
    Frame5 = frame("Frame5", QStringLiteral("软件链接"), 120, 4080, 3495, 1455);
    auto link = [&](const char *name, const QString &caption, int left, int top,
                    const QString &address) {
        LinkLabel *l = named(new LinkLabel(caption, Frame5), name);
        l->setFont(songTi(15.75, true));
        l->adjustSize();
        l->move(px(left), px(top));
        connect(l, &LinkLabel::clicked, this, [this, address] { openLink(address); });
        return l;
    };
    Label11 = link("Label11", QStringLiteral("交流论坛"), 240, 360, kForumLink);
    Label15 = link("Label15", QStringLiteral("制作教程"), 1800, 360, kTutorialLink);
    Label16 = link("Label16", QStringLiteral("使用目录"), 240, 960, kContentsLink);
    Label17 = link("Label17", QStringLiteral("游戏发布"), 1800, 960, kPublishLink);

    // Picture editing.
    Frame4 = frame("Frame4", QStringLiteral("图片修改"), 3720, 120, 3975, 2415);
    MsgWZ = combo(Frame4, "MsgWZ", Vocabulary::positions(), Vocabulary::kPositionStart);
    place(MsgWZ, 1680, 360, 1695, 300);
    BgUrlText = named(new QLineEdit(Frame4), "BgUrlText");
    BgUrlText->setFont(boxFont);
    place(BgUrlText, 120, 1080, 2655, 375);
    GetBgPic = button(Frame4, "GetBgPic", QStringLiteral("获取"));
    place(GetBgPic, 2880, 960, 975, 495);
    MsgUrlText = named(new QLineEdit(Frame4), "MsgUrlText");
    MsgUrlText->setFont(boxFont);
    place(MsgUrlText, 120, 1920, 2655, 375);
    GetMsgPic = button(Frame4, "GetMsgPic", QStringLiteral("获取"));
    place(GetMsgPic, 2880, 1800, 975, 495);
    label(Frame4, "Label4", QStringLiteral("对话框位置"), 120, 360, MsgWZ);
    label(Frame4, "Label2", QStringLiteral("背景图"), 120, 720, BgUrlText);
    label(Frame4, "Label3", QStringLiteral("对话框"), 120, 1560, MsgUrlText);
    GetBgPic->setAccessibleName(QStringLiteral("获取背景图"));
    GetMsgPic->setAccessibleName(QStringLiteral("获取对话框"));

    // Global settings.
    Frame3 = frame("Frame3", QStringLiteral("全局修改"), 3720, 2640, 3975, 2895);
    auto textBox = [&](const char *name, int l, int t, int w, int h) {
        QLineEdit *e = named(new QLineEdit(Frame3), name);
        place(e, l, t, w, h);
        return e;
    };
    GameNameText = textBox("GameNameText", 1440, 240, 1575, 375);
    GameNameText->setFont(boxFont);
    BGMUrlText = textBox("BGMUrlText", 720, 720, 2295, 375);
    BGMUrlText->setFont(boxFont);
    SuDuCombo = combo(Frame3, "SuDuCombo", Vocabulary::speeds(), Vocabulary::kSpeedStart);
    place(SuDuCombo, 1320, 1200, 1695, 300);
    ShowCombo = combo(Frame3, "ShowCombo", Vocabulary::skipChoices(), Vocabulary::kSkipStart);
    place(ShowCombo, 1920, 1680, 1095, 300);
    Text1 = textBox("Text1", 120, 2520, 2775, 270);
    label(Frame3, "Label9", QStringLiteral("游戏名称"), 120, 240, GameNameText);
    label(Frame3, "Label10", QStringLiteral("BGM"), 120, 720, BGMUrlText);
    label(Frame3, "Label12", QStringLiteral("游戏速度"), 120, 1200, SuDuCombo);
    label(Frame3, "Label13", QStringLiteral("文字显示效果"), 120, 1680, ShowCombo);
    label(Frame3, "Label14", QStringLiteral("设置游戏使用字体"), 120, 2160, Text1);
    auto save = [&](const char *name, int top, const QString &what) {
        QPushButton *b = button(Frame3, name, kModifyIdle);
        place(b, 3120, top, 735, 375);
        b->setAccessibleDescription(QStringLiteral("保存") + what);
        return b;
    };
    Command1 = save("Command1", 240, QStringLiteral("游戏名称"));
    Command2 = save("Command2", 720, QStringLiteral("BGM"));
    Command3 = save("Command3", 1200, QStringLiteral("游戏速度"));
    Command4 = save("Command4", 1680, QStringLiteral("文字显示效果"));
    Command6 = save("Command6", 2400, QStringLiteral("游戏使用字体"));

    // Control bar.
    Frame1 = frame("Frame1", QStringLiteral("控制条"), 120, 5640, 7575, 855);
    auto bar = [&](const char *name, const QString &caption, int left, int width) {
        QPushButton *b = button(Frame1, name, caption);
        place(b, left, 240, width, 495);
        return b;
    };
    StartRec = bar("StartRec", QStringLiteral("<<"), 120, 735);
    LeftRec = bar("LeftRec", QStringLiteral("<"), 960, 735);
    AddRec = bar("AddRec", kAddIdle, 1800, 975);
    DelRec = bar("DelRec", QStringLiteral("删除"), 2880, 975);
    SetRec = bar("SetRec", kModifyIdle, 3960, 975);
    NextRec = bar("NextRec", QStringLiteral(">"), 5040, 735);
    LastRec = bar("LastRec", QStringLiteral(">>"), 5880, 735);
    Command5 = bar("Command5", QStringLiteral("help"), 6720, 735);
    StartRec->setAccessibleDescription(QStringLiteral("第一个场景"));
    LeftRec->setAccessibleDescription(QStringLiteral("上一个场景"));
    NextRec->setAccessibleDescription(QStringLiteral("下一个场景"));
    LastRec->setAccessibleDescription(QStringLiteral("最后一个场景"));

    // Start state: the editing set and the buttons that need a shown scene are off.
    setEditing(false);
    LeftRec->setEnabled(false);
    DelRec->setEnabled(false);
    SetRec->setEnabled(false);

    // Tab order follows the layout: left column, right column, control bar.
    const QList<QWidget *> order{FontWZ, SetFont, SetFontSize, SetFontColor, NoteText,
                                 Label11, Label15, Label16, Label17, MsgWZ, BgUrlText, GetBgPic, MsgUrlText, GetMsgPic,
                                 GameNameText, Command1, BGMUrlText, Command2, SuDuCombo,
                                 Command3, ShowCombo, Command4, Text1, Command6,
                                 StartRec, LeftRec, AddRec, DelRec, SetRec, NextRec, LastRec,
                                 Command5};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    connect(StartRec, &QPushButton::clicked, this, [this] { browse(ScriptEditor::Browse::First); });
    connect(LeftRec, &QPushButton::clicked, this, [this] { browse(ScriptEditor::Browse::Previous); });
    connect(NextRec, &QPushButton::clicked, this, [this] { browse(ScriptEditor::Browse::Next); });
    connect(LastRec, &QPushButton::clicked, this, [this] { browse(ScriptEditor::Browse::Last); });
    connect(AddRec, &QPushButton::clicked, this, &GameSet::clickAddRec);
    connect(SetRec, &QPushButton::clicked, this, &GameSet::clickSetRec);
    connect(DelRec, &QPushButton::clicked, this, &GameSet::clickDelRec);
    connect(GetBgPic, &QPushButton::clicked, this, [this] { pickPicture(BgUrlText); });
    connect(GetMsgPic, &QPushButton::clicked, this, [this] { pickPicture(MsgUrlText); });
    connect(Command1, &QPushButton::clicked, this,
            [this] { saveSetting(GameSettings::Name, GameNameText->text()); });
    connect(Command2, &QPushButton::clicked, this,
            [this] { saveSetting(GameSettings::Music, BGMUrlText->text()); });
    connect(Command3, &QPushButton::clicked, this, [this] {
        saveSetting(GameSettings::Interval, Vocabulary::intervalForSpeed(SuDuCombo->currentIndex()));
    });
    connect(Command4, &QPushButton::clicked, this, [this] {
        saveSetting(GameSettings::Skip, Vocabulary::codeForPosition(ShowCombo->currentIndex()));
    });
    connect(Command6, &QPushButton::clicked, this,
            [this] { saveSetting(GameSettings::Font, Text1->text()); });
    connect(Command5, &QPushButton::clicked, this, [this] { openLink(kHelpLink); });
}

void GameSet::start()
{
    const ScriptEditor::StartUp found = m_editor.load();
    if (!found.scriptNotice.isEmpty()) {
        tell(found.scriptNotice);
        return; // WJID keeps 第N个 and the panel its start values
    }
    showWJID();
    if (found.settings) {
        const GameSettings &s = *found.settings;
        GameNameText->setText(s.GameName);
        BGMUrlText->setText(s.BGMName);
        if (const int skip = Vocabulary::skipForCode(s.SkipCode); skip >= 0)
            ShowCombo->setCurrentIndex(skip);
        Text1->setText(s.GameFont);
        if (const int speed = Vocabulary::speedForInterval(s.WordInterval); speed >= 0)
            SuDuCombo->setCurrentIndex(speed);
    }
    tell(found.settingsNotice);
}

void GameSet::tell(const Notice &notice)
{
    if (!notice.isEmpty())
        m_platform.messages.show(isVisible() ? this : nullptr, notice.text, notice.title);
}

void GameSet::setEditing(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *>{NoteText, BgUrlText, MsgUrlText, GetBgPic,
                                                       GetMsgPic, FontWZ, SetFont, SetFontSize,
                                                       SetFontColor, MsgWZ})
        w->setEnabled(enabled);
}

void GameSet::showWJID()
{
    WJID->setText(QStringLiteral("第%1个").arg(m_editor.CurRec()));
}

void GameSet::ShowScene(int i)
{
    showForm(m_editor.showScene(i));
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
    const ScriptEditor::BrowseResult result = m_editor.browse(action);
    tell(result.notice);
    if (result.position < 0)
        return;
    ShowScene(result.position);
    showWJID();
    enableSceneButtons();
}

void GameSet::enableSceneButtons()
{
    LeftRec->setEnabled(true);
    DelRec->setEnabled(true);
    SetRec->setEnabled(true);
}

SceneRec GameSet::sceneFromFields(bool keepUntouchedCodes)
{
    const SceneRec rec = m_editor.sceneFromForm(formFromFields(), keepUntouchedCodes);
    // Line breaks never reach the file; the box shows what is stored.
    if (rec[SceneField::Note] != NoteText->toPlainText())
        NoteText->setPlainText(rec[SceneField::Note]);
    return rec;
}

void GameSet::clickAddRec()
{
    if (AddRec->text() == kAddIdle) {
        if (const Notice refused = m_editor.checkAdd(); !refused.isEmpty()) {
            tell(refused);
            return;
        }
        AddRec->setText(kWaiting);
        setEditing(true);
        NoteText->clear();
        return;
    }
    // On a failed write the button keeps waiting, so nothing typed is lost.
    if (const Notice failed = m_editor.addScene(sceneFromFields(false)); !failed.isEmpty()) {
        tell(failed);
        return;
    }
    AddRec->setText(kAddIdle);
    showWJID();
    setEditing(false);
}

void GameSet::clickSetRec()
{
    if (SetRec->text() == kModifyIdle) {
        if (const Notice refused = m_editor.checkModify(); !refused.isEmpty()) {
            tell(refused);
            return;
        }
        SetRec->setText(kWaiting);
        setEditing(true);
        return;
    }
    if (const Notice failed = m_editor.modifyScene(sceneFromFields(true)); !failed.isEmpty()) {
        tell(failed);
        return;
    }
    SetRec->setText(kModifyIdle);
    setEditing(false);
}

void GameSet::clickDelRec()
{
    tell(m_editor.deleteScene());
}

void GameSet::pickPicture(QLineEdit *box)
{
    const QString chosen = m_platform.picker.choose(this, m_pickerFileName);
    if (chosen.isEmpty())
        return; // cancelled: the box stays exactly as it was
    m_pickerFileName = chosen;
    const qsizetype k = qMax(m_pickerFileName.lastIndexOf(u'\\'), m_pickerFileName.lastIndexOf(u'/'));
    box->setText(m_pickerFileName.mid(k + 1));
}

void GameSet::saveSetting(GameSettings::Field field, const QString &value)
{
    tell(m_editor.saveSetting(field, value));
}

void GameSet::openLink(const QString &address)
{
    if (!m_platform.web.open(address))
        tell({kLinkFailed.arg(address), kSettingsTitle});
}
