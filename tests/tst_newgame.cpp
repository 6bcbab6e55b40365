#include "newgame.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "testutil.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

using namespace TestUtil;

class TestNewGame : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &rel) const { return m_dir->filePath(rel); }
    QStringList everything() const
    {
        QStringList all;
        QDirIterator it(m_dir->path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            all.append(QDir(m_dir->path()).relativeFilePath(it.next()));
        all.sort();
        return all;
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        QFile::setPermissions(m_dir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void newGameHasItsFoldersAndBothFilesByteForByte()
    {
        const QString folder = path(QStringLiteral("我的游戏"));
        QVERIFY(CreateGame(folder).ok);
        QCOMPARE(everything(),
                 (QStringList{"我的游戏", "我的游戏/BG", "我的游戏/Game.ini", "我的游戏/Game.txt",
                              "我的游戏/Msg", "我的游戏/Music"}));
        QCOMPARE(readBytes(folder + QStringLiteral("/Game.txt")), QByteArray());
        // 我的游戏 in code page 936
        QCOMPARE(readBytes(folder + QStringLiteral("/Game.ini")),
                 QByteArray("\"\xce\xd2\xb5\xc4\xd3\xce\xcf\xb7\",\"\",\"\",\"100\",\"0\"\r\n"));
        const SettingsRead read = ReadSettings(GameFolder(folder));
        QVERIFY(read.settings);
        QCOMPARE(LoadScript(GameFolder(folder)).status, ScriptStatus::Loaded);
    }

    void namedGameAndACopyToLearnFrom()
    {
        const QString folder = path(QStringLiteral("d/g"));
        QVERIFY(CreateGame(folder, QStringLiteral("灯塔")).ok);
        QCOMPARE(readBytes(folder + QStringLiteral("/Game.ini")),
                 QByteArray("\"\xb5\xc6\xcb\xfe\",\"\",\"\",\"100\",\"0\"\r\n"));
        // A game installed read-only is copied with every file and folder, writable.
        writeBytes(folder + QStringLiteral("/BG/a.jpg"), "pic");
        QFile::setPermissions(folder + QStringLiteral("/Game.txt"), QFile::ReadOwner);
        const QString copy = path(QStringLiteral("mine/copy"));
        QVERIFY(CopyGame(folder, copy).ok);
        QCOMPARE(readBytes(copy + QStringLiteral("/BG/a.jpg")), QByteArray("pic"));
        QCOMPARE(readBytes(copy + QStringLiteral("/Game.ini")),
                 readBytes(folder + QStringLiteral("/Game.ini")));
        QVERIFY(QFileInfo(copy + QStringLiteral("/Game.txt")).permissions() & QFile::WriteOwner);
        QVERIFY(QDir(copy + QStringLiteral("/Music")).exists());
        QVERIFY(!CopyGame(folder, copy).ok); // never over a folder that is there
        QCOMPARE(newGameFolder(QStringLiteral("/x"), QStringLiteral(" a/b ")),
                 QStringLiteral("/x/a_b"));
        QCOMPARE(newGameFolder(QStringLiteral("/x"), QStringLiteral(" ")), QString());
    }

    void foldersAlreadyThereAreKept()
    {
        writeBytes(path(QStringLiteral("bg/sky.jpg")), "x");
        QVERIFY(CreateGame(m_dir->path()).ok);
        QVERIFY(everything().contains(QStringLiteral("bg/sky.jpg")));
        QVERIFY(!everything().contains(QStringLiteral("BG")));
        QVERIFY(everything().contains(QStringLiteral("Msg")));
    }

    void folderHoldingAGameIsRefusedAndUntouched_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::newRow("Game.txt") << "Game.txt";
        QTest::newRow("Game.ini") << "Game.ini";
        QTest::newRow("a Windows GAME.INI") << "GAME.INI";
    }
    void folderHoldingAGameIsRefusedAndUntouched()
    {
        QFETCH(QString, existing);
        writeBytes(path(existing), "keep");
        const WriteResult r = CreateGame(m_dir->path());
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(QStringLiteral("已经有一个游戏")), qPrintable(r.error));
        QCOMPARE(everything(), QStringList{existing});
        QCOMPARE(readBytes(path(existing)), QByteArray("keep"));
    }

    void failureLeavesNothingHalfMade()
    {
        // The folder takes no new entries: nothing can be made, and nothing is left.
        QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
        const WriteResult inReadOnly = CreateGame(path(QStringLiteral("new/game")));
        QVERIFY(!inReadOnly.ok);
        QVERIFY(inReadOnly.error.startsWith(QStringLiteral("无法新建游戏")));
        QFile::setPermissions(m_dir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(everything().isEmpty());

        // A name the settings file cannot hold fails at the last step; the rest is taken back.
        const WriteResult quoted = CreateGame(path(QStringLiteral("say \"hi\"")));
        QVERIFY(!quoted.ok);
        QVERIFY(everything().isEmpty());

        writeBytes(path(QStringLiteral("file")), "x");
        QVERIFY(!CreateGame(path(QStringLiteral("file"))).ok);
        QCOMPARE(everything(), QStringList{QStringLiteral("file")});
    }
};

QTEST_GUILESS_MAIN(TestNewGame)
#include "tst_newgame.moc"
