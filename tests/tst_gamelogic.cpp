#include "playerfakes.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "testutil.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

SceneRec scene(const QString &note, const QString &bg = QStringLiteral("a.png"),
               const QString &wz = QStringLiteral("2"), const QString &set = QStringLiteral("0"),
               const QString &size = QStringLiteral("0"),
               const QString &colour = QStringLiteral("0"),
               const QString &msgwz = QStringLiteral("2"))
{
    SceneRec rec;
    rec.fields = {note, bg, QStringLiteral("m.png"), wz, set, size, colour, msgwz};
    return rec;
}

// A game folder with pictures, the given scenes and (unless skip is null) a Game.ini.
struct Fixture
{
    QTemporaryDir dir;
    RecordingMusic music;
    FakeSurface surface;
    std::unique_ptr<GameLogic> logic;

    Fixture(const QList<SceneRec> &scenes, const char *skip = "1", const char *interval = "100",
            const char *bgm = "song.mid")
    {
        auto picture = [&](const char *rel, QColor c, QSize size) {
            writePicture(dir.filePath(QString::fromLatin1(rel)), c, size);
        };
        picture("BG/a.png", Qt::red, QSize(638, 482));
        picture("BG/b.bmp", Qt::green, QSize(638, 482));
        picture("BG/over.jpg", Qt::blue, QSize(320, 240));
        picture("Msg/m.png", Qt::white, QSize(600, 120));
        TestUtil::writeBytes(dir.filePath(QStringLiteral("BG/broken.png")), "not a picture");
        // A bitmap header that claims 20000 × 20000 pixels: refused before any allocation.
        QByteArray huge("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18);
        for (quint32 v : {20000u, 20000u})
            huge.append(reinterpret_cast<const char *>(&v), 4);
        huge.append("\x01\0\x20\0", 4);
        huge.append(QByteArray(24, '\0'));
        TestUtil::writeBytes(dir.filePath(QStringLiteral("BG/huge.bmp")), huge);
        SceneLists lists;
        for (const SceneRec &rec : scenes)
            lists.append(rec);
        const GameFolder folder(dir.path());
        QVERIFY(RewriteScript(folder, lists).ok);
        if (skip)
            QVERIFY(WriteSettings(folder,
                                  GameSettings{QStringLiteral("测试游戏"), QString::fromLatin1(bgm),
                                               QStringLiteral("文泉驿微米黑"),
                                               QString::fromLatin1(interval),
                                               QString::fromLatin1(skip)})
                        .ok);
        logic = std::make_unique<GameLogic>(folder, surface, music);
        surface.logic = logic.get();
    }
    GameLogic::StartResult start() { return logic->start(); }
};

} // namespace

