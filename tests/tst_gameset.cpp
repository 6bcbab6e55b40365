#include "editorfakes.h"
#include "filewrite.h"
#include "gamelogic.h"
#include "gameset.h"
#include "gbk.h"
#include "linklabel.h"
#include "playerfakes.h"
#include "replacedialog.h"
#include "scenelistwindow.h"
#include "scriptfile.h"
#include "stage.h"
#include "testutil.h"
#include "userfolders.h"
#include "versionswindow.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace TestUtil;

namespace {

const QString kNoSettingsNotice =
    QStringLiteral("提示|Game.ini配置文件未找到,游戏设置显示默认值。\n"
                   "按“全局修改”中任意一个“修改”按钮时,会用面板上的设置新建Game.ini。");
const QByteArray kIni("\"\xb2\xe2\xca\xd4\",\"1.mid\",\"\",\"100\",\"1\"\r\n"); // 测试

QByteArray threeScenes()
{
    return sceneBytes("one", "1.jpg", "1.png", "0", "1", "2", "3", "0") +
           sceneBytes("two", "2.jpg", "2.png", "1", "-1", "5", "6", "1") +
           sceneBytes("three", "3.jpg", "3.png", "2", "7", "0", "0", "2");
}

// The window's controls, found by their names as any Qt test finds them.
struct Ui
{
    GameSet *window = nullptr;
    QGroupBox *Frame3 = nullptr;
    QComboBox *FontWZ, *SetFont, *SetFontSize, *SetFontColor, *MsgWZ, *SuDuCombo, *ShowCombo;
    QLabel *WJID;
    QPlainTextEdit *NoteText;
    LinkLabel *Label11, *Label15, *Label16, *Label17;
    QLineEdit *BgUrlText, *MsgUrlText, *GameNameText, *BGMUrlText, *Text1;
    QPushButton *GetBgPic, *GetMsgPic, *Command1, *Command2, *Command3, *Command4, *Command6;
    QPushButton *StartRec, *LeftRec, *AddRec, *DelRec, *SetRec, *NextRec, *LastRec, *Command5;

    template <typename T>
    void find(T *&control, const char *name)
    {
        control = window->findChild<T *>(QString::fromLatin1(name));
        if (!control)
            qFatal("no control %s", name);
    }
    explicit Ui(GameSet *w) : window(w)
    {
#define FIND(name) find(name, #name)
        FIND(Frame3);
        FIND(FontWZ);
        FIND(SetFont);
        FIND(SetFontSize);
        FIND(SetFontColor);
        FIND(MsgWZ);
        FIND(SuDuCombo);
        FIND(ShowCombo);
        FIND(WJID);
        FIND(NoteText);
        FIND(Label11);
        FIND(Label15);
        FIND(Label16);
        FIND(Label17);
        FIND(BgUrlText);
        FIND(MsgUrlText);
        FIND(GameNameText);
        FIND(BGMUrlText);
        FIND(Text1);
        FIND(GetBgPic);
        FIND(GetMsgPic);
        FIND(Command1);
        FIND(Command2);
        FIND(Command3);
        FIND(Command4);
        FIND(Command6);
        FIND(StartRec);
        FIND(LeftRec);
        FIND(AddRec);
        FIND(DelRec);
        FIND(SetRec);
        FIND(NextRec);
        FIND(LastRec);
        FIND(Command5);
#undef FIND
    }
    const ScriptEditor &editor() const
    {
        return window->editor();
    }
    QString windowTitle() const
    {
        return window->windowTitle();
    }
    QSize size() const
    {
        return window->size();
    }
    template <typename T>
    T findChild(const QString &name) const
    {
        return window->findChild<T>(name);
    }
};

} // namespace

