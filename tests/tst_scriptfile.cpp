#include "filewrite.h"
#include "gbk.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "testutil.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestUtil;

namespace {
// 中 D6D0, 文 CEC4: written out so the goldens do not depend on the converter under test.
const QByteArray kChineseScene = QByteArray("\xd6\xd0\xce\xc4, \"q\" \r\n"
                                            "1.jpg\r\n1.png\r\n0\r\n4\r\n5\r\n6\r\n-1\r\n");

SceneRec chineseScene()
{
    SceneRec rec;
    rec.fields = {QStringLiteral("中文, \"q\" "),
                  QStringLiteral("1.jpg"),
                  QStringLiteral("1.png"),
                  QStringLiteral("0"),
                  QStringLiteral("4"),
                  QStringLiteral("5"),
                  QStringLiteral("6"),
                  QStringLiteral("-1")};
    return rec;
}
} // namespace

class TestScriptFile : public QObject
{
    Q_OBJECT
    QTemporaryDir *m_dir = nullptr;
    QString txt() const { return m_dir->filePath(QStringLiteral("Game.txt")); }
    GameFolder folder() const { return GameFolder(m_dir->path()); }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        FileWriteTesting::failAfterBytes(-1);
    }
    void cleanup()
    {
        FileWriteTesting::failAfterBytes(-1);
        QFile::setPermissions(m_dir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        delete m_dir;
    }

    void lineCounts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("scenes");
        const QByteArray one = sceneBytes("a");
        QTest::newRow("0 bytes") << QByteArray() << int(ScriptStatus::Loaded) << 0;
        QTest::newRow("7 lines") << one.left(one.lastIndexOf("2\r\n")) << int(ScriptStatus::Damaged)
                                 << 0;
        QTest::newRow("9 lines") << one + "x\r\n" << int(ScriptStatus::Damaged) << 0;
        QTest::newRow("16 lines") << one + one << int(ScriptStatus::Loaded) << 2;
        QTest::newRow("last line without CR LF")
            << one.chopped(2) << int(ScriptStatus::Loaded) << 1;
        QTest::newRow("extra CR LF at the end") << one + "\r\n" << int(ScriptStatus::Damaged) << 0;
        QByteArray many;
        for (int i = 0; i < kMaxScenes; ++i)
            many += one;
        QTest::newRow("4095 scenes") << many << int(ScriptStatus::Loaded) << kMaxScenes;
        QTest::newRow("4096 scenes") << many + one << int(ScriptStatus::TooManyScenes) << 0;
    }
    void lineCounts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(int, scenes);
        writeBytes(txt(), bytes);
        const ScriptLoad load = LoadScript(folder());
        QCOMPARE(int(load.status), status);
        QCOMPARE(load.scenes.count(), scenes);
        for (int f = 0; f < kSceneFieldCount; ++f)
            QCOMPARE(load.scenes.list(SceneField(f)).size(), scenes);
        if (load.status == ScriptStatus::Damaged) {
            QCOMPARE(load.message, QStringLiteral("Game.txt数据受损,无法使用"));
            QCOMPARE(readBytes(txt()), bytes); // never repaired at load
        }
    }

    void missingFileIsAnEmptyScript()
    {
        const ScriptLoad load = LoadScript(folder());
        QCOMPARE(load.status, ScriptStatus::Missing);
        QVERIFY(load.usable());
        QVERIFY(load.message.isEmpty());
    }

    void valuesAreReadRawIntoTheirLists()
    {
        writeBytes(txt(), kChineseScene +
                              sceneBytes(" lone\rCR\nLF ", "", "m.png", "1.0", "", "x", "", " 2"));
        const ScriptLoad load = LoadScript(folder());
        QCOMPARE(load.scenes.scene(0), chineseScene());
        QCOMPARE(load.scenes.NoteList.at(1), QStringLiteral(" lone\rCR\nLF "));
        QCOMPARE(load.scenes.BGList.at(1), QString());
        QCOMPARE(load.scenes.FontWZList.at(1), QStringLiteral("1.0"));
        QCOMPARE(load.scenes.MsgWZList.at(1), QStringLiteral(" 2"));
        QCOMPARE(load.scenes.at(SceneField::Note, 2), QString()); // past the end
        QCOMPARE(load.scenes.at(SceneField::MsgWZ, -1), QString());
    }

    void appendWritesEightLinesAndCreatesTheFile()
    {
        QVERIFY(AppendScene(folder(), chineseScene()).ok);
        QCOMPARE(readBytes(txt()), kChineseScene);
        SceneRec empty;
        QVERIFY(AppendScene(folder(), empty).ok);
        QCOMPARE(readBytes(txt()), kChineseScene + QByteArray("\r\n").repeated(8));
    }

    void appendAfterALastLineWithoutLineEndKeepsLinesApart()
    {
        writeBytes(txt(), sceneBytes("a").chopped(2));
        QVERIFY(AppendScene(folder(), chineseScene()).ok);
        QCOMPARE(readBytes(txt()), sceneBytes("a") + kChineseScene);
        QCOMPARE(LoadScript(folder()).scenes.count(), 2);
    }

    void rewriteIsByteExactAndEmptyGivesZeroBytes()
    {
        SceneLists lists;
        lists.append(chineseScene());
        lists.append(SceneRec());
        QVERIFY(RewriteScript(folder(), lists).ok);
        QCOMPARE(readBytes(txt()), kChineseScene + QByteArray("\r\n").repeated(8));
        QVERIFY(RewriteScript(folder(), SceneLists()).ok);
        QVERIFY(QFileInfo::exists(txt()));
        QCOMPARE(readBytes(txt()), QByteArray());
        QCOMPARE(LoadScript(folder()).status, ScriptStatus::Loaded);
    }

    void loadThenRewriteKeepsEveryByte()
    {
        // Stray bytes, a lone CR and LF, NUL, and a last line without CR LF elsewhere: a rewrite
        // must give back what was read (apart from the missing final CR LF).
        const QByteArray bytes =
            kChineseScene +
            sceneBytes("x\x81\x30y", "\xff.jpg", "a\rb", "\nz", "\xd6", "", "0", "2") +
            QByteArray("n\0ul\r\n", 6) + sceneBytes("").mid(2);
        writeBytes(txt(), bytes);
        const ScriptLoad load = LoadScript(folder());
        QCOMPARE(load.status, ScriptStatus::Loaded);
        QVERIFY(RewriteScript(folder(), load.scenes).ok);
        QCOMPARE(readBytes(txt()), bytes);
    }

    void demoGameRoundTripsByteForByte()
    {
        const GameFolder demo(QStringLiteral(DEMO_DIR));
        const ScriptLoad load = LoadScript(demo);
        QCOMPARE(load.status, ScriptStatus::Loaded);
        QVERIFY(load.scenes.count() >= 8);
        QVERIFY(RewriteScript(folder(), load.scenes).ok);
        QCOMPARE(readBytes(txt()), readBytes(QStringLiteral(DEMO_DIR "/Game.txt")));
        const SettingsRead settings = ReadSettings(demo);
        QVERIFY(settings.settings);
        QVERIFY(WriteSettings(folder(), *settings.settings).ok);
        QCOMPARE(readBytes(m_dir->filePath(QStringLiteral("Game.ini"))),
                 readBytes(QStringLiteral(DEMO_DIR "/Game.ini")));
    }

    void windowsNamedFileIsReadAndWrittenInPlace()
    {
        const QString upper = m_dir->filePath(QStringLiteral("GAME.TXT"));
        writeBytes(upper, sceneBytes("a"));
        const ScriptLoad load = LoadScript(folder());
        QCOMPARE(load.scenes.count(), 1);
        QVERIFY(RewriteScript(folder(), SceneLists()).ok);
        QCOMPARE(readBytes(upper), QByteArray());
        QVERIFY(!QFileInfo::exists(txt()));
    }

    void valuesThatWouldReadBackOtherwiseAreRefused_data()
    {
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("expectedError");
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb")
                               << QStringLiteral("该场景的内容含有换行,无法保存");
        QTest::newRow("emoji") << QStringLiteral("笑😀")
                               << QStringLiteral("该场景的内容含有GBK编码无法保存的字符：😀");
    }
    void valuesThatWouldReadBackOtherwiseAreRefused()
    {
        QFETCH(QString, note);
        QFETCH(QString, expectedError);
        writeBytes(txt(), kChineseScene);
        SceneRec rec;
        rec[SceneField::Note] = note;
        const WriteResult appended = AppendScene(folder(), rec);
        QVERIFY(!appended.ok);
        QCOMPARE(appended.error, expectedError);

        SceneLists lists;
        lists.append(chineseScene());
        lists.append(rec);
        const WriteResult rewritten = RewriteScript(folder(), lists);
        QVERIFY(!rewritten.ok);
        QVERIFY2(rewritten.error.startsWith(QStringLiteral("第2个场景的内容")),
                 qPrintable(rewritten.error));
        QCOMPARE(readBytes(txt()), kChineseScene);
    }

    // Nothing is written that reading would refuse: past the size or the scene count, each way
    // of writing Game.txt says why before it touches the file.
    void writesPastTheReadingLimitsAreRefused_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<int>("scenes");      // scenes there before (append), or written (rewrite)
        QTest::addColumn<qint64>("bytes");    // bytes written (restore)
        QTest::addColumn<QString>("problem"); // empty: written
        const QString unreadable = QStringLiteral(",保存后编辑器和播放器都将无法打开它");
        QTest::newRow("append the 4095th scene") << "append" << kMaxScenes - 1 << 0LL << QString();
        QTest::newRow("append the 4096th scene")
            << "append" << kMaxScenes << 0LL
            << QStringLiteral("Game.txt将超过4095个场景(可以打开的上限)") + unreadable;
        QTest::newRow("rewrite 4095 scenes") << "rewrite" << kMaxScenes << 0LL << QString();
        QTest::newRow("rewrite 4096 scenes")
            << "rewrite" << kMaxScenes + 1 << 0LL
            << QStringLiteral("Game.txt将超过4095个场景(可以打开的上限)") + unreadable;
        QTest::newRow("restore 256 MB") << "restore" << 0 << kMaxScriptBytes << QString();
        QTest::newRow("restore 256 MB and a byte")
            << "restore" << 0 << kMaxScriptBytes + 1
            << QStringLiteral("Game.txt将超过256MB(可以打开的上限)") + unreadable;
    }
    void writesPastTheReadingLimitsAreRefused()
    {
        QFETCH(QString, write);
        QFETCH(int, scenes);
        QFETCH(qint64, bytes);
        QFETCH(QString, problem);
        SceneLists lists;
        for (int i = 0; i < scenes; ++i)
            lists.append(chineseScene());
        const QByteArray before =
            write == u"append" ? kChineseScene.repeated(scenes) : kChineseScene;
        writeBytes(txt(), before);
        FileStamp stamp = FileStamp::of(before);
        WriteResult written;
        if (write == u"append")
            written = AppendScene(folder(), chineseScene(), &stamp);
        else if (write == u"rewrite")
            written = RewriteScript(folder(), lists, &stamp);
        else
            written = RestoreScript(folder(), QByteArray(bytes, 'a'), &stamp);
        QCOMPARE(written.error, problem);
        QCOMPARE(QFileInfo(txt()).size() == before.size(), !problem.isEmpty());
        if (!problem.isEmpty()) {
            QCOMPARE(readBytes(txt()), before);
            QVERIFY(stamp == FileStamp::of(before));
        }
    }

    void failedWritesLeaveTheFileAsItWas_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only file") << "rofile" << QStringLiteral("文件是只读的");
        QTest::newRow("disk full part way through a write")
            << "write" << QStringLiteral("磁盘空间不足");
        QTest::newRow("disk full when the bytes are flushed")
            << "flush" << QStringLiteral("磁盘空间不足");
    }
    void failedWritesLeaveTheFileAsItWas()
    {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        writeBytes(txt(), kChineseScene);
        if (how == u"rofile")
            QFile::setPermissions(txt(), QFile::ReadOwner | QFile::ReadGroup);
        else if (how == u"write")
            FileWriteTesting::failAfterBytes(5);
        else
            FileWriteTesting::failAt(FileWriteTesting::Step::Flush);

        const WriteResult appended = AppendScene(folder(), chineseScene());
        QVERIFY(!appended.ok);
        QCOMPARE(appended.error, QStringLiteral("无法写入Game.txt：") + reason);
        QCOMPARE(readBytes(txt()), kChineseScene);

        SceneLists lists;
        lists.append(chineseScene());
        lists.append(chineseScene());
        const WriteResult rewritten = RewriteScript(folder(), lists);
        QVERIFY(!rewritten.ok);
        QCOMPARE(rewritten.error, QStringLiteral("无法写入Game.txt：") + reason);
        QCOMPARE(readBytes(txt()), kChineseScene);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("Game.txt")});
    }

    void rewriteReportsAFailedCommit()
    {
        writeBytes(txt(), kChineseScene);
        FileWriteTesting::failAt(FileWriteTesting::Step::Commit);
        QVERIFY(!RewriteScript(folder(), SceneLists()).ok);
        QCOMPARE(readBytes(txt()), kChineseScene);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("Game.txt")});
    }

    void folderThatTakesNoNewFilesIsWrittenInPlace_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("ok");
        QTest::newRow("no fault") << "" << true;
        QTest::newRow("disk full part way") << "write" << false;
        QTest::newRow("disk full at the flush") << "flush" << false;
    }
    void folderThatTakesNoNewFilesIsWrittenInPlace()
    {
        QFETCH(QString, fault);
        QFETCH(bool, ok);
        const QByteArray before = kChineseScene + kChineseScene;
        writeBytes(txt(), before);
        QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
        if (fault == u"write")
            FileWriteTesting::failAfterBytes(9);
        else if (fault == u"flush")
            FileWriteTesting::failAt(FileWriteTesting::Step::Flush);

        SceneLists one;
        one.append(chineseScene());
        const WriteResult rewritten = RewriteScript(folder(), one);
        QCOMPARE(rewritten.ok, ok);
        QCOMPARE(readBytes(txt()), ok ? kChineseScene : before);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("Game.txt")});
        if (ok) {
            // Appending needs no new file either.
            QVERIFY(AppendScene(folder(), SceneRec()).ok);
            QCOMPARE(readBytes(txt()), kChineseScene + QByteArray("\r\n").repeated(8));
        }
    }

    void folderThatTakesNoNewFilesRefusesToCreateOne()
    {
        QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
        const WriteResult r = AppendScene(folder(), chineseScene());
        QCOMPARE(r.error, QStringLiteral("无法写入Game.txt：所在文件夹是只读的"));
        QVERIFY(!RewriteScript(folder(), SceneLists()).ok);
        QVERIFY(!QFileInfo::exists(txt()));
    }

    void linkedScriptIsReadAndWrittenThroughTheLink()
    {
        // The author keeps the scenes elsewhere and links them into the game folder.
        QTemporaryDir shared;
        const QString real = shared.filePath(QStringLiteral("story.txt"));
        writeBytes(real, kChineseScene + sceneBytes("two"));
        QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QVERIFY(QFile::link(real, txt()));

        const ScriptLoad load = LoadScript(folder());
        QCOMPARE(load.scenes.count(), 2);
        SceneLists lists = load.scenes;
        lists.remove(0);
        QVERIFY(RewriteScript(folder(), lists).ok);
        QVERIFY(AppendScene(folder(), chineseScene()).ok);
        QCOMPARE(readBytes(real), sceneBytes("two") + kChineseScene);
        QVERIFY(QFileInfo(txt()).isSymLink());
        const QFile::Permissions modeBits(0x7077);
        QCOMPARE(QFileInfo(real).permissions() & modeBits,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("Game.txt")});
        QCOMPARE(QDir(shared.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("story.txt")});
    }

    void linksInAFolderOpenedThroughALinkLeadWhereReadingLeads()
    {
        // The game data/games/g1 is opened as home/mygame; its files are links
        // "../shared/…", which the system resolves from g1's real folder, not from home.
        const QDir root(m_dir->path());
        for (const char *folder : {"data/games/g1", "data/games/shared", "home/shared"})
            QVERIFY(root.mkpath(QString::fromLatin1(folder)));
        QCOMPARE(::symlink("../data/games/g1",
                           QFile::encodeName(root.filePath(QStringLiteral("home/mygame")))),
                 0);
        const QString real = root.filePath(QStringLiteral("data/games/shared/"));
        const QString decoy = root.filePath(QStringLiteral("home/shared/"));
        for (const char *name : {"Game.txt", "Game.ini"}) {
            const QByteArray target = QByteArray("../shared/") + name;
            const QString link =
                root.filePath(QStringLiteral("data/games/g1/") + QString::fromLatin1(name));
            QCOMPARE(::symlink(target.constData(), QFile::encodeName(link).constData()), 0);
            writeBytes(decoy + QString::fromLatin1(name), "decoy");
        }
        writeBytes(real + QStringLiteral("Game.txt"), kChineseScene);
        writeBytes(real + QStringLiteral("Game.ini"), "\"a\",\"\",\"\",\"100\",\"0\"\r\n");

        const GameFolder game(root.filePath(QStringLiteral("home/mygame")));
        SceneLists lists = LoadScript(game).scenes;
        QCOMPARE(lists.count(), 1);
        lists.append(chineseScene());
        QVERIFY(RewriteScript(game, lists).ok);
        QVERIFY(AppendScene(game, chineseScene()).ok);
        std::optional<GameSettings> settings = ReadSettings(game).settings;
        QVERIFY(settings);
        settings->GameName = QStringLiteral("b");
        QVERIFY(WriteSettings(game, *settings).ok);

        QCOMPARE(readBytes(real + QStringLiteral("Game.txt")), kChineseScene.repeated(3));
        QCOMPARE(readBytes(real + QStringLiteral("Game.ini")),
                 QByteArray("\"b\",\"\",\"\",\"100\",\"0\"\r\n"));
        QCOMPARE(readBytes(decoy + QStringLiteral("Game.txt")), QByteArray("decoy"));
        QCOMPARE(readBytes(decoy + QStringLiteral("Game.ini")), QByteArray("decoy"));
        QVERIFY(QFileInfo(root.filePath(QStringLiteral("data/games/g1/Game.txt"))).isSymLink());
    }

    void writesThroughALink_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<bool>("targetReadOnly");
        QTest::addColumn<bool>("folderTakesNewFiles");
        QTest::addColumn<QString>("error"); // empty: written
        QTest::newRow("read-only target") << true << true << true << "文件是只读的";
        QTest::newRow("target in a folder that takes no new files") << true << false << false << "";
        QTest::newRow("link that points nowhere") << false << false << true << "那里没有文件";
        QTest::newRow("link that points nowhere, folder takes no new files")
            << false << false << false << "那里没有文件";
    }
    void writesThroughALink()
    {
        QFETCH(bool, targetExists);
        QFETCH(bool, targetReadOnly);
        QFETCH(bool, folderTakesNewFiles);
        QFETCH(QString, error);
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("story.txt"));
        if (targetExists)
            writeBytes(target, kChineseScene);
        if (targetReadOnly)
            QFile::setPermissions(target, QFile::ReadOwner);
        if (!folderTakesNewFiles)
            QFile::setPermissions(elsewhere.path(), QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(QFile::link(target, txt()));
        struct stat before = {};
        ::stat(QFile::encodeName(target).constData(), &before);

        const WriteResult written = RewriteScript(folder(), SceneLists());
        const WriteResult appended = AppendScene(folder(), chineseScene());
        QFile::setPermissions(elsewhere.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (error.isEmpty()) {
            QVERIFY2(written.ok && appended.ok, qPrintable(written.error + appended.error));
            QCOMPARE(readBytes(target), kChineseScene);
            struct stat after = {};
            ::stat(QFile::encodeName(target).constData(), &after);
            QCOMPARE(after.st_ino, before.st_ino); // in place: no new file was made
        } else {
            QVERIFY(!written.ok && !appended.ok);
            QVERIFY2(written.error.contains(error), qPrintable(written.error));
            // The message names the file behind the link, where the author must look.
            QVERIFY2(written.error.contains(target), qPrintable(written.error));
            QCOMPARE(readBytes(target), targetExists ? kChineseScene : QByteArray("<missing>"));
        }
        QVERIFY(QFileInfo(txt()).isSymLink());
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden),
                 targetExists ? QStringList{QStringLiteral("story.txt")} : QStringList{});
    }

    void filesThatNeverEndOrWaitAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("Game.txt linked to /dev/zero") << "Game.txt"
                                                      << "zero"
                                                      << "Game.txt过大(超过256MB),无法使用";
        QTest::newRow("Game.txt a pipe") << "Game.txt"
                                         << "fifo"
                                         << "Game.txt不是普通文件,无法使用";
        QTest::newRow("Game.ini linked to /dev/zero") << "Game.ini"
                                                      << "zero"
                                                      << "Game.ini过大(超过16MB)";
        QTest::newRow("Game.ini a pipe") << "Game.ini"
                                         << "fifo"
                                         << "Game.ini不是普通文件";
    }
    void filesThatNeverEndOrWaitAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QByteArray path = QFile::encodeName(m_dir->filePath(name));
        QCOMPARE(kind == u"zero" ? ::symlink("/dev/zero", path) : ::mkfifo(path, 0600), 0);
        if (name == u"Game.txt") {
            const ScriptLoad load = LoadScript(folder());
            QVERIFY(!load.usable());
            QCOMPARE(load.message, message);
        } else {
            const SettingsRead read = ReadSettings(folder());
            QVERIFY(!read.settings && !read.missing);
            QCOMPARE(read.error, message);
        }
    }

    void failedAppendToMissingFileCreatesNothing()
    {
        FileWriteTesting::failAfterBytes(3);
        QVERIFY(!AppendScene(folder(), chineseScene()).ok);
        QVERIFY(!QFileInfo::exists(txt()));
    }

    void nameTakenByAFolderIsReported()
    {
        QDir(m_dir->path()).mkdir(QStringLiteral("Game.txt"));
        const WriteResult r = RewriteScript(folder(), SceneLists());
        QVERIFY(!r.ok);
        QVERIFY(r.error.contains(QStringLiteral("文件夹")));
        QVERIFY(!AppendScene(folder(), chineseScene()).ok);
        QCOMPARE(LoadScript(folder()).status, ScriptStatus::Missing);
    }
};

QTEST_APPLESS_MAIN(TestScriptFile)
#include "tst_scriptfile.moc"