class TestGameLogic : public QObject
{
    Q_OBJECT
private slots:
    void startUpSetsTitleMusicSpeedFontAndShowsSceneZeroWhole()
    {
        Fixture f({scene(QStringLiteral("第一幕"), QStringLiteral("a.png"), QStringLiteral("0"),
                         QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("2"),
                         QStringLiteral("1"))});
        QCOMPARE(f.start(), GameLogic::StartResult::Playing);
        QCOMPARE(f.surface.title, QStringLiteral("测试游戏"));
        QCOMPARE(f.music.commands,
                 (QStringList{QStringLiteral("Open \"Music\\song.mid \" alias File"),
                              QStringLiteral("play Music\\song.mid")}));
        QCOMPARE(f.surface.interval, 100);
        QCOMPARE(f.surface.fontName, QStringLiteral("文泉驿微米黑"));
        QCOMPARE(f.surface.caption, QStringLiteral("第一幕"));
        QCOMPARE(f.surface.background.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(f.surface.msgPicture.size(), QSize(600, 120));
        QCOMPARE(f.surface.noteTop, 480);
        QCOMPARE(f.surface.msgTop, 2280);
        QVERIFY(f.surface.bold && f.surface.italic && !f.surface.underline);
        QCOMPARE(f.surface.noteSize, 24);
        QCOMPARE(f.surface.colour, (NoteColour{false, qRgb(255, 0, 0)}));
        QVERIFY(!f.surface.timerEnabled);
        QVERIFY(f.surface.msgEnabled);
        QCOMPARE(f.logic->SceneIndex(), 0);
    }

    void startAtALaterSceneShowsItAsAtStartUpThenPlaysOn()
    {
        Fixture f({scene(QStringLiteral("一"), QStringLiteral("a.png"), QStringLiteral("0")),
                   scene(QStringLiteral("二"), QStringLiteral("b.bmp"), QStringLiteral("1"),
                         QStringLiteral("1")),
                   scene(QStringLiteral("三"), QStringLiteral("a.png"), QStringLiteral("2"))});
        QCOMPARE(f.logic->start(1), GameLogic::StartResult::Playing);
        QCOMPARE(f.logic->SceneIndex(), 1);
        QCOMPARE(f.surface.caption, QStringLiteral("二")); // whole, no reveal
        QVERIFY(!f.surface.timerEnabled);
        QCOMPARE(f.surface.background.pixelColor(0, 0), QColor(Qt::green));
        QCOMPARE(f.surface.noteTop, 2520);
        QVERIFY(f.surface.bold);
        QCOMPARE(f.music.commands.size(), 2); // the game's music plays from the start
        f.logic->AdvanceScene();
        QCOMPARE(f.logic->SceneIndex(), 2);
        QVERIFY(f.surface.timerEnabled); // the next scene is typed out
        f.logic->AdvanceScene();
        QVERIFY(f.logic->ended());
    }

    void withoutSettingsFileDefaultsApplyAndNoMusicIsOpened()
    {
        Fixture f({scene(QStringLiteral("a")), scene(QStringLiteral("b"))}, nullptr);
        QCOMPARE(f.start(), GameLogic::StartResult::Playing);
        QCOMPARE(f.surface.title, QStringLiteral("Tavrin文字游戏工具 http://www.tavrin.example"));
        QVERIFY(f.music.commands.isEmpty());
        QCOMPARE(f.surface.interval, 300);
        QVERIFY(f.surface.fontName.isEmpty());
        // An absent skip setting is not "0": the box takes no click during the reveal.
        QVERIFY(f.surface.click());
        QVERIFY(!f.surface.msgEnabled);
        f.surface.runFor(600);
        QVERIFY(f.surface.click());
        QVERIFY(f.logic->ended());
        QCOMPARE(f.music.commands, QStringList{QStringLiteral("close ")});
    }

    void emptyMusicNameStillSendsBothCommands()
    {
        Fixture f({scene(QStringLiteral("a"))}, "1", "100", "");
        f.start();
        QCOMPARE(f.music.commands, (QStringList{QStringLiteral("Open \"Music\\ \" alias File"),
                                                QStringLiteral("play Music\\")}));
    }

    void intervalFromSettingsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("interval"); // 0: texts appear at once
        QTest::newRow("250") << "250" << 250;
        QTest::newRow("12.5 to even") << "12.5" << 12;
        QTest::newRow("13.5 to even") << "13.5" << 14;
        QTest::newRow("leading blanks") << "  20" << 20;
        QTest::newRow("digits then letters") << "100ms" << 100;
        QTest::newRow("letters only") << "abc" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("negative") << "-50" << 0;
        QTest::newRow("too long") << "70000" << 65535;
        QTest::newRow("0.4 rounds to 0") << "0.4" << 0;
        QTest::newRow("exponent") << "2.5e1" << 25;
        QTest::newRow("e without digits") << "30em" << 30;
    }
    void intervalFromSettingsText()
    {
        QFETCH(QString, text);
        QFETCH(int, interval);
        Fixture f({scene(QStringLiteral("a")), scene(QStringLiteral("bcd"))}, "1",
                  text.toUtf8().constData());
        f.start();
        QCOMPARE(f.logic->interval(), interval);
        f.surface.click();
        if (interval == 0) {
            // The text still appears: whole, at once, and the box stays clickable.
            QCOMPARE(f.surface.caption, QStringLiteral("bcd"));
            QVERIFY(!f.surface.timerEnabled);
            QVERIFY(f.surface.msgEnabled);
        } else {
            QCOMPARE(f.surface.interval, interval);
            QVERIFY(f.surface.timerEnabled);
        }
    }

