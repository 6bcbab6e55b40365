#include "playerfakes.h"
#include "playtexts.h"
#include "readerdata.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "startup.h"
#include "testutil.h"
#include "userfolders.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

SceneRec scene(const QString &note, const QString &bg = QStringLiteral("a.png"))
{
    SceneRec rec;
    rec.fields = {note,
                  bg,
                  QStringLiteral("m.png"),
                  QStringLiteral("2"),
                  QStringLiteral("0"),
                  QStringLiteral("0"),
                  QStringLiteral("0"),
                  QStringLiteral("2")};
    return rec;
}

QStringList notes(int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list.append(QStringLiteral("第%1幕的话").arg(i));
    return list;
}

// A game folder and the reader's folder for it; a session is one run of the player on them.
struct Game
{
    QTemporaryDir dir;
    QTemporaryDir readerDir;

    explicit Game(const QStringList &texts, const char *skip = "0")
    {
        auto picture = [&](const char *rel, QColor c, QSize size) {
            writePicture(dir.filePath(QString::fromLatin1(rel)), c, size);
        };
        picture("BG/a.png", Qt::red, QSize(638, 482));
        picture("BG/b.png", Qt::green, QSize(638, 482));
        picture("BG/over.jpg", Qt::blue, QSize(320, 240));
        picture("Msg/m.png", Qt::white, QSize(600, 120));
        writeScenes(texts);
        QVERIFY(
            WriteSettings(GameFolder(dir.path()),
                          GameSettings{QStringLiteral("读者"), QStringLiteral("song.mid"),
                                       QString(), QStringLiteral("100"), QString::fromLatin1(skip)})
                .ok);
    }
    void writeScenes(const QStringList &texts)
    {
        SceneLists lists;
        for (int i = 0; i < texts.size(); ++i)
            lists.append(
                scene(texts.at(i), i % 2 ? QStringLiteral("b.png") : QStringLiteral("a.png")));
        QVERIFY(RewriteScript(GameFolder(dir.path()), lists).ok);
    }
};

struct Session
{
    RecordingMusic music;
    FakeSurface surface;
    ReaderData reader;
    GameLogic logic;

    /// @p readerName: the reader's folder, inside the game's reader folder.
    Session(Game &game, const ReaderSettings &settings = {}, const char *readerName = "game")
        : reader(game.readerDir.filePath(QString::fromLatin1(readerName))),
          logic(GameFolder(game.dir.path()), surface, music)
    {
        surface.logic = &logic;
        logic.setReader(&reader);
        logic.setReaderSettings(settings);
    }
    /// Clicks on until scene @p i shows, each text typed out first.
    void playTo(int i)
    {
        while (logic.SceneIndex() < i) {
            surface.runFor(5000);
            QVERIFY(surface.click());
        }
        surface.runFor(5000);
    }
};

} // namespace