class TestGameSet : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingMessages m_messages;
    ScriptedPicker m_picker;
    RecordingWeb m_web;
    std::unique_ptr<GameSet> m_window;
    std::unique_ptr<Ui> m_ui;
    HelpLinks m_links = HelpLinks::onForum(QStringLiteral("http://bbs.tavrin.example"));

    QString file(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }
    // Most tests need no Game.ini; the start-up notice of its absence is startUp()'s to check.
    Ui &open(bool keepStartUpNotice = false)
    {
        m_window = std::make_unique<GameSet>(GameFolder(m_dir->path()),
                                             EditorPlatform{m_messages, m_picker, m_web, m_links});
        m_window->start();
        if (!keepStartUpNotice)
            m_messages.shown.removeAll(kNoSettingsNotice);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qFatal("window not exposed");
        m_ui = std::make_unique<Ui>(m_window.get());
        return *m_ui;
    }
    static void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
    // Typing as a person does: ASCII key by key, Chinese through the input method.
    static void type(QWidget *w, const QString &text)
    {
        for (QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(w, char(c.unicode()));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(w, &commit);
            }
        }
    }
    QStringList takeMessages() { return std::exchange(m_messages.shown, {}); }
    bool listsEqualFile() const
    {
        return m_window->editor().scenes() == LoadScript(GameFolder(m_dir->path())).scenes;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
        QDir(UserFolders::versions()).removeRecursively();
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_messages.shown.clear();
        m_messages.asked.clear();
        m_messages.answers.clear();
        m_picker = ScriptedPicker();
        m_web.opened.clear();
        m_web.works = true;
    }
    void cleanup()
    {
        m_ui.reset();
        m_window.reset();
        FileWriteTesting::failAfterBytes(-1);
    }

    void startUp_data()
    {
        QTest::addColumn<QByteArray>("script"); // "-": no file
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("wjid");
        QTest::addColumn<int>("scenes");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("skip");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no files") << QByteArray("-") << QByteArray("-") << "第0个" << 0
                                  << "每秒4个字"
                                  << "不能跳过"
                                  << "" << QStringList{kNoSettingsNotice};
        QTest::newRow("8 lines") << sceneBytes("a") << QByteArray("-") << "第0个" << 1
                                 << "每秒4个字"
                                 << "不能跳过"
                                 << "" << QStringList{kNoSettingsNotice};
        QTest::newRow("interval 10, skip 0")
            << QByteArray() << QByteArray("\"n\",\"\",\"\",\"10\",\"0\"") << "第0个" << 0
            << "每秒100个字"
            << "能跳过"
            << "n" << QStringList{};
        QTest::newRow("interval 100ms, as the player reads it")
            << QByteArray() << QByteArray("\"n\",\"\",\"\",\"100ms\",\"0\"") << "第0个" << 0
            << "每秒10个字"
            << "能跳过"
            << "n" << QStringList{};
        QTest::newRow("interval 300, skip 1")
            << QByteArray() << QByteArray("\"n\",\"\",\"\",\"300\",\"1\"") << "第0个" << 0
            << "每秒4个字"
            << "不能跳过"
            << "n" << QStringList{};
        QTest::newRow("empty skip counts as 0")
            << QByteArray() << QByteArray("\"n\",\"\",\"\",\"50\",\"\"") << "第0个" << 0
            << "每秒20个字"
            << "能跳过"
            << "n" << QStringList{};
        QTest::newRow("damaged script, valid settings")
            << sceneBytes("a") + "x\r\n"
            << kIni << "第N个" << 0 << "每秒4个字"
            << "不能跳过"
            << "" << QStringList{"警告:|Game.txt数据受损,无法使用"};
        QTest::newRow("settings with four values")
            << QByteArray() << QByteArray("\"a\",\"b\",\"c\",\"d\"") << "第0个" << 0 << "每秒4个字"
            << "不能跳过"
            << ""
            << QStringList{
                   "提示|Game.ini配置文件无法读取,设置面板显示默认值。\nGame.ini中的设置少于5项"};
    }
    void startUp()
    {
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, ini);
        QFETCH(QString, wjid);
        QFETCH(int, scenes);
        QFETCH(QString, speed);
        QFETCH(QString, skip);
        QFETCH(QString, name);
        QFETCH(QStringList, messages);
        if (script != "-")
            writeBytes(file("Game.txt"), script);
        if (ini != "-")
            writeBytes(file("Game.ini"), ini);
        Ui &w = open(true);
        QCOMPARE(w.windowTitle(), QStringLiteral("游戏编辑"));
        QCOMPARE(w.size(), QSize(522, 446));
        QCOMPARE(w.WJID->text(), wjid);
        QCOMPARE(w.editor().scenes().count(), scenes);
        QCOMPARE(w.SuDuCombo->currentText(), speed);
        QCOMPARE(w.ShowCombo->currentText(), skip);
        QCOMPARE(w.GameNameText->text(), name);
        QCOMPARE(takeMessages(), messages);
        // No scene is shown; the fields keep their start choices and are locked.
        QVERIFY(w.NoteText->toPlainText().isEmpty());
        QCOMPARE(w.FontWZ->currentText(), QStringLiteral("下方"));
        QCOMPARE(w.SetFontColor->currentText(), QStringLiteral("黑色"));
        for (QWidget *off : std::initializer_list<QWidget *>{
                 w.NoteText, w.BgUrlText, w.MsgUrlText, w.GetBgPic, w.GetMsgPic, w.FontWZ,
                 w.SetFont, w.SetFontSize, w.SetFontColor, w.MsgWZ, w.LeftRec, w.DelRec, w.SetRec})
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        for (QWidget *on : std::initializer_list<QWidget *>{
                 w.StartRec, w.NextRec, w.LastRec, w.AddRec, w.Command5, w.GameNameText, w.Command1,
                 w.SuDuCombo, w.ShowCombo, w.Text1, w.Label11})
            QVERIFY2(on->isEnabled(), qPrintable(on->objectName()));
        QVERIFY(w.Label11->font().underline());
    }

    void controlsAreNamedForPeopleAndTools()
    {
        Ui &w = open();
        for (const char *name : {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5", "Label1",
                                 "Label14", "WJID", "NoteText"})
            QVERIFY2(w.findChild<QWidget *>(QString::fromLatin1(name)), name);
        auto name = [](QWidget *widget) {
            return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        };
        QCOMPARE(name(w.NoteText), QStringLiteral("内容"));
        QCOMPARE(name(w.GameNameText), QStringLiteral("游戏名称"));
        QCOMPARE(w.SuDuCombo->accessibleName(), QStringLiteral("游戏速度"));
        QCOMPARE(name(w.AddRec), QStringLiteral("增加"));
        QCOMPARE(name(w.WJID), QStringLiteral("第0个"));
        QCOMPARE(w.AddRec->geometry(), QRect(120, 16, 65, 33));
        // Tab goes down the left column, then the right one, then along the control bar.
        const QList<QWidget *> expected{
            w.FontWZ,     w.SetFont,   w.SetFontSize,  w.SetFontColor, w.NoteText,   w.Label11,
            w.Label15,    w.Label16,   w.Label17,      w.MsgWZ,        w.BgUrlText,  w.GetBgPic,
            w.MsgUrlText, w.GetMsgPic, w.GameNameText, w.Command1,     w.BGMUrlText, w.Command2,
            w.SuDuCombo,  w.Command3,  w.ShowCombo,    w.Command4,     w.Text1,      w.Command6,
            w.StartRec,   w.LeftRec,   w.AddRec,       w.DelRec,       w.SetRec,     w.NextRec,
            w.LastRec,    w.Command5};
        QList<QWidget *> chain{w.FontWZ};
        for (QWidget *next = w.FontWZ->nextInFocusChain(); next != w.FontWZ;
             next = next->nextInFocusChain()) {
            if (expected.contains(next))
                chain.append(next);
        }
        QCOMPARE(chain, expected);
        QCOMPARE(w.Frame3->geometry(), QRect(248, 176, 265, 193));
    }

    void browsingAndItsBoundaries()
    {
        writeBytes(file("Game.txt"), threeScenes());
        Ui &w = open();
        click(w.LastRec);
        QCOMPARE(w.WJID->text(), QStringLiteral("第3个"));
        QCOMPARE(w.NoteText->toPlainText(), QStringLiteral("three"));
        QCOMPARE(w.SetFont->currentIndex(), 7);
        QVERIFY(w.LeftRec->isEnabled() && w.DelRec->isEnabled() && w.SetRec->isEnabled());
        click(w.NextRec);
        QCOMPARE(takeMessages(), QStringList{QStringLiteral("系统警告:|当前已经是最后一个")});
        QCOMPARE(w.WJID->text(), QStringLiteral("第3个"));
        click(w.LeftRec);
        QCOMPARE(w.WJID->text(), QStringLiteral("第2个"));
        QCOMPARE(w.BgUrlText->text(), QStringLiteral("2.jpg"));
        QCOMPARE(w.SetFont->currentIndex(), -1); // stored "-1": no choice
        QCOMPARE(w.SetFontColor->currentText(), QStringLiteral("黄色"));
        click(w.StartRec);
        QCOMPARE(w.WJID->text(), QStringLiteral("第1个"));
        // Text typed during a waiting Modify is replaced when the browse stops at a boundary.
        click(w.SetRec);
        type(w.NoteText, QStringLiteral("xyz"));
        click(w.LeftRec);
        QCOMPARE(takeMessages(), QStringList{QStringLiteral("系统警告:|当前已经是第一个")});
        QCOMPARE(w.NoteText->toPlainText(), QStringLiteral("one"));
        QCOMPARE(w.WJID->text(), QStringLiteral("第1个"));
    }

    void previousFromSceneTwoShowsSceneOneSilently()
    {
        writeBytes(file("Game.txt"), threeScenes());
        Ui &w = open();
        click(w.NextRec);
        click(w.NextRec);
        click(w.LeftRec);
        QCOMPARE(w.WJID->text(), QStringLiteral("第1个"));
        QCOMPARE(w.NoteText->toPlainText(), QStringLiteral("one"));
        QVERIFY(takeMessages().isEmpty());
    }

    void deletingTheLastSceneShowsTheNewLast_data()
    {
        QTest::addColumn<int>("scenes");
        QTest::newRow("three scenes") << 3;
        QTest::newRow("two scenes") << 2;
    }
    void deletingTheLastSceneShowsTheNewLast()
    {
        QFETCH(int, scenes);
        writeBytes(file("Game.txt"), sceneBytes("first") +
                                         sceneBytes("middle").repeated(scenes - 2) +
                                         sceneBytes("last"));
        Ui &w = open();
        click(w.LastRec);
        click(w.DelRec);
        QCOMPARE(takeMessages(), QStringList());
        QCOMPARE(w.WJID->text(), QStringLiteral("第%1个").arg(scenes - 1));
        QCOMPARE(w.NoteText->toPlainText(),
                 scenes == 2 ? QStringLiteral("first") : QStringLiteral("middle"));
    }

    void browsingWithoutScenesNamesNoScene()
    {
        Ui &w = open();
        for (QPushButton *b : {w.StartRec, w.NextRec, w.LastRec})
            click(b);
        QCOMPARE(takeMessages().size(), 3);
        QCOMPARE(w.WJID->text(), QStringLiteral("第0个"));
        QVERIFY(!w.DelRec->isEnabled());
    }

    void addCreatesTheFileAndModifyRewritesIt()
    {
        writeBytes(file("Game.ini"), kIni);
        Ui &w = open();
        click(w.AddRec);
        QCOMPARE(w.AddRec->text(), QStringLiteral("OK?"));
        QVERIFY(w.NoteText->isEnabled() && w.GetMsgPic->isEnabled() && w.MsgWZ->isEnabled());
        type(w.NoteText, QStringLiteral("你好, \"world\" "));
        type(w.BgUrlText, QStringLiteral("a.jpg"));
        QTest::keyClick(w.SetFont, Qt::Key_Down);
        QTest::keyClick(w.FontWZ, Qt::Key_Up);
        click(w.AddRec);
        QCOMPARE(
            readBytes(file("Game.txt")),
            QByteArray("\xc4\xe3\xba\xc3, \"world\" \r\na.jpg\r\n\r\n1\r\n1\r\n0\r\n0\r\n2\r\n"));
        QCOMPARE(w.AddRec->text(), QStringLiteral("增加"));
        QCOMPARE(w.WJID->text(), QStringLiteral("第1个"));
        QCOMPARE(w.editor().CurRec(), 1);
        QVERIFY(!w.NoteText->isEnabled());
        QVERIFY(!w.SetRec->isEnabled() && !w.DelRec->isEnabled()); // until a browse

        // A second Add starts from the scene on screen with an empty text.
        click(w.AddRec);
        QVERIFY(w.NoteText->toPlainText().isEmpty());
        QCOMPARE(w.BgUrlText->text(), QStringLiteral("a.jpg"));
        click(w.AddRec);
        QCOMPARE(w.WJID->text(), QStringLiteral("第2个"));
        const QByteArray two = readBytes(file("Game.txt"));
        QCOMPARE(two.count("\r\n"), 16);

        click(w.StartRec);
        click(w.SetRec);
        click(w.SetRec); // nothing changed: the same bytes
        QCOMPARE(readBytes(file("Game.txt")), two);
        click(w.SetRec);
        QTest::keyClick(w.NoteText, Qt::Key_End, Qt::ControlModifier);
        type(w.NoteText, QStringLiteral("!"));
        QTest::keyClick(w.SetFontColor, Qt::Key_Down);
        click(w.SetRec);
        QCOMPARE(w.SetRec->text(), QStringLiteral("修改"));
        const QByteArray modified(
            "\xc4\xe3\xba\xc3, \"world\" !\r\na.jpg\r\n\r\n1\r\n1\r\n0\r\n1\r\n2\r\n");
        QCOMPARE(readBytes(file("Game.txt")).left(modified.size()), modified);
        QVERIFY(listsEqualFile());
        QCOMPARE(readBytes(file("Game.ini")), kIni);
    }

    void lineBreaksTypedIntoTheTextBecomeBlanks()
    {
        Ui &w = open();
        click(w.AddRec);
        type(w.NoteText, QStringLiteral("ab"));
        QTest::keyClick(w.NoteText, Qt::Key_Return);
        type(w.NoteText, QStringLiteral("cd"));
        click(w.AddRec);
        QCOMPARE(readBytes(file("Game.txt")),
                 QByteArray("ab cd\r\n\r\n\r\n2\r\n0\r\n0\r\n0\r\n2\r\n"));
        QCOMPARE(w.NoteText->toPlainText(), QStringLiteral("ab cd"));
    }

    void deleteMovesLaterScenesUpAndNeverAddressesAMissingScene()
    {
        writeBytes(file("Game.txt"), threeScenes());
        Ui &w = open();
        click(w.NextRec);
        click(w.NextRec); // scene 2
        click(w.DelRec);
        QCOMPARE(readBytes(file("Game.txt")),
                 threeScenes().left(threeScenes().indexOf("two")) +
                     threeScenes().mid(threeScenes().indexOf("three")));
        // The scene that took the deleted one's place is shown.
        QCOMPARE(w.WJID->text(), QStringLiteral("第2个"));
        QCOMPARE(w.NoteText->toPlainText(), QStringLiteral("three"));
        click(w.DelRec); // the last: the new last is shown
        QCOMPARE(LoadScript(GameFolder(m_dir->path())).scenes.NoteList, QStringList{"one"});
        QCOMPARE(w.WJID->text(), QStringLiteral("第1个"));
        QCOMPARE(w.NoteText->toPlainText(), QStringLiteral("one"));
        QVERIFY(takeMessages().isEmpty());
        click(w.DelRec);
        QCOMPARE(readBytes(file("Game.txt")), QByteArray());
        QVERIFY(listsEqualFile());
        QCOMPARE(w.WJID->text(), QStringLiteral("第0个"));
        click(w.DelRec);
        click(w.SetRec); // refused at the first click, before anything is typed
        QCOMPARE(w.SetRec->text(), QStringLiteral("修改"));
        QVERIFY(!w.NoteText->isEnabled());
        QCOMPARE(takeMessages(),
                 (QStringList{QStringLiteral("系统警告:|当前没有可删除的场景,请先选择一个场景"),
                              QStringLiteral("系统警告:|当前没有可修改的场景,请先选择一个场景")}));
    }

    void modifyOfEachFieldReachesTheFile_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("stored");
        const QStringList values{"changed", "x.jpg", "x.png", "2", "5", "4", "5", "1"};
        for (int f = 0; f < kSceneFieldCount; ++f)
            QTest::newRow(qPrintable(QString::number(f))) << f << values.at(f);
    }
    void modifyOfEachFieldReachesTheFile()
    {
        QFETCH(int, field);
        QFETCH(QString, stored);
        writeBytes(file("Game.txt"), threeScenes());
        Ui &w = open();
        click(w.StartRec);
        click(w.SetRec);
        QComboBox *const lists[] = {w.FontWZ, w.SetFont, w.SetFontSize, w.SetFontColor, w.MsgWZ};
        switch (SceneField(field)) {
        case SceneField::Note: w.NoteText->setPlainText(stored); break;
        case SceneField::BG: w.BgUrlText->setText(stored); break;
        case SceneField::Msg: w.MsgUrlText->setText(stored); break;
        default: lists[field - int(SceneField::FontWZ)]->setCurrentIndex(stored.toInt()); break;
        }
        click(w.SetRec);
        QByteArrayList lines = threeScenes().split('\n');
        lines[field] = stored.toLatin1() + '\r';
        QCOMPARE(readBytes(file("Game.txt")), lines.join('\n'));
    }

    void failedModifyOfAChangedSceneKeepsListsEqualToFile_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("disk full part way") << int(FileWriteTesting::Step::Write);
        QTest::newRow("disk full at the flush") << int(FileWriteTesting::Step::Flush);
        QTest::newRow("replacing refused") << int(FileWriteTesting::Step::Commit);
    }
    void failedModifyOfAChangedSceneKeepsListsEqualToFile()
    {
        QFETCH(int, step);
        writeBytes(file("Game.txt"), threeScenes());
        Ui &w = open();
        click(w.NextRec);
        click(w.NextRec);
        click(w.SetRec);
        type(w.NoteText, QStringLiteral("changed"));
        w.SetFontColor->setCurrentIndex(1);
        FileWriteTesting::failAt(FileWriteTesting::Step(step), 10);
        click(w.SetRec);
        click(w.DelRec); // asks about the scene not stored; 取消 keeps it and deletes nothing
        QCOMPARE(takeMessages().size(), 1);
        QCOMPARE(m_messages.asked.size(), 1);
        QCOMPARE(readBytes(file("Game.txt")), threeScenes());
        QVERIFY(listsEqualFile());
        QCOMPARE(w.SetRec->text(), QStringLiteral("OK?"));
        QVERIFY(w.NoteText->toPlainText().contains(QStringLiteral("changed")));
    }

    void refusedAndFailedWritesKeepFileAndLists_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("message");
        QTest::newRow("emoji")
            << "emoji"
            << "保存失败|Game.txt保存失败,文件未被改动。\n该场景的内容含有GBK编码无法保存的字符：😀";
        QTest::newRow("read-only file")
            << "rofile"
            << "保存失败|Game.txt保存失败,文件未被改动。\n无法写入Game.txt：文件是只读的";
        QTest::newRow("disk full") << "full"
                                   << "";
    }
    void refusedAndFailedWritesKeepFileAndLists()
    {
        QFETCH(QString, how);
        QFETCH(QString, message);
        writeBytes(file("Game.txt"), threeScenes());
        Ui &w = open();
        if (how == u"rofile")
            QFile::setPermissions(file("Game.txt"), QFile::ReadOwner);
        if (how == u"full")
            FileWriteTesting::failAfterBytes(10);
        click(w.AddRec);
        type(w.NoteText, how == u"emoji" ? QStringLiteral("笑😀") : QStringLiteral("new"));
        click(w.AddRec);
        const QStringList shown = takeMessages();
        QCOMPARE(shown.size(), 1);
        if (!message.isEmpty())
            QCOMPARE(shown.first(), message);
        QCOMPARE(w.AddRec->text(), QStringLiteral("OK?")); // still waiting, nothing typed is lost
        QVERIFY(w.NoteText->toPlainText().endsWith(how == u"emoji" ? QStringLiteral("😀")
                                                                   : QStringLiteral("new")));
        QCOMPARE(readBytes(file("Game.txt")), threeScenes());
        click(w.StartRec);
        m_messages.unsavedAnswers = {UnsavedChoice::Discard}; // the waiting Add is given up
        click(w.DelRec);
        click(w.SetRec);
        click(w.SetRec);
        QCOMPARE(takeMessages().size(), how == u"emoji" ? 0 : 2);
        if (how != u"emoji")
            QCOMPARE(readBytes(file("Game.txt")), threeScenes());
        QVERIFY(listsEqualFile());
    }

    void unusableScriptIsNeverChanged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("atStart");
        QTest::addColumn<QString>("onAdd");
        QTest::newRow("damaged") << threeScenes() + "stray\r\n"
                                 << "警告:|Game.txt数据受损,无法使用"
                                 << "警告:|Game.txt数据受损,为避免丢失";
        QTest::newRow("too many scenes") << sceneBytes("s").repeated(kMaxScenes + 1)
                                         << "警告:|Game.txt中的场景超过4095个,无法使用"
                                         << "警告:|Game.txt中的场景超过4095个,为避免丢失";
    }
    void unusableScriptIsNeverChanged()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, atStart);
        QFETCH(QString, onAdd);
        const QByteArray damaged = bytes;
        writeBytes(file("Game.txt"), damaged);
        Ui &w = open();
        QCOMPARE(takeMessages(), QStringList{atStart});
        click(w.AddRec);
        click(w.SetRec);
        click(w.DelRec);
        const QStringList shown = takeMessages();
        QCOMPARE(shown.size(), 1); // SetRec and DelRec stay disabled: no scene was shown
        QVERIFY2(shown.first().startsWith(onAdd), qPrintable(shown.first()));
        QCOMPARE(w.AddRec->text(), QStringLiteral("增加"));
        QCOMPARE(readBytes(file("Game.txt")), damaged);
    }

    void addIsRefusedAtTheSceneLimit()
    {
        writeBytes(file("Game.txt"), sceneBytes("s").repeated(kMaxScenes));
        Ui &w = open();
        click(w.AddRec);
        QCOMPARE(takeMessages(),
                 QStringList{QStringLiteral("提示|场景数已达上限4095个,无法再增加")});
        QCOMPARE(w.AddRec->text(), QStringLiteral("增加"));
    }

    void settingsSaveOneFieldFromTheFile()
    {
        writeBytes(file("Game.ini"), kIni);
        Ui &w = open();
        w.GameNameText->clear();
        type(w.GameNameText, QStringLiteral("新名字"));
        w.BGMUrlText->clear();
        type(w.BGMUrlText, QStringLiteral("2.ogg"));
        click(w.Command2);
        QCOMPARE(readBytes(file("Game.ini")),
                 QByteArray("\"\xb2\xe2\xca\xd4\",\"2.ogg\",\"\",\"100\",\"1\"\r\n"));
        w.SuDuCombo->setCurrentIndex(3);
        click(w.Command3);
        w.ShowCombo->setCurrentIndex(0);
        click(w.Command4);
        w.GameNameText->clear();
        click(w.Command1);
        type(w.Text1, QStringLiteral("宋体"));
        click(w.Command6);
        QCOMPARE(readBytes(file("Game.ini")),
                 QByteArray("\"\",\"2.ogg\",\"\xcb\xce\xcc\xe5\",\"50\",\"0\"\r\n"));
        QVERIFY(takeMessages().isEmpty());

        type(w.GameNameText, QStringLiteral("say \"hi\""));
        click(w.Command1);
        QCOMPARE(takeMessages(),
                 QStringList{QStringLiteral("提示|游戏名称不能含有双引号(\"),请修改后再保存")});
        QFile::setPermissions(file("Game.ini"), QFile::ReadOwner);
        click(w.Command3);
        QCOMPARE(takeMessages(),
                 QStringList{QStringLiteral(
                     "保存失败|Game.ini保存失败,文件未被改动。\n无法写入Game.ini：文件是只读的")});
        QCOMPARE(readBytes(file("Game.ini")),
                 QByteArray("\"\",\"2.ogg\",\"\xcb\xce\xcc\xe5\",\"50\",\"0\"\r\n"));
        QCOMPARE(w.GameNameText->text(), QStringLiteral("say \"hi\"")); // what was typed stays
    }

    void sceneListFollowsTheFormAndTheHistory()
    {
        writeBytes(file("Game.txt"), threeScenes());
        writeBytes(file("Game.ini"), kIni);
        Ui &w = open();
        QTest::keyClick(w.window, Qt::Key_F3);
        QListView *list = w.window->sceneList()->findChild<QListView *>();
        QVERIFY(list);
        QCOMPARE(list->model()->rowCount(), 3);
        click(w.NextRec);
        click(w.NextRec);
        QCOMPARE(list->currentIndex().row(), 1); // the scene the form shows
        click(w.DelRec);
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(w.NoteText->toPlainText(), QStringLiteral("three"));
        auto *undo = w.window->findChild<QAction *>(QStringLiteral("undoAction"));
        QCOMPARE(undo->text(), QStringLiteral("撤销 删除第2个场景"));
        undo->trigger();
        QCOMPARE(readBytes(file("Game.txt")), threeScenes());
        QCOMPARE(list->model()->rowCount(), 3);
        QCOMPARE(w.WJID->text(), QStringLiteral("第2个"));
        QCOMPARE(w.NoteText->toPlainText(), QStringLiteral("two"));
        // Choosing a row shows that scene as browsing does.
        list->setCurrentIndex(list->model()->index(2, 0));
        QCOMPARE(w.WJID->text(), QStringLiteral("第3个"));
        QVERIFY(takeMessages().isEmpty());

        // Opened again, the list has the focus at the scene shown: the keys work at once.
        m_window->activateWindow();
        QTRY_VERIFY(m_window->isActiveWindow());
        click(w.LeftRec);
        QTest::keyClick(w.window, Qt::Key_F3);
        QTRY_VERIFY(w.window->sceneList()->isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(list->currentIndex().row(), 1);
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(w.WJID->text(), QStringLiteral("第1个"));
        // The row shows a scene as soon as OK? stores it.
        click(w.SetRec);
        type(w.NoteText, QStringLiteral("!"));
        click(w.SetRec);
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("第1个: !one"));
    }

    // A renamed character, a chapter drafted elsewhere, scenes copied between places: all from
    // the keyboard, each one step that undo takes back to the very bytes.
    void replacePasteAndCutFromTheKeyboard()
    {
        const auto bytes = [](const QStringList &notes) {
            QString text;
            for (const QString &note : notes)
                text += note + QStringLiteral("\r\nbg.jpg\r\nm.png\r\n2\r\n0\r\n0\r\n0\r\n2\r\n");
            return Gbk::encode(text).bytes;
        };
        const QStringList story{"灯塔亮了", "海边", "灯塔灭了", "灯塔"};
        writeBytes(file("Game.txt"), bytes(story));
        Ui &w = open();
        QTest::keyClick(w.window, Qt::Key_F3);
        SceneListWindow *listWindow = w.window->sceneList();
        auto *list = listWindow->findChild<QListView *>(QStringLiteral("scenes"));
        QTRY_COMPARE(QApplication::focusWidget(), list);

        // Ctrl+H: the scenes it touches, before and after; 全部替换 is one named step.
        QTest::keyClick(list, Qt::Key_H, Qt::ControlModifier);
        auto *replace = w.window->findChild<ReplaceDialog *>();
        QVERIFY(replace && replace->isVisible());
        replace->findChild<QLineEdit *>(QStringLiteral("replaceFind"))->setText("灯塔");
        replace->findChild<QLineEdit *>(QStringLiteral("replaceWith"))->setText("塔楼");
        auto *rows = replace->findChild<QTreeWidget *>(QStringLiteral("replaceScenes"));
        QCOMPARE(rows->topLevelItemCount(), 3);
        QCOMPARE(rows->topLevelItem(1)->text(0), QStringLiteral("第3个"));
        QCOMPARE(rows->topLevelItem(1)->text(2), QStringLiteral("塔楼灭了"));
        click(replace->findChild<QPushButton *>(QStringLiteral("replaceAll")));
        QCOMPARE(readBytes(file("Game.txt")), bytes({"塔楼亮了", "海边", "塔楼灭了", "塔楼"}));
        QCOMPARE(rows->topLevelItemCount(), 0); // found again: nothing left to replace
        QCOMPARE(w.window->findChild<QAction *>(QStringLiteral("undoAction"))->text(),
                 QStringLiteral("撤销 替换'灯塔'为'塔楼'(3个场景)"));
        replace->close();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(readBytes(file("Game.txt")), bytes(story));

        // Ctrl+C on two rows, Ctrl+V after the fourth: whole scenes; Ctrl+X takes them out again.
        const auto selectRows = [&](int first, int last) {
            list->selectionModel()->setCurrentIndex(list->model()->index(first, 0),
                                                    QItemSelectionModel::ClearAndSelect);
            list->selectionModel()->select(
                QItemSelection(list->model()->index(first, 0), list->model()->index(last, 0)),
                QItemSelectionModel::ClearAndSelect);
        };
        selectRows(0, 1);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("灯塔亮了\n海边\n"));
        selectRows(3, 3);
        QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(readBytes(file("Game.txt")), bytes(story + QStringList{"灯塔亮了", "海边"}));
        QCOMPARE(list->selectionModel()->selectedIndexes().size(), 2);
        QTest::keyClick(list, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(readBytes(file("Game.txt")), bytes(story));

        // Lines from a text editor: blank ones skipped, one too long for the box flagged.
        const QString tooLong(400, QChar(u'海'));
        QGuiApplication::clipboard()->setText(QStringLiteral("第一行\n\n  \n") + tooLong + u'\n');
        selectRows(0, 0);
        takeMessages();
        QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(readBytes(file("Game.txt")),
                 bytes(QStringList{story.first(), "第一行", tooLong} + story.mid(1)));
        const QStringList said = takeMessages();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().contains(QStringLiteral("第3个: 海海海")) &&
                     !said.first().contains(QStringLiteral("第2个")),
                 qPrintable(said.first()));
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(readBytes(file("Game.txt")), bytes(story));
        QVERIFY(listsEqualFile());
    }

    // The replace window keeps the author's choices: a row unticked stays unticked while the
    // story changes around it and "替换选中的场景" leaves that scene; a replacement GBK cannot
    // store keeps both buttons off; a row shows its match however far into the text it lies.
    void replaceWindowKeepsTheAuthorsTicks()
    {
        const auto bytes = [](const QStringList &notes) {
            QString text;
            for (const QString &note : notes)
                text += note + QStringLiteral("\r\nbg.jpg\r\nm.png\r\n2\r\n0\r\n0\r\n0\r\n2\r\n");
            return Gbk::encode(text).bytes;
        };
        const QString far = QString(60, u'海') + QStringLiteral("灯塔远远地亮着");
        writeBytes(file("Game.txt"), bytes({"灯塔亮了", "海边", "灯塔灭了", far, "灯塔"}));
        Ui &w = open();
        QTest::keyClick(w.window, Qt::Key_H, Qt::ControlModifier);
        auto *replace = w.window->findChild<ReplaceDialog *>();
        QVERIFY(replace && replace->isVisible());
        auto *with = replace->findChild<QLineEdit *>(QStringLiteral("replaceWith"));
        auto *all = replace->findChild<QPushButton *>(QStringLiteral("replaceAll"));
        auto *ticked = replace->findChild<QPushButton *>(QStringLiteral("replaceTicked"));
        auto *rows = replace->findChild<QTreeWidget *>(QStringLiteral("replaceScenes"));
        replace->findChild<QLineEdit *>(QStringLiteral("replaceFind"))->setText("灯塔");
        with->setText("塔🗼");
        QCOMPARE(rows->topLevelItemCount(), 4);
        QVERIFY(!all->isEnabled() && !ticked->isEnabled());
        QVERIFY(replace->findChild<QLabel *>(QStringLiteral("replaceSummary"))
                    ->text()
                    .contains(QStringLiteral("🗼")));
        with->setText("塔楼");
        QVERIFY(all->isEnabled() && ticked->isEnabled());
        const QTreeWidgetItem *farRow = rows->topLevelItem(2);
        QCOMPARE(farRow->text(0), QStringLiteral("第4个"));
        for (const auto &[column, match] : {std::pair{1, u"灯塔"}, std::pair{2, u"塔楼"}}) {
            const QString shown = farRow->text(column);
            const qsizetype end = shown.indexOf(QString::fromUtf16(match)) + 2;
            QVERIFY2(end > 1 && rows->fontMetrics().horizontalAdvance(shown.left(end)) <
                                    rows->columnWidth(column) - 8, // the text's margins
                     qPrintable(shown));
        }

        // Scene 3 unticked from the keyboard; then scene 2 is changed to match, and scene 1
        // copied, which moves scene 3 to 4.
        rows->setFocus();
        rows->setCurrentItem(rows->topLevelItem(1), 0);
        QTest::keyClick(rows, Qt::Key_Space);
        QCOMPARE(rows->topLevelItem(1)->checkState(0), Qt::Unchecked);
        click(w.NextRec);
        click(w.NextRec);
        click(w.SetRec);
        type(w.NoteText, QStringLiteral("灯塔"));
        click(w.SetRec);
        w.window->windows().duplicateScenes(0, 1);
        QCOMPARE(rows->topLevelItemCount(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(rows->topLevelItem(i)->checkState(0),
                     rows->topLevelItem(i)->text(0) == u"第4个" ? Qt::Unchecked : Qt::Checked);
        click(ticked);
        QCOMPARE(readBytes(file("Game.txt")),
                 bytes({"塔楼亮了", "塔楼亮了", "塔楼海边", "灯塔灭了",
                        QString(60, u'海') + QStringLiteral("塔楼远远地亮着"), "塔楼"}));
        QCOMPARE(rows->topLevelItemCount(), 1); // the unticked scene, still unticked
        QCOMPARE(rows->topLevelItem(0)->checkState(0), Qt::Unchecked);
        QVERIFY(takeMessages().isEmpty());
    }

    // A list command while a scene waits for OK? first asks what becomes of that scene; the
    // form never shows one scene's fields under another's number.
    void listCommandsSettleAWaitingSceneFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("notes"); // the file's texts after, "_" for an empty one
        QTest::addColumn<int>("curRec");
        QTest::newRow("copy, save it") << int(UnsavedChoice::Save) << "duplicate"
                                       << "1212345新" << 3;
        QTest::newRow("copy, don't save") << int(UnsavedChoice::Discard) << "duplicate"
                                          << "1212345_" << 3;
        QTest::newRow("copy, cancel") << int(UnsavedChoice::Cancel) << "duplicate"
                                      << "12345_" << 6;
        QTest::newRow("choose a row, cancel") << int(UnsavedChoice::Cancel) << "row"
                                              << "12345_" << 6;
        QTest::newRow("choose a row, save") << int(UnsavedChoice::Save) << "row"
                                            << "12345新" << 2;
    }
    void listCommandsSettleAWaitingSceneFirst()
    {
        QFETCH(int, answer);
        QFETCH(QString, command);
        QFETCH(QString, notes);
        QFETCH(int, curRec);
        QByteArray scenes;
        for (const char *note : {"1", "2", "3", "4", "5"})
            scenes += sceneBytes(note, (QByteArray(note) + ".jpg").constData());
        writeBytes(file("Game.txt"), scenes);
        Ui &w = open();
        QTest::keyClick(w.window, Qt::Key_F3);
        auto *list = w.window->sceneList()->findChild<QListView *>(QStringLiteral("scenes"));
        list->setCurrentIndex(list->model()->index(4, 0));
        w.window->sceneList()->findChild<QAction *>(QStringLiteral("insertAfter"))->trigger();
        QCOMPARE(w.SetRec->text(), QStringLiteral("OK?")); // the new scene waits for its text
        type(w.NoteText, QStringLiteral("新"));
        m_messages.unsavedAnswers = {UnsavedChoice(answer)};
        if (command == u"row") {
            list->setCurrentIndex(list->model()->index(1, 0));
        } else {
            list->selectionModel()->select(
                QItemSelection(list->model()->index(0, 0), list->model()->index(1, 0)),
                QItemSelectionModel::ClearAndSelect);
            w.window->sceneList()->findChild<QAction *>(command)->trigger();
        }
        QCOMPARE(m_messages.asked.size(), 1);
        QVERIFY(m_messages.asked.first().contains(QStringLiteral("还没有保存")));
        QString texts;
        for (const QString &note : LoadScript(GameFolder(m_dir->path())).scenes.NoteList)
            texts += note.isEmpty() ? QStringLiteral("_") : note;
        QCOMPARE(texts, notes);
        QCOMPARE(w.editor().CurRec(), curRec);
        QCOMPARE(w.WJID->text(), QStringLiteral("第%1个").arg(curRec));
        if (answer == int(UnsavedChoice::Cancel)) {
            QCOMPARE(w.NoteText->toPlainText(), QStringLiteral("新"));
            QCOMPARE(w.SetRec->text(), QStringLiteral("OK?"));
            QCOMPARE(list->currentIndex().row(), curRec - 1);
        } else {
            QCOMPARE(w.NoteText->toPlainText(), w.editor().scenes().NoteList.at(curRec - 1));
            QCOMPARE(w.BgUrlText->text(), w.editor().scenes().BGList.at(curRec - 1));
        }
        QVERIFY(listsEqualFile());
    }

    // A game moved (or renamed, or deleted by mistake) finds its earlier versions in any game's
    // versions window; restoring one says what will change and asks first.
    void movedGameFindsItsVersionsAndRestoringOneAsksFirst()
    {
        QTemporaryDir old;
        const QByteArray two = sceneBytes("one") + sceneBytes("two");
        writeBytes(old.filePath(QStringLiteral("Game.txt")), two);
        writeBytes(old.filePath(QStringLiteral("Game.ini")), kIni);
        {
            GameSet first(GameFolder(old.path()),
                          EditorPlatform{m_messages, m_picker, m_web, m_links});
            first.start();
            first.findChild<QPushButton *>(QStringLiteral("LastRec"))->click();
            first.findChild<QPushButton *>(QStringLiteral("DelRec"))->click(); // kept before
        }
        for (const char *name : {"Game.txt", "Game.ini"})
            QVERIFY(QFile::copy(old.filePath(QString::fromLatin1(name)), file(name)));
        const QString oldPath = QDir::toNativeSeparators(old.path());
        old.remove();

        open();
        m_window->findChild<QAction *>(QStringLiteral("versionsAction"))->trigger();
        auto *versions = m_window->findChild<VersionsWindow *>();
        auto *source = versions->findChild<QComboBox *>(QStringLiteral("source"));
        auto *list = versions->findChild<QTreeWidget *>(QStringLiteral("versions"));
        QVERIFY(versions->isVisible() && source && list);
        QCOMPARE(list->topLevelItemCount(), 0); // none of this folder's own yet
        QCOMPARE(versions->stage()->GameNote()->text(), QString());
        QCOMPARE(source->itemText(1), QStringLiteral("其他文件夹的版本:"));
        int other = -1;
        for (int i = 2; i < source->count(); ++i) {
            if (source->itemText(i).contains(oldPath))
                other = i;
        }
        QVERIFY(other >= 2);
        QVERIFY2(source->itemText(other).contains(QStringLiteral("测试")) &&
                     source->itemText(other).contains(QStringLiteral("文件夹已不在")),
                 qPrintable(source->itemText(other)));
        source->setCurrentIndex(other);
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("2个场景"));

        auto *restore = versions->findChild<QPushButton *>(QStringLiteral("restore"));
        m_messages.answers = {false, true};
        restore->click();
        QCOMPARE(m_messages.asked.size(), 1);
        QVERIFY2(m_messages.asked.first().contains(
                     QStringLiteral("现在有1个场景,这个版本有2个场景,从第2个场景起不同。")),
                 qPrintable(m_messages.asked.first()));
        QCOMPARE(readBytes(file("Game.txt")), sceneBytes("one"));
        restore->click();
        QCOMPARE(readBytes(file("Game.txt")), two);
        QVERIFY(listsEqualFile());
        QVERIFY(takeMessages().isEmpty());

        // The author deletes them there, after saying yes.
        m_messages.answers = {true};
        versions->findChild<QPushButton *>(QStringLiteral("remove"))->click();
        QVERIFY(m_messages.asked.last().contains(QStringLiteral("全部1个版本")));
        QCOMPARE(source->currentIndex(), 0);
        for (int i = 0; i < source->count(); ++i)
            QVERIFY(!source->itemText(i).contains(oldPath));
        QCOMPARE(list->topLevelItemCount(), 1); // what this game held before the restore
    }

    void settingsWithoutTheFileAreSavedFromThePanel()
    {
        Ui &w = open();
        takeMessages();
        type(w.BGMUrlText, QStringLiteral("a.mid"));
        w.SuDuCombo->setCurrentIndex(3);
        click(w.Command4); // the skip choice; the panel's other values come with it
        QVERIFY(takeMessages().isEmpty());
        const QByteArray name = Gbk::encode(QDir(m_dir->path()).dirName()).bytes;
        QCOMPARE(readBytes(file("Game.ini")), "\"" + name + "\",\"a.mid\",\"\",\"50\",\"1\"\r\n");
        type(w.GameNameText, QStringLiteral("g"));
        click(w.Command1);
        QCOMPARE(readBytes(file("Game.ini")), QByteArray("\"g\",\"a.mid\",\"\",\"50\",\"1\"\r\n"));
    }

    void closingWithAWaitingSceneAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("save") << int(UnsavedChoice::Save) << true
                              << sceneBytes("one") + sceneBytes("new", "1.jpg", "1.png");
        QTest::newRow("don't save") << int(UnsavedChoice::Discard) << true << sceneBytes("one");
        QTest::newRow("cancel") << int(UnsavedChoice::Cancel) << false << sceneBytes("one");
    }
    void closingWithAWaitingSceneAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(QByteArray, stored);
        writeBytes(file("Game.txt"), sceneBytes("one"));
        writeBytes(file("Game.ini"), kIni);
        Ui &w = open();
        QVERIFY(w.window->close()); // nothing waits: no question
        QVERIFY(m_messages.asked.isEmpty());
        w.window->show();
        click(w.NextRec);
        click(w.AddRec);
        type(w.NoteText, QStringLiteral("new"));
        m_messages.unsavedAnswers = {UnsavedChoice(answer)};
        QCOMPARE(w.window->close(), closed);
        QCOMPARE(m_messages.asked,
                 QStringList{QStringLiteral(
                     "游戏编辑|正在增加或修改的场景还没有保存。\n关闭前要保存它吗?")});
        QCOMPARE(readBytes(file("Game.txt")), stored);
        if (!closed)
            QCOMPARE(w.NoteText->toPlainText(), QStringLiteral("new"));
    }

    void pickedPictureNeverShadowsOneThePlayerFindsInAnotherCase()
    {
        // A Windows-made game: BG/DUSK.JPG, named "dusk.jpg" by three scenes.
        writeBytes(file("BG/DUSK.JPG"), "old");
        writeBytes(file("Game.txt"), sceneBytes("a", "dusk.jpg") + sceneBytes("b", "Dusk.jpg") +
                                         sceneBytes("c", "dusk.jpg") + sceneBytes("d", "x.jpg"));
        writeBytes(file("Game.ini"), kIni);
        QTemporaryDir elsewhere;
        const QString picked = elsewhere.filePath(QStringLiteral("dusk.jpg"));
        writeBytes(picked, "new");
        Ui &w = open();
        click(w.NextRec);
        click(w.SetRec);
        m_picker.answers = {picked, picked};
        m_messages.answers = {true, false, /* again: */ true, true};
        click(w.GetBgPic);
        QCOMPARE(m_messages.asked.size(), 2);
        QCOMPARE(m_messages.asked.last(),
                 QStringLiteral(
                     "复制图片|BG文件夹中已经有一个不同的“DUSK.JPG”,游戏播放时“dusk.jpg”会找到"
                     "它;有3个场景使用它。\n要用选中的图片替换“DUSK.JPG”吗?这些场景都会"
                     "显示新的图片。"));
        QCOMPARE(QDir(file("BG")).entryList(QDir::Files), QStringList{QStringLiteral("DUSK.JPG")});
        QCOMPARE(readBytes(file("BG/DUSK.JPG")), QByteArray("old"));
        click(w.GetBgPic);
        QCOMPARE(QDir(file("BG")).entryList(QDir::Files), QStringList{QStringLiteral("DUSK.JPG")});
        QCOMPARE(readBytes(file("BG/DUSK.JPG")), QByteArray("new"));
        QCOMPARE(w.BgUrlText->text(), QStringLiteral("dusk.jpg"));
    }

    void pickersTakeTheNameAfterTheLastSeparator()
    {
        Ui &w = open();
        click(w.AddRec);
        click(w.GetBgPic); // cancelled: the box stays
        QCOMPARE(w.BgUrlText->text(), QString());
        m_picker.answers = {QStringLiteral("C:\\game\\BG\\1.jpg"), QString(),
                            QStringLiteral("/home/u/pics/bg2.png"), QStringLiteral("noslash.gif")};
        click(w.GetBgPic);
        QCOMPARE(w.BgUrlText->text(), QStringLiteral("1.jpg"));
        click(w.GetMsgPic); // cancelled
        QCOMPARE(w.MsgUrlText->text(), QString());
        click(w.GetMsgPic);
        QCOMPARE(w.MsgUrlText->text(), QStringLiteral("bg2.png"));
        click(w.GetBgPic);
        QCOMPARE(w.BgUrlText->text(), QStringLiteral("noslash.gif"));
        // No game folders yet: the dialogs open in the game folder, listing pictures first.
        QCOMPARE(m_picker.starts.at(4), m_dir->path());
        QVERIFY(m_picker.filters.at(4).startsWith(QStringLiteral("图片 (*.bmp *.jpg")));
    }

    void pickersOpenInTheirFolderAndOfferToCopyPicturesFromElsewhere()
    {
        writeBytes(file("bg/inside.jpg"), "in"); // a Windows-made lower-case folder
        writeBytes(file("Msg/same.png"), "same");
        writeBytes(file("Msg/other.png"), "old");
        QTemporaryDir elsewhere;
        const auto outside = [&](const char *name, const QByteArray &bytes) {
            const QString path = elsewhere.filePath(QString::fromLatin1(name));
            writeBytes(path, bytes);
            return path;
        };
        Ui &w = open();
        click(w.AddRec);
        m_picker.answers = {file("bg/inside.jpg"), outside("new.jpg", "new"),
                            outside("same.png", "same"), outside("other.png", "new"),
                            outside("other.png", "new")};
        m_messages.answers = {true, /* other.png: */ true, false, /* again: */ true, true};

        click(w.GetBgPic); // already in the folder: nothing asked
        QCOMPARE(m_picker.starts.last(), file("bg"));
        QCOMPARE(w.BgUrlText->text(), QStringLiteral("inside.jpg"));
        QVERIFY(m_messages.asked.isEmpty());

        click(w.GetBgPic); // from elsewhere: copied into bg on Yes
        QCOMPARE(w.BgUrlText->text(), QStringLiteral("new.jpg"));
        QCOMPARE(m_messages.asked.size(), 1);
        QVERIFY(m_messages.asked.first().contains(QStringLiteral("bg文件夹")));
        QCOMPARE(readBytes(file("bg/new.jpg")), QByteArray("new"));

        click(w.GetMsgPic); // the same bytes are there already: nothing asked
        QCOMPARE(m_picker.starts.last(), file("Msg"));
        QCOMPARE(m_messages.asked.size(), 1);
        QCOMPARE(w.MsgUrlText->text(), QStringLiteral("same.png"));

        click(w.GetMsgPic); // a different other.png: Yes to copying, No to replacing
        QCOMPARE(m_messages.asked.size(), 3);
        QCOMPARE(readBytes(file("Msg/other.png")), QByteArray("old"));
        QCOMPARE(w.MsgUrlText->text(), QStringLiteral("other.png"));
        click(w.GetMsgPic); // and Yes to both
        QCOMPARE(readBytes(file("Msg/other.png")), QByteArray("new"));
        QVERIFY(takeMessages().isEmpty());
    }

    void cancelledPickerLeavesBothBoxesAsTheyWere()
    {
        Ui &w = open();
        click(w.AddRec);
        m_picker.answers = {QStringLiteral("/home/u/Msg/box.png"), QString()};
        click(w.GetMsgPic);
        type(w.BgUrlText, QStringLiteral("我的.jpg"));
        click(w.GetBgPic); // Cancel
        QCOMPARE(w.BgUrlText->text(), QStringLiteral("我的.jpg"));
        QCOMPARE(w.MsgUrlText->text(), QStringLiteral("box.png"));
        click(w.AddRec);
        QCOMPARE(w.editor().scenes().BGList, QStringList{QStringLiteral("我的.jpg")});
    }

    void unchangedModifyKeepsHandEditedCodes()
    {
        const QByteArray handMade =
            sceneBytes("a", "1.jpg", "1.png", "9", "14", "1.0", " 2", "02") +
            sceneBytes("b", "2.jpg", "2.png", "-1", "", "x", "6", "1");
        writeBytes(file("Game.txt"), handMade);
        Ui &w = open();
        for (QPushButton *browse : {w.StartRec, w.NextRec}) {
            click(browse);
            click(w.SetRec);
            click(w.SetRec);
            QCOMPARE(readBytes(file("Game.txt")), handMade);
        }
        // A list the author does pick from stores the picked code; the others stay as they were.
        click(w.StartRec);
        click(w.SetRec);
        w.SetFont->setCurrentIndex(3);
        click(w.SetRec);
        QCOMPARE(readBytes(file("Game.txt")),
                 sceneBytes("a", "1.jpg", "1.png", "9", "3", "1.0", " 2", "02") +
                     handMade.mid(handMade.indexOf("b\r\n")));
        QVERIFY(listsEqualFile());
    }

    // 发布游戏… asks where, writes the page there and opens that folder; a cancelled question
    // writes nothing.
    void publishFromTheMenuWritesThePageAndOpensItsFolder()
    {
        for (const char *name : {"BG/1.jpg", "BG/over.jpg", "Msg/1.png"}) {
            QImage picture(600, 120, QImage::Format_RGB32);
            picture.fill(Qt::gray);
            QDir().mkpath(QFileInfo(file(name)).absolutePath());
            QVERIFY(picture.save(file(name)));
        }
        SceneLists scenes;
        scenes.append(TestUtil::sceneWith(QStringLiteral("发布"), "1.jpg", "1.png"));
        QVERIFY(RewriteScript(GameFolder(m_dir->path()), scenes).ok);
        QStringList answers = {QString(), file("page")};
        QStringList suggested;
        EditorPlatform platform{m_messages, m_picker, m_web, m_links};
        platform.choosePublishFolder = [&](QWidget *, const QString &suggestion) {
            suggested.append(suggestion);
            return answers.takeFirst();
        };
        m_window = std::make_unique<GameSet>(GameFolder(m_dir->path()), platform);
        m_window->start();
        m_messages.shown.clear();
        auto *publish = m_window->findChild<QAction *>(QStringLiteral("publishAction"));
        QVERIFY(publish && m_window->actions().contains(publish));
        publish->trigger();
        QVERIFY(m_web.opened.isEmpty() && m_messages.shown.isEmpty());
        publish->trigger();
        QCOMPARE(suggested.size(), 2);
        QVERIFY(QFileInfo::exists(file("page/index.html")));
        QVERIFY(QFileInfo::exists(file("page.zip")));
        QCOMPARE(m_web.opened, QStringList{QUrl::fromLocalFile(file("page")).toString()});
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY(m_messages.shown.first().contains(QStringLiteral("已发布")));
    }

    void linksOpenTheirAddresses()
    {
        Ui &w = open();
        for (QWidget *l : std::initializer_list<QWidget *>{w.Label11, w.Label15, w.Label16,
                                                           w.Label17, w.Command5})
            click(l);
        QCOMPARE(m_web.opened,
                 (QStringList{"http://bbs.tavrin.example/forum/forum.php?mod=forumdisplay&fid=56",
                              "http://bbs.tavrin.example/forum/forum.php?mod=viewthread&tid=76",
                              "http://bbs.tavrin.example/forum/forum.php?mod=viewthread&tid=75",
                              "http://bbs.tavrin.example/forum/forum.php?mod=forumdisplay&fid=2",
                              "http://bbs.tavrin.example/bbs/forum.php?mod=viewthread&tid=844"}));
        QTest::keyClick(w.Label16, Qt::Key_Return); // links work from the keyboard too
        QCOMPARE(m_web.opened.last(),
                 QStringLiteral("http://bbs.tavrin.example/forum/forum.php?mod=viewthread&tid=75"));
        m_web.works = false;
        click(w.Command5);
        QCOMPARE(takeMessages().size(), 1);
    }

    void withoutAForumLinksOpenTheGuideSections()
    {
        m_links = HelpLinks::inGuide(QStringLiteral("/usr/share/taletools/guide/index.html"));
        Ui &w = open();
        for (QWidget *l : std::initializer_list<QWidget *>{w.Label11, w.Label15, w.Label16,
                                                           w.Label17, w.Command5})
            click(l);
        const QString guide = QStringLiteral("file:///usr/share/taletools/guide/index.html#");
        // 游戏发布 opens "发布为网页", the section on 发布游戏…
        QCOMPARE(m_web.opened, (QStringList{guide + "sharing", guide + "making", guide + "contents",
                                            guide + "web", guide + "questions"}));
        m_links = HelpLinks::inGuide(QString()); // no guide installed
        Ui &without = open();
        click(without.Command5);
        QCOMPARE(takeMessages().size(), 1);
        QCOMPARE(m_web.opened.size(), 5);
    }

    void scenesMadeInTheEditorPlayBackFieldForField()
    {
        Ui &w = open();
        QList<SceneRec> made;
        for (int i = 0; i < 3; ++i) {
            click(w.AddRec);
            type(w.NoteText, QStringLiteral("场景%1, 逗号 \"引号\"").arg(i));
            w.BgUrlText->setText(QStringLiteral("bg%1.jpg").arg(i));
            w.MsgUrlText->setText(QStringLiteral("m.png"));
            w.FontWZ->setCurrentIndex(i);
            w.SetFont->setCurrentIndex(i + 4);
            w.SetFontSize->setCurrentIndex(i + 3);
            w.SetFontColor->setCurrentIndex(i * 3);
            w.MsgWZ->setCurrentIndex(i == 1 ? -1 : i);
            click(w.AddRec);
        }
        RecordingMusic music;
        FakeSurface surface;
        GameLogic player(GameFolder(m_dir->path()), surface, music);
        player.start();
        QCOMPARE(player.scenes(), w.editor().scenes());
        QCOMPARE(player.scenes().scene(1)[SceneField::MsgWZ], QStringLiteral("-1"));
        QCOMPARE(player.scenes().scene(2)[SceneField::Note],
                 QStringLiteral("场景2, 逗号 \"引号\""));
        QCOMPARE(player.scenes().scene(2)[SceneField::FontColor], QStringLiteral("6"));
    }
};

QTEST_MAIN(TestGameSet)
#include "tst_gameset.moc"
