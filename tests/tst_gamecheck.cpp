// The game check: a crafted game with one problem of each kind, the command line, the window.
#include "editorfakes.h"
#include "gamecheck.h"
#include "gameset.h"
#include "gbk.h"
#include "messages.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "testutil.h"

#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace TestUtil;

namespace {

void picture(const QString &path, QSize size, QColor colour = Qt::gray)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QDir().mkpath(QFileInfo(path).absolutePath());
    img.save(path);
}

SceneRec scene(const QString &note, const char *bg, const char *msg)
{
    return sceneWith(note, QString::fromLatin1(bg), QString::fromLatin1(msg));
}

} // namespace

class TestGameCheck : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char *rel) const { return m_dir.filePath(QString::fromUtf8(rel)); }
    GameFolder folder() const { return GameFolder(m_dir.path()); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
        picture(path("bg/sky.jpg"), QSize(638, 482));
        picture(path("bg/small.png"), QSize(100, 100));
        picture(path("Msg/box.png"), QSize(600, 120));
        writeBytes(path("Msg/broken.png"), "not a picture");
        writeBytes(path("Music/tune.mid"), QByteArray("MThd\0\0\0\6", 8));
        SceneLists lists;
        lists.append(scene(QStringLiteral("mis-cased names are found"), "Sky.JPG", "BOX.png"));
        lists.append(scene(QStringLiteral("two"), "missing.jpg", "broken.png"));
        SceneRec codes =
            scene(QStringLiteral("笑\uE000"), "sky.jpg", "box.png"); // a user-defined GBK character
        codes[SceneField::FontSet] = QStringLiteral("9");
        codes[SceneField::FontSize] = QStringLiteral("1.0");
        lists.append(codes);
        lists.append(scene(QStringLiteral("four"), "small.png", "box.png"));
        QVERIFY(RewriteScript(folder(), lists).ok);
        QVERIFY(WriteSettings(folder(),
                              GameSettings{QStringLiteral("g"), QStringLiteral("none.ogg"),
                                           QString(), QStringLiteral("100"), QStringLiteral("0")})
                    .ok);
    }

    void everyProblemIsFoundAndNamed()
    {
        GameCheck check(folder());
        QCOMPARE(check.run(), GameCheck::Verdict::Problems);
        QStringList lines;
        for (const GameProblem &p : check.problems())
            lines.append(p.line());
        QCOMPARE(lines,
                 (QStringList{
                     "游戏: 找不到音乐Music\\none.ogg",
                     "第2个: 找不到图片BG\\missing.jpg",
                     "第2个: 图片Msg\\broken.png无法读取(已损坏或不是BMP、JPEG、GIF、PNG)",
                     "第3个: 字体设置的代码“9”不在选项中,编辑器无法显示它",
                     "第3个: 字号设置的代码“1.0”不在选项中,编辑器无法显示它",
                     QStringLiteral("第3个: 字体“%1”无法显示这些字:\uE000").arg(QFont().family()),
                     "第4个: 图片BG\\small.png的大小是100×100,应为638×482",
                     // The small background leaves black below, under a grey box at 40 %.
                     "第4个: 文字颜色与背后画面的对比度只有2.0:1(至少应为3:1),不易看清",
                     "游戏: 没有结束画面BG/over.jpg:最后一幕之后将显示黑色画面",
                 }));
    }

    // A game of one scene, everything else in order: each row is one finding on its own.
    void oneSceneFinding_data()
    {
        QTest::addColumn<QSize>("background");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QString>("codes"); // text position, style, size, colour, box position
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<GameCheck::Verdict>("verdict");
        const QSize bg(638, 482), box(600, 120);
        const auto problems = GameCheck::Verdict::Problems;
        QTest::newRow("all in order")
            << bg << box << "20002" << QStringList() << GameCheck::Verdict::Fine;
        QTest::newRow("background 2 rows short")
            << QSize(638, 480) << box << "20002"
            << QStringList{"第1个: 图片BG\\sky.png的大小是638×480,应为638×482"} << problems;
        QTest::newRow("box 20 rows short")
            << bg << QSize(600, 100) << "20002"
            << QStringList{"第1个: 图片Msg\\box.png的大小是600×100,应为600×120"} << problems;
        QTest::newRow("text position one past the last")
            << bg << box << "30002"
            << QStringList{"第1个: 字体位置的代码“3”不在选项中,编辑器无法显示它"} << problems;
        QTest::newRow("style one past the last")
            << bg << box << "28002"
            << QStringList{"第1个: 字体设置的代码“8”不在选项中,编辑器无法显示它"} << problems;
        QTest::newRow("size one past the last")
            << bg << box << "20602"
            << QStringList{"第1个: 字号设置的代码“6”不在选项中,编辑器无法显示它"} << problems;
        QTest::newRow("colour one past the last")
            << bg << box << "20072"
            << QStringList{"第1个: 颜色设置的代码“7”不在选项中,编辑器无法显示它"} << problems;
        QTest::newRow("box position one past the last")
            << bg << box << "20003"
            << QStringList{"第1个: 对话框位置的代码“3”不在选项中,编辑器无法显示它"} << problems;
        QTest::newRow("last entries")
            << bg << box << "27552" << QStringList() << GameCheck::Verdict::Fine;
        // Red is red (its label says so), though hard to read on grey.
        QTest::newRow("red is red")
            << bg << box << "20022"
            << QStringList{"第1个: 文字颜色与背后画面的对比度只有1.5:1(至少应为3:1),不易看清"}
            << GameCheck::Verdict::Warnings;
        QTest::newRow("yellow paints black")
            << bg << box << "20062" << QStringList{"第1个: 文字颜色“黄色”在游戏中显示为黑色"}
            << GameCheck::Verdict::Warnings;
        QTest::newRow("blue paints cyan")
            << bg << box << "20042"
            << QStringList{"第1个: 文字颜色“蓝色”在游戏中显示为青色",
                           "第1个: 文字颜色与背后画面的对比度只有2.1:1(至少应为3:1),不易看清"}
            << GameCheck::Verdict::Warnings;
        QTest::newRow("a warning beside a problem")
            << bg << box << "28062"
            << QStringList{"第1个: 字体设置的代码“8”不在选项中,编辑器无法显示它",
                           "第1个: 文字颜色“黄色”在游戏中显示为黑色"}
            << problems;
    }
    void oneSceneFinding()
    {
        QFETCH(QSize, background);
        QFETCH(QSize, box);
        QFETCH(QString, codes);
        QFETCH(QStringList, lines);
        QFETCH(GameCheck::Verdict, verdict);
        QTemporaryDir dir;
        picture(dir.filePath(QStringLiteral("BG/sky.png")), background);
        picture(dir.filePath(QStringLiteral("Msg/box.png")), box);
        picture(dir.filePath(QStringLiteral("BG/over.jpg")), QSize(638, 482));
        const GameFolder game(dir.path());
        SceneLists lists;
        lists.append(sceneWith(QStringLiteral("one"), QStringLiteral("sky.png"),
                               QStringLiteral("box.png"), qPrintable(codes)));
        QVERIFY(RewriteScript(game, lists).ok);
        QVERIFY(WriteSettings(game, GameSettings{QStringLiteral("g"), QString(), QString(),
                                                 QStringLiteral("100"), QStringLiteral("0")})
                    .ok);
        GameCheck check(game);
        QCOMPARE(check.run(), verdict);
        QStringList found;
        for (const GameProblem &p : check.problems())
            found.append(p.line());
        QCOMPARE(found, lines);
    }

    // What a reader meets, one scene per row: a text the text area cuts off (laid out as the
    // player lays it out), and a text colour too close to what lies behind it (the background
    // with the box over it at 40 %, where the codes place them).
    void readerWarnings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("codes"); // text position, style, size, colour, box position
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("box");
        QTest::addColumn<QStringList>("lines");
        const QColor black(Qt::black), white(Qt::white), grey(Qt::gray);
        const QString four = QStringLiteral("一\n二\n三\n四");
        QTest::newRow("four lines fit") << four << "20002" << white << white << QStringList();
        QTest::newRow("cut at line 5")
            << four + QStringLiteral("\n第五行") << "20002" << white << white
            << QStringList{"第1个: 文字放不下,第5行不会显示:“第五行”"};
        QTest::newRow("cut at lines 5 to 6")
            << four + QStringLiteral("\n五\n六") << "20002" << white << white
            << QStringList{"第1个: 文字放不下,第5至6行不会显示:“五 六”"};
        QTest::newRow("wrapped, not only broken")
            << QString(200, u'海') << "20002" << white << white
            << QStringList{QStringLiteral("第1个: 文字放不下,第5至7行不会显示:“%1…”")
                               .arg(QString(16, u'海'))};
        QTest::newRow("blank lines past the end are no loss")
            << four + QStringLiteral("\n \n") << "20002" << white << white << QStringList();
        QTest::newRow("dark on dark")
            << "夜"
            << "20002" << black << black
            << QStringList{"第1个: 文字颜色与背后画面的对比度只有1.0:1(至少应为3:1),不易看清"};
        QTest::newRow("light on dark") << "夜"
                                       << "20012" << black << black << QStringList();
        QTest::newRow("red on grey")
            << "灯"
            << "20022" << grey << grey
            << QStringList{"第1个: 文字颜色与背后画面的对比度只有1.5:1(至少应为3:1),不易看清"};
        QTest::newRow("cyan on grey")
            << "灯"
            << "20042" << grey << grey
            << QStringList{"第1个: 文字颜色“蓝色”在游戏中显示为青色",
                           "第1个: 文字颜色与背后画面的对比度只有2.1:1(至少应为3:1),不易看清"};
        // A white box at 40 % over black is grey 102: black text reads there at 3.7:1.
        QTest::newRow("dark on a light box over dark")
            << "塔"
            << "20002" << black << white << QStringList();
        QTest::newRow("dark above the box, on the dark background")
            << "塔"
            << "00002" << black << white
            << QStringList{"第1个: 文字颜色与背后画面的对比度只有1.0:1(至少应为3:1),不易看清"};
        QTest::newRow("both at once")
            << four + QStringLiteral("\n五") << "20062" << black << black
            << QStringList{"第1个: 文字颜色“黄色”在游戏中显示为黑色",
                           "第1个: 文字放不下,第5行不会显示:“五”",
                           "第1个: 文字颜色与背后画面的对比度只有1.0:1(至少应为3:1),不易看清"};
    }
    void readerWarnings()
    {
        QFETCH(QString, text);
        QFETCH(QString, codes);
        QFETCH(QColor, background);
        QFETCH(QColor, box);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        picture(dir.filePath(QStringLiteral("BG/bg.png")), QSize(638, 482), background);
        picture(dir.filePath(QStringLiteral("Msg/box.png")), QSize(600, 120), box);
        picture(dir.filePath(QStringLiteral("BG/over.jpg")), QSize(638, 482));
        const GameFolder game(dir.path());
        SceneLists lists;
        lists.append(sceneWith(text, QStringLiteral("bg.png"), QStringLiteral("box.png"),
                               qPrintable(codes)));
        QVERIFY(RewriteScript(game, lists).ok);
        QVERIFY(WriteSettings(game, GameSettings{QStringLiteral("g"), QString(), QString(),
                                                 QStringLiteral("100"), QStringLiteral("0")})
                    .ok);
        GameCheck check(game);
        QCOMPARE(check.run(),
                 lines.isEmpty() ? GameCheck::Verdict::Fine : GameCheck::Verdict::Warnings);
        QStringList found;
        for (const GameProblem &p : check.problems())
            found.append(p.line());
        QCOMPARE(found, lines);
    }

    // The check keeps what it measured per text and look, and per pictures and positions; a
    // scene must still get its own verdict, not the one of a scene before it that shares the
    // text (at another size) or the pictures (with the text or the box elsewhere). Each row's
    // two scenes alone differ; together, the second finds what it finds alone.
    void sceneMeasuredWithAnotherScenesVerdict_data()
    {
        QTest::addColumn<QString>("firstText");
        QTest::addColumn<QString>("firstCodes");
        QTest::addColumn<QString>("secondText");
        QTest::addColumn<QString>("secondCodes");
        const QString four = QStringLiteral("一\n二\n三\n四");
        const QString tower = QStringLiteral("塔");
        QTest::newRow("fit cache keyed without the size: small, then large")
            << four << "20002" << four << "20502";
        QTest::newRow("fit cache keyed without the size: large, then small")
            << four << "20502" << four << "20002";
        QTest::newRow("contrast cache keyed without the text's position: on the box, then above")
            << tower << "20002" << tower << "00002";
        QTest::newRow("contrast cache keyed without the text's position: above, then on the box")
            << tower << "00002" << tower << "20002";
        QTest::newRow("contrast cache keyed without the box's position")
            << tower << "20002" << tower << "20000";
    }
    void sceneMeasuredWithAnotherScenesVerdict()
    {
        QFETCH(QString, firstText);
        QFETCH(QString, firstCodes);
        QFETCH(QString, secondText);
        QFETCH(QString, secondCodes);
        // Black behind, a white box over it: text on the box reads, text beside it does not.
        const auto findings = [](const QList<SceneRec> &scenes) {
            QTemporaryDir dir;
            picture(dir.filePath(QStringLiteral("BG/bg.png")), QSize(638, 482), Qt::black);
            picture(dir.filePath(QStringLiteral("Msg/box.png")), QSize(600, 120), Qt::white);
            picture(dir.filePath(QStringLiteral("BG/over.jpg")), QSize(638, 482));
            const GameFolder game(dir.path());
            SceneLists lists;
            for (const SceneRec &rec : scenes)
                lists.append(rec);
            RewriteScript(game, lists);
            WriteSettings(game, GameSettings{QStringLiteral("g"), QString(), QString(),
                                             QStringLiteral("100"), QStringLiteral("0")});
            GameCheck check(game);
            check.run();
            QStringList last; // what the last scene got, without its number
            for (const GameProblem &p : check.problems()) {
                if (p.scene == scenes.size())
                    last.append(p.text);
            }
            return last;
        };
        const SceneRec first = sceneWith(firstText, QStringLiteral("bg.png"),
                                         QStringLiteral("box.png"), qPrintable(firstCodes));
        const SceneRec second = sceneWith(secondText, QStringLiteral("bg.png"),
                                          QStringLiteral("box.png"), qPrintable(secondCodes));
        const QStringList alone = findings({second});
        QVERIFY2(alone != findings({first}), "the row's two scenes must differ on their own");
        QCOMPARE(findings({first, second}), alone);
    }

    // The command line prints the reader's warnings as the window lists them, and a game with
    // nothing but warnings passes; the window's 转到 shows the scene of the chosen line.
    void readerWarningsOnTheCommandLineAndInTheWindow()
    {
        QTemporaryDir dir;
        picture(dir.filePath(QStringLiteral("BG/night.png")), QSize(638, 482), Qt::black);
        picture(dir.filePath(QStringLiteral("Msg/box.png")), QSize(600, 120), Qt::black);
        picture(dir.filePath(QStringLiteral("BG/over.jpg")), QSize(638, 482));
        const GameFolder game(dir.path());
        SceneLists lists;
        const QString bg = QStringLiteral("night.png"), box = QStringLiteral("box.png");
        lists.append(sceneWith(QStringLiteral("白字"), bg, box, "20012"));
        lists.append(sceneWith(QStringLiteral("一\n二\n三\n四\n五"), bg, box, "20012"));
        lists.append(sceneWith(QStringLiteral("白字"), bg, box, "20012"));
        lists.append(sceneWith(QStringLiteral("黑字"), bg, box, "20002"));
        QVERIFY(RewriteScript(game, lists).ok);
        QVERIFY(WriteSettings(game, GameSettings{QStringLiteral("g"), QString(), QString(),
                                                 QStringLiteral("100"), QStringLiteral("0")})
                    .ok);
        const QStringList lines{"第2个: 文字放不下,第5行不会显示:“五”",
                                "第4个: 文字颜色与背后画面的对比度只有1.0:1(至少应为3:1),不易看清"};
        QProcess p;
        p.start(QStringLiteral(SCRIPTWELL), {QStringLiteral("--check"), dir.path()});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                 lines);
        QCOMPARE(p.exitCode(), 0);

        struct : MessageBoxes
        {
            void show(QWidget *, const QString &, const QString &) override {}
        } messages;
        ScriptedPicker picker;
        RecordingWeb web;
        GameSet window(game, {messages, picker, web});
        window.start();
        window.show();
        window.checkGame();
        auto *list = window.findChild<QListWidget *>(QStringLiteral("problems"));
        auto *goTo = window.findChild<QPushButton *>(QStringLiteral("goTo"));
        QVERIFY(list && goTo && goTo->isVisible());
        QCOMPARE(list->count(), 2);
        for (int row : {1, 0}) {
            list->setCurrentRow(row);
            QVERIFY(goTo->isEnabled());
            goTo->click();
            const int scene = row == 0 ? 2 : 4;
            QCOMPARE(window.editor().CurRec(), scene);
            QCOMPARE(window.findChild<QLabel *>(QStringLiteral("WJID"))->text(),
                     QStringLiteral("第%1个").arg(scene));
        }
    }

    void unplayableMusicAndFolderWithoutAGame()
    {
        QTemporaryDir other;
        writeBytes(other.filePath(QStringLiteral("Music/a.ogg")), "plain text, no sound");
        writeBytes(other.filePath(QStringLiteral("Game.ini")),
                   "\"g\",\"a.ogg\",\"\",\"100\",\"0\"\r\n");
        GameCheck check{GameFolder(other.path())};
        QCOMPARE(check.run(), GameCheck::Verdict::Problems);
        QVERIFY(check.problems().contains(GameProblem{
            0, QStringLiteral("音乐Music\\a.ogg无法播放(不是MIDI、OGG、MP3、WAV或FLAC)")}));
        QTemporaryDir empty;
        QCOMPARE(GameCheck{GameFolder(empty.path())}.run(), GameCheck::Verdict::NoGame);
    }

    void commandLineCheckPrintsOneLinePerProblem()
    {
        QProcess p;
        p.start(QStringLiteral(SCRIPTWELL), {QStringLiteral("--check"), m_dir.path()});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        const QStringList lines =
            QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines.at(1), QStringLiteral("第2个: 找不到图片BG\\missing.jpg"));

        // The demo shows every colour; the two the player paints otherwise are listed, and so
        // are the two that stand out too little from their pictures; the game still passes.
        p.start(QStringLiteral(SCRIPTWELL), {QStringLiteral("--check"), QStringLiteral(DEMO_DIR)});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()),
                 QStringLiteral("第3个: 文字颜色与背后画面的对比度只有2.8:1(至少应为3:1),不易看清\n"
                                "第5个: 文字颜色“蓝色”在游戏中显示为青色\n"
                                "第6个: 文字颜色与背后画面的对比度只有2.9:1(至少应为3:1),不易看清\n"
                                "第7个: 文字颜色“黄色”在游戏中显示为黑色\n"));
        QCOMPARE(p.exitCode(), 0);

        QTemporaryDir empty;
        p.start(QStringLiteral(SCRIPTWELL), {QStringLiteral("--check"), empty.path()});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);

        // A Game.txt that never ends, checked with a memory limit in force: the read stops at
        // its limit and says so, instead of growing until the program is killed.
        QVERIFY(
            QFile::link(QStringLiteral("/dev/zero"), empty.filePath(QStringLiteral("Game.txt"))));
        p.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("ulimit -v 1000000; exec \"$0\" --check \"$1\""),
                 QStringLiteral(SCRIPTWELL), empty.path()});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput())
                    .contains(QStringLiteral("游戏: Game.txt过大(超过256MB),无法使用")));
    }

    void namesInWindowsBytesAreListedAndRenamedFromTheWindow()
    {
        QTemporaryDir game;
        QImage(638, 482, QImage::Format_RGB32).save(game.filePath(QStringLiteral("sea.jpg")));
        QDir().mkpath(game.filePath(QStringLiteral("BG")));
        // 海边.jpg as a Chinese Windows zip leaves it: its code page 936 bytes.
        const QByteArray native = QFile::encodeName(game.path()) + "/BG/\xba\xa3\xb1\xdf.jpg";
        QCOMPARE(::rename(QFile::encodeName(game.filePath(QStringLiteral("sea.jpg"))).constData(),
                          native.constData()),
                 0);
        TestUtil::writeBytes(
            game.filePath(QStringLiteral("Game.txt")),
            Gbk::encode(QStringLiteral("a\r\n海边.jpg\r\n\r\n2\r\n0\r\n0\r\n0\r\n2\r\n")).bytes);
        const QString line = QStringLiteral(
            "游戏: BG\\海边.jpg的文件名是Windows中文编码(GBK)的字节,其他程序看不到这个名字;"
            "在检查窗口中点“改正文件名”可以给它改名");
        GameCheck check{GameFolder(game.path())};
        check.run();
        QStringList lines;
        for (const GameProblem &p : check.problems())
            lines.append(p.line());
        QVERIFY2(lines.contains(line), qPrintable(lines.join(u'\n')));
        QVERIFY(!lines.join(u'\n').contains(QStringLiteral("找不到图片BG\\海边.jpg"))); // found

        struct : MessageBoxes
        {
            void show(QWidget *, const QString &, const QString &) override {}
        } messages;
        ScriptedPicker picker;
        RecordingWeb web;
        GameSet window(GameFolder(game.path()), {messages, picker, web});
        window.start();
        window.show();
        window.checkGame();
        auto *rename = window.findChild<QPushButton *>(QStringLiteral("rename"));
        QVERIFY(rename && rename->isVisible());
        rename->click();
        QVERIFY(QFileInfo::exists(game.filePath(QStringLiteral("BG/海边.jpg"))));
        QVERIFY(!rename->isVisible());
        auto *list = window.findChild<QListWidget *>(QStringLiteral("problems"));
        for (int i = 0; i < list->count(); ++i)
            QVERIFY(list->item(i)->text() != line);
    }

    void checkWindowListsProblemsAndOpensTheirScene()
    {
        struct : MessageBoxes
        {
            void show(QWidget *, const QString &text, const QString &) override
            {
                shown.append(text);
            }
            QStringList shown;
        } messages;
        ScriptedPicker picker;
        RecordingWeb web;
        GameSet window(folder(), {messages, picker, web});
        window.start();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F7);
        auto *list = window.findChild<QListWidget *>(QStringLiteral("problems"));
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->count(), 9);
        emit list->itemActivated(list->item(3)); // 第3个
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("WJID"))->text(),
                 QStringLiteral("第3个"));
        QCOMPARE(window.editor().CurRec(), 3);
        QVERIFY(messages.shown.isEmpty());
    }
};

QTEST_MAIN(TestGameCheck)
#include "tst_gamecheck.moc"