class TestReader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Continue opens where the reader left the game, in a later run, even after the author
    // cut the game short; the command line asks for it with --continue.
    void continueOpensTheLastSceneShown()
    {
        Game game(notes(5));
        {
            Session first(game);
            QCOMPARE(first.logic.start(), GameLogic::StartResult::Playing);
            first.playTo(3);
        }
        ReaderData kept(game.readerDir.filePath(QStringLiteral("game")));
        QCOMPARE(kept.lastScene(), 3);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(kept.seen(i), i <= 3);
        QCOMPARE(GameLogic::continueScene(kept, 5), 3);
        QCOMPARE(GameLogic::continueScene(kept, 2), 1); // the game lost scenes since
        QCOMPARE(GameLogic::continueScene(
                     ReaderData(game.readerDir.filePath(QStringLiteral("none"))), 5),
                 0);
        // "继续" is offered for a game played before, also when only its first scene was shown.
        QVERIFY(kept.hasPlace());
        QVERIFY(!ReaderData(game.readerDir.filePath(QStringLiteral("none"))).hasPlace());
        {
            Session stoppedAtFirst(game, {}, "first");
            QCOMPARE(stoppedAtFirst.logic.start(), GameLogic::StartResult::Playing);
        }
        QVERIFY(ReaderData(game.readerDir.filePath(QStringLiteral("first"))).hasPlace());

        Session again(game);
        QCOMPARE(again.logic.start(GameLogic::continueScene(again.reader, 5)),
                 GameLogic::StartResult::Playing);
        QCOMPARE(again.surface.caption, QStringLiteral("第4幕的话")); // whole, as --scene shows it

        const Startup::Request resume = Startup::parseCommandLine(
            Startup::Program::Player,
            {QStringLiteral("talerun"), QStringLiteral("--continue"), game.dir.path()});
        QCOMPARE(resume.kind, Startup::Request::OpenFolder);
        QVERIFY(resume.resume);
        QCOMPARE(resume.folder, game.dir.path());
        QVERIFY(!Startup::parseCommandLine(Startup::Program::Player,
                                           {QStringLiteral("talerun"), game.dir.path()})
                     .resume); // a plain start stays at the first scene
    }

    // A save taken, the player closed and started again, and the save loaded: the same scene,
    // picture and text; the backlog has what was read and then the loaded scene.
    void saveRestartLoadShowsTheSameScene()
    {
        Game game(notes(5));
        SavedPlace place;
        {
            Session first(game);
            first.logic.start();
            first.playTo(3);
            place = *first.logic.currentPlace();
            place.picture = QByteArrayLiteral("png");
            QVERIFY(first.reader.save(2, place).ok);
            QCOMPARE(first.logic.backlog().size(), 4);
            QCOMPARE(first.logic.backlog().at(3).text, QStringLiteral("第4幕的话"));
            QCOMPARE(first.logic.backlog().at(3).scene, 3);
        }
        Session again(game);
        again.logic.start();
        const std::optional<SavedPlace> saved = again.reader.slot(2);
        QVERIFY(saved);
        QCOMPARE(saved->scene, 3);
        QCOMPARE(saved->sceneCount, 5);
        QCOMPARE(saved->text, QStringLiteral("第4幕的话"));
        QCOMPARE(saved->time.toSecsSinceEpoch(), place.time.toSecsSinceEpoch());
        QCOMPARE(saved->picture, QByteArrayLiteral("png"));
        QVERIFY(!again.reader.slot(3));
        QVERIFY(again.logic.loadPlace(*saved));
        QCOMPARE(again.logic.SceneIndex(), 3);
        QCOMPARE(again.surface.caption, QStringLiteral("第4幕的话"));
        QCOMPARE(again.surface.background.pixelColor(0, 0), QColor(Qt::green));
        QVERIFY(again.surface.messages.isEmpty());
        QCOMPARE(again.music.commands.count(QStringLiteral("play Music\\song.mid")), 1);
        QCOMPARE(again.logic.backlog().size(), 2);
        QCOMPARE(again.logic.backlog().last().scene, 3);
        QVERIFY(again.surface.click()); // and it plays on from there
        QCOMPARE(again.logic.SceneIndex(), 4);

        // Loaded after the ending: the box is back and the music, closed at the ending, plays.
        again.surface.runFor(5000);
        QVERIFY(again.surface.click());
        QVERIFY(again.logic.ended());
        QVERIFY(!again.logic.currentPlace()); // nothing to save at the ending
        QVERIFY(again.logic.loadPlace(*saved));
        QVERIFY(!again.logic.ended());
        QVERIFY(again.surface.msgVisible);
        QCOMPARE(again.music.commands.last(), QStringLiteral("play Music\\song.mid"));
        QVERIFY(again.surface.click());
        QCOMPARE(again.logic.SceneIndex(), 4);
    }

    // Two windows on one game, both opened before either wrote: every scene either has seen
    // stays seen, whichever writes last; the place is the one written last.
    void twoWindowsOnOneGameKeepEverySceneSeen()
    {
        Game game(notes(50));
        Session first(game), second(game);
        first.logic.start();
        second.logic.start();
        first.playTo(49);
        QVERIFY(first.reader.keepPlace().ok);
        second.playTo(1);
        QVERIFY(second.reader.keepPlace().ok);
        const ReaderData kept(game.readerDir.filePath(QStringLiteral("game")));
        QCOMPARE(kept.lastScene(), 1);
        for (int i = 0; i < 50; ++i)
            QVERIFY2(kept.seen(i), qPrintable(QString::number(i)));
    }

    // A save that cannot be written (here its record is marked read-only) leaves the slot as
    // it was: the earlier save with its own picture, never the new picture beside the old save.
    void aFailedSaveLeavesTheSlotWithItsOwnPicture()
    {
        Game game(notes(3));
        Session s(game);
        s.logic.start();
        SavedPlace earlier = *s.logic.currentPlace();
        earlier.picture = QByteArrayLiteral("earlier picture");
        QVERIFY(s.reader.save(1, earlier).ok);
        s.playTo(2);
        SavedPlace later = *s.logic.currentPlace();
        later.picture = QByteArrayLiteral("later picture");
        const QString record = QDir(s.reader.folder()).filePath(QStringLiteral("slot-1.json"));
        QVERIFY(QFile::setPermissions(record, QFileDevice::ReadOwner));
        const WriteResult written = s.reader.save(1, later);
        QFile::setPermissions(record, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(!written.ok);
        const std::optional<SavedPlace> kept = s.reader.slot(1);
        QVERIFY(kept);
        QCOMPARE(kept->scene, 0);
        QCOMPARE(kept->picture, QByteArrayLiteral("earlier picture"));
    }

    // The author removed scenes after the save: the nearest scene opens, and the reader is told.
    void aSaveOfAGameThatLostScenesLoadsTheNearest()
    {
        Game game(notes(6));
        Session first(game);
        first.logic.start();
        first.playTo(5);
        QVERIFY(first.reader.save(1, *first.logic.currentPlace()).ok);
        game.writeScenes(notes(3));
        Session again(game);
        again.logic.start();
        QVERIFY(again.logic.loadPlace(*again.reader.slot(1)));
        QCOMPARE(again.logic.SceneIndex(), 2);
        QCOMPARE(again.surface.caption, QStringLiteral("第3幕的话"));
        QCOMPARE(again.surface.messages, QStringList{PlayerTexts::kMissingPictureTitle + u'|' +
                                                     PlayerTexts::kSavedSceneGone.arg(6).arg(3)});
    }

    // Auto waits for the whole text, then for a pause that grows with it; a click stops it,
    // and so does the ending.
    void autoAdvancesAfterTheRevealAndStopsOnAClick()
    {
        Game game(notes(4));
        Session s(game);
        s.logic.start();
        s.logic.setMode(GameLogic::Mode::Auto);
        const int pause = GameLogic::autoPause(QStringLiteral("第1幕的话").size());
        s.surface.runFor(pause - 1);
        QCOMPARE(s.logic.SceneIndex(), 0);
        s.surface.runFor(1);
        QCOMPARE(s.logic.SceneIndex(), 1);
        s.surface.runFor(5 * 100); // typing "第2幕的话"
        QVERIFY(s.surface.timerEnabled);
        QCOMPARE(s.logic.SceneIndex(), 1);
        s.surface.runFor(100 + pause);
        QCOMPARE(s.logic.SceneIndex(), 2);
        QVERIFY(s.surface.click());
        QCOMPARE(s.logic.mode(), GameLogic::Mode::Normal);
        QCOMPARE(s.logic.SceneIndex(), 3);
        s.surface.runFor(60000);
        QCOMPARE(s.logic.SceneIndex(), 3);

        s.logic.setMode(GameLogic::Mode::Auto);
        s.surface.runFor(60000);
        QVERIFY(s.logic.ended());
        QCOMPARE(s.logic.mode(), GameLogic::Mode::Normal);
    }

    // Skip passes quickly over scenes seen in an earlier run, text shown at once; it stops at
    // the first unseen scene, unless the reader skips everything, and then "不能跳过" still
    // has the unseen scene typed out with the box closed to clicks.
    void skipPassesSeenScenes_data()
    {
        QTest::addColumn<bool>("skipAll");
        QTest::addColumn<QString>("skipCode");
        QTest::addColumn<int>("stopsAt"); // -1: runs to the ending
        QTest::addColumn<bool>("unseenTyped");
        QTest::newRow("read only") << false << "0" << 3 << true;
        QTest::newRow("all, 能跳过") << true << "0" << -1 << false;
        QTest::newRow("all, 不能跳过") << true << "1" << -1 << true;
    }
    void skipPassesSeenScenes()
    {
        QFETCH(bool, skipAll);
        QFETCH(QString, skipCode);
        QFETCH(int, stopsAt);
        QFETCH(bool, unseenTyped);
        Game game(notes(5), skipCode.toLatin1().constData());
        {
            Session first(game);
            first.logic.start();
            first.playTo(2);
        }
        ReaderSettings settings;
        settings.skipAll = skipAll;
        Session s(game, settings);
        s.logic.start();
        s.logic.setMode(GameLogic::Mode::Skip);
        s.surface.runFor(GameLogic::kSkipPause);
        QCOMPARE(s.logic.SceneIndex(), 1);
        QVERIFY(!s.surface.timerEnabled); // seen: the whole text at once
        QCOMPARE(s.surface.caption, QStringLiteral("第2幕的话"));
        s.surface.runFor(2 * GameLogic::kSkipPause);
        QCOMPARE(s.logic.SceneIndex(), 3); // the first scene not seen before
        QCOMPARE(s.surface.timerEnabled, unseenTyped);
        QCOMPARE(s.surface.msgEnabled, !(unseenTyped && skipCode == u"1"));
        s.surface.runFor(20000);
        if (stopsAt >= 0) {
            QCOMPARE(s.logic.mode(), GameLogic::Mode::Normal);
            QCOMPARE(s.logic.SceneIndex(), stopsAt);
        } else {
            QVERIFY(s.logic.ended());
        }
    }

    // Hidden, the box and its text are gone and take no click; shown again, all is as before.
    void hideAndShowTheBox()
    {
        Game game(notes(2));
        Session s(game);
        s.logic.start();
        s.logic.setBoxHidden(true);
        QVERIFY(!s.surface.msgVisible);
        QVERIFY(!s.surface.noteVisible);
        QVERIFY(!s.surface.click());
        s.logic.setBoxHidden(false);
        QVERIFY(s.surface.msgVisible);
        QVERIFY(s.surface.noteVisible);
        QCOMPARE(s.surface.caption, QStringLiteral("第1幕的话"));
        QVERIFY(s.surface.click());
        QCOMPARE(s.logic.SceneIndex(), 1);
    }

    // The reader's volume and mute reach the mixer; the reader's text speed scales the game's.
    void volumeMuteAndTextSpeedAreApplied()
    {
        Game game(notes(2));
        ReaderSettings settings;
        settings.volume = 40;
        settings.textSpeed = 200;
        Session s(game, settings);
        s.logic.start();
        QCOMPARE(s.music.commands.first(), QStringLiteral("volume 40"));
        QCOMPARE(s.logic.interval(), 50);
        QCOMPARE(s.surface.interval, 50);
        settings.mute = true;
        s.logic.setReaderSettings(settings);
        QCOMPARE(s.music.commands.last(), QStringLiteral("volume 0"));

        const QString root = game.readerDir.filePath(QStringLiteral("root"));
        QVERIFY(ReaderData::writeSettings(root, settings).ok);
        const ReaderSettings read = ReaderData::readSettings(root);
        QCOMPARE((QList<int>{read.volume, read.textSpeed, int(read.mute)}),
                 (QList<int>{40, 200, 1}));
    }

    // A game folder that may not be written stays exactly as it was: place, seen scenes and
    // saves all go to the reader's folder.
    void nothingIsWrittenInTheGameFolder()
    {
        Game game(notes(3));
        const auto listing = [&] {
            QStringList files;
            QDirIterator it(game.dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                it.next();
                files.append(it.filePath() + u' ' +
                             QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch()));
            }
            files.sort();
            return files;
        };
        const QStringList before = listing();
        QFile::setPermissions(game.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        {
            Session s(game);
            s.logic.start();
            s.playTo(2);
            QVERIFY(s.reader.save(ReaderData::kQuickSlot, *s.logic.currentPlace()).ok);
        }
        QFile::setPermissions(game.dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
        QCOMPARE(listing(), before);
        QVERIFY(ReaderData(game.readerDir.filePath(QStringLiteral("game"))).slot(0));
        QCOMPARE(ReaderData(game.readerDir.filePath(QStringLiteral("game"))).lastScene(), 2);
    }

    // The same game opened through a link and directly keeps one place and one set of saves;
    // a reader's folder named as earlier versions named it is still found.
    void aGameThroughALinkIsTheSameGame()
    {
        QTemporaryDir home;
        const QString real = home.filePath(QStringLiteral("real"));
        const QString link = home.filePath(QStringLiteral("link"));
        QVERIFY(QDir().mkpath(real));
        QVERIFY(QFile::link(real, link));
        QCOMPARE(UserFolders::readerFor(link), UserFolders::readerFor(real));
        QCOMPARE(UserFolders::gamePath(link + QStringLiteral("/")), real);

        const QString earlier = [&] {
            const QByteArray hash =
                QCryptographicHash::hash(QDir::cleanPath(link).toUtf8(), QCryptographicHash::Sha1);
            return QDir(UserFolders::reader()).filePath(QString::fromLatin1(hash.toHex().left(16)));
        }();
        QVERIFY(QDir().mkpath(earlier));
        QCOMPARE(UserFolders::readerFor(link), earlier);
        QVERIFY(QDir(earlier).removeRecursively());
    }
};

QTEST_MAIN(TestReader)
#include "tst_reader.moc"