    void startUpPictureChecks_data()
    {
        QTest::addColumn<QString>("bg");
        QTest::addColumn<QString>("msg");
        QTest::addColumn<QString>("message");
        QTest::newRow("both missing: the box is named") << "x.png"
                                                        << "y.png"
                                                        << "提示|加载错误，没有找到Msg\\y.png";
        QTest::newRow("empty background name") << ""
                                               << "m.png"
                                               << "提示|加载错误，没有找到BG\\";
        QTest::newRow("exists but cannot be decoded") << "broken.png"
                                                      << "m.png"
                                                      << "提示|加载错误，没有找到BG\\broken.png";
        QTest::newRow("too large to decode") << "huge.bmp"
                                             << "m.png"
                                             << "提示|加载错误，没有找到BG\\huge.bmp";
        QTest::newRow("other letter case is found") << "A.PNG"
                                                    << "M.png"
                                                    << "";
    }
    void startUpPictureChecks()
    {
        QFETCH(QString, bg);
        QFETCH(QString, msg);
        QFETCH(QString, message);
        SceneRec rec = scene(QStringLiteral("t"), bg);
        rec[SceneField::Msg] = msg;
        Fixture f({rec});
        const auto result = f.start();
        QCOMPARE(f.surface.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(result, message.isEmpty() ? GameLogic::StartResult::Playing
                                           : GameLogic::StartResult::EndProgram);
    }

    void nothingToPlayIsSaidPlainly()
    {
        Fixture f({});
        QCOMPARE(f.start(), GameLogic::StartResult::NoGame);
        QCOMPARE(f.surface.messages,
                 QStringList{QStringLiteral("提示|这个游戏还没有场景,没有可以玩的内容。"
                                            "请先用“游戏编辑”增加场景。")});
        QFile::remove(f.dir.filePath(QStringLiteral("Game.txt")));
        QFile::remove(f.dir.filePath(QStringLiteral("Game.ini")));
        f.surface.messages.clear();
        QCOMPARE(f.start(), GameLogic::StartResult::NoGame);
        QCOMPARE(f.surface.messages,
                 QStringList{QStringLiteral("提示|这个文件夹里没有游戏(没有Game.txt和Game.ini),"
                                            "没有可以玩的内容。")});
    }

    void damagedScriptWarnsAndTheFirstClickCloses()
    {
        Fixture f({scene(QStringLiteral("a"))});
        TestUtil::writeBytes(f.dir.filePath(QStringLiteral("Game.txt")),
                             TestUtil::sceneBytes("a") + "x\r\n");
        QCOMPARE(f.start(), GameLogic::StartResult::NoScenes);
        QCOMPARE(f.surface.messages,
                 QStringList{QStringLiteral("警告:|Game.txt数据受损,无法使用")});
        QCOMPARE(f.surface.caption, QStringLiteral("GameNote"));
        QVERIFY(f.surface.click());
        QVERIFY(f.logic->ended());
        QVERIFY(!f.surface.msgVisible);
        QCOMPARE(f.surface.background.pixelColor(0, 0).blue() > 200, true);
    }

    void revealOfFiveCharactersAtOneHundredMilliseconds()
    {
        Fixture f({scene(QStringLiteral("a")), scene(QStringLiteral("一二三四五"))});
        f.start();
        QVERIFY(f.surface.click());
        QCOMPARE(f.surface.caption, QString());
        QVERIFY(!f.surface.msgEnabled);
        const QStringList expected{"一", "一二", "一二三", "一二三四", "一二三四五"};
        for (const QString &text : expected) {
            f.surface.runFor(100);
            QCOMPARE(f.surface.caption, text);
            QVERIFY(!f.surface.msgEnabled);
            QVERIFY(!f.surface.click());
        }
        f.surface.runFor(100); // 600 ms: the reveal ends
        QCOMPARE(f.surface.caption, QStringLiteral("一二三四五"));
        QVERIFY(!f.surface.timerEnabled);
        QVERIFY(f.surface.msgEnabled);
        QCOMPARE(f.logic->RevealCount(), 0);
    }

    void emptyTextEndsTheRevealAtTheFirstTick()
    {
        Fixture f({scene(QStringLiteral("a")), scene(QString())});
        f.start();
        f.surface.click();
        f.surface.runFor(100);
        QCOMPARE(f.surface.caption, QString());
        QVERIFY(!f.surface.timerEnabled);
        QVERIFY(f.surface.msgEnabled);
    }

    void skipZeroLetsClicksCutTheRevealShort()
    {
        Fixture f({scene(QStringLiteral("a")), scene(QStringLiteral("abcdef")),
                   scene(QStringLiteral("uvwxyz")), scene(QStringLiteral("end"))},
                  "0");
        f.start();
        QVERIFY(f.surface.click());
        f.surface.runFor(300);
        QCOMPARE(f.surface.caption, QStringLiteral("abc"));
        QVERIFY(f.surface.msgEnabled);
        QVERIFY(f.surface.click());
        QVERIFY(f.surface.click());
        QVERIFY(f.surface.click());
        QVERIFY(f.logic->ended());
    }

    void revealCutShortDoesNotShowTheNextTextsFirstCharactersAtOnce()
    {
        Fixture f({scene(QStringLiteral("a")), scene(QStringLiteral("abcdef")),
                   scene(QStringLiteral("uvwxyz"))},
                  "0");
        f.start();
        f.surface.click();
        f.surface.runFor(400);
        f.surface.click();
        QCOMPARE(f.surface.caption, QString());
        f.surface.runFor(100);
        QCOMPARE(f.surface.caption, QStringLiteral("u"));
    }

    void equalTextInARowIsShownWholeAndStopsARunningReveal()
    {
        Fixture f({scene(QStringLiteral("a")), scene(QStringLiteral("same text")),
                   scene(QStringLiteral("same text"))},
                  "0");
        f.start();
        f.surface.click();
        f.surface.runFor(200);
        f.surface.click(); // cut short onto the equal text
        QCOMPARE(f.surface.caption, QStringLiteral("same text"));
        QVERIFY(!f.surface.timerEnabled);
        f.surface.runFor(1000);
        QCOMPARE(f.surface.caption, QStringLiteral("same text"));
    }

    void codesAtStartUpMatchOnlyExactDigits()
    {
        Fixture f({scene(QStringLiteral("a"), QStringLiteral("a.png"), QStringLiteral("1.0"),
                         QStringLiteral("7"), QStringLiteral("6"), QStringLiteral(" 2"),
                         QStringLiteral("01"))});
        f.start();
        QCOMPARE(f.surface.noteTopSets, 0);
        QCOMPARE(f.surface.msgTopSets, 0);
        QVERIFY(!f.surface.bold && !f.surface.italic && !f.surface.underline);
        QCOMPARE(f.surface.noteSize, 9);
        QCOMPARE(f.surface.colour, (NoteColour{false, 0}));
    }

    void positionsAreAppliedOnlyWhenTheCodeTextChanges()
    {
        Fixture f({scene(QStringLiteral("a"), QStringLiteral("a.png"), QStringLiteral("0")),
                   scene(QStringLiteral("b"), QStringLiteral("b.bmp"), QStringLiteral("1.0")),
                   scene(QStringLiteral("c"), QStringLiteral("a.png"), QStringLiteral("1.0")),
                   scene(QStringLiteral("d"), QStringLiteral("a.png"), QStringLiteral("7")),
                   scene(QStringLiteral("e"), QStringLiteral("a.png"), QStringLiteral(" 2 "))},
                  "0", "10");
        f.start();
        QCOMPARE(f.surface.noteTop, 480);
        const int boxSets = f.surface.msgTopSets;
        f.surface.click();
        QCOMPARE(f.surface.noteTop, 2520);
        QCOMPARE(f.surface.background.pixelColor(0, 0), QColor(Qt::green));
        const int sets = f.surface.noteTopSets;
        f.surface.click();
        QCOMPARE(f.surface.noteTopSets, sets);
        f.surface.click(); // 7 is a number outside the table: the Top stays
        QCOMPARE(f.surface.noteTop, 2520);
        QVERIFY(!f.logic->ended());
        f.surface.click();
        QCOMPARE(f.surface.noteTop, 5280);
        QCOMPARE(f.surface.msgTopSets, boxSets); // the box code never changed
    }

    void stylesSizesAndColoursInTheAdvanceForm()
    {
        Fixture f({scene(QStringLiteral("a"), QStringLiteral("a.png"), QStringLiteral("2"),
                         QStringLiteral("6"), QStringLiteral("5"), QStringLiteral("4")),
                   scene(QStringLiteral("b"), QStringLiteral("a.png"), QStringLiteral("2"),
                         QStringLiteral("7"), QStringLiteral("6"), QStringLiteral("6")),
                   scene(QStringLiteral("c"), QStringLiteral("a.png"), QStringLiteral("2"),
                         QStringLiteral(" 3 "), QStringLiteral("1.0"), QStringLiteral("0"))},
                  "0", "10");
        f.start();
        QVERIFY(f.surface.bold && f.surface.italic && f.surface.underline);
        QCOMPARE(f.surface.colour, (NoteColour{false, qRgb(0, 255, 255)}));
        f.surface.click(); // style 7 and size 6 leave what was; colour 6 is black
        QVERIFY(f.surface.bold && f.surface.italic && f.surface.underline);
        QCOMPARE(f.surface.noteSize, 24);
        QCOMPARE(f.surface.colour, (NoteColour{false, qRgb(0, 0, 0)}));
        f.surface.click();
        QVERIFY(!f.surface.bold && !f.surface.italic && f.surface.underline);
        QCOMPARE(f.surface.noteSize, 16);
        QVERIFY(f.surface.colour.systemButtonText);
    }

    void everyAdvanceFailureRunsTheClosing_data()
    {
        QTest::addColumn<int>("failing"); // scene position that fails
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("empty style") << 2 << int(SceneField::FontSet) << "";
        QTest::newRow("size not a number") << 2 << int(SceneField::FontSize) << "abc";
        QTest::newRow("colour not a number") << 2 << int(SceneField::FontColor) << "1,0";
        QTest::newRow("changed position not a number") << 2 << int(SceneField::FontWZ) << "x";
        QTest::newRow("changed box position empty") << 2 << int(SceneField::MsgWZ) << "";
        QTest::newRow("missing background") << 2 << int(SceneField::BG) << "gone.png";
        QTest::newRow("broken background") << 2 << int(SceneField::BG) << "broken.png";
        QTest::newRow("after the last scene") << 5 << int(SceneField::Note) << "";
    }
    void everyAdvanceFailureRunsTheClosing()
    {
        QFETCH(int, failing);
        QFETCH(int, field);
        QFETCH(QString, value);
        QList<SceneRec> scenes;
        for (int i = 0; i < 5; ++i)
            scenes.append(scene(QStringLiteral("text %1").arg(i)));
        if (failing < 5)
            scenes[failing][SceneField(field)] = value;
        Fixture f(scenes, "0", "10");
        f.start();
        for (int i = 1; i < failing; ++i) {
            f.surface.click();
            QVERIFY(!f.logic->ended());
        }
        f.surface.click();
        QVERIFY(f.logic->ended());
        QCOMPARE(f.logic->SceneIndex(), failing);
        QCOMPARE(f.surface.background.pixelColor(0, 0).blue() > 200, true); // over.jpg
        QCOMPARE(f.surface.caption, QString());
        QVERIFY(!f.surface.msgVisible);
        QVERIFY(!f.surface.timerEnabled); // no text types over the closing picture
        QCOMPARE(f.music.commands.last(), QStringLiteral("close Music\\song.mid"));
        QVERIFY(!f.surface.click());
    }

    void missingClosingPictureEndsOnAPlainBackground()
    {
        Fixture f({scene(QStringLiteral("a"))});
        QFile::remove(f.dir.filePath(QStringLiteral("BG/over.jpg")));
        f.start();
        f.surface.click();
        QVERIFY(f.logic->ended());
        QVERIFY(f.surface.background.isNull());
        QVERIFY(!f.surface.msgVisible);
    }

    void textLongerThan32767CharactersIsRevealedToTheEnd()
    {
        const QString longText(33000, QChar(u'字'));
        Fixture f({scene(QStringLiteral("a")), scene(longText)}, "1", "10");
        f.start();
        f.surface.click();
        f.surface.runFor(10 * 32768);
        QCOMPARE(f.surface.caption.size(), 32768);
        f.surface.runFor(10 * (33001 - 32768));
        QCOMPARE(f.surface.caption, longText);
        QVERIFY(f.surface.msgEnabled);
    }
};

QTEST_MAIN(TestGameLogic)
#include "tst_gamelogic.moc"
