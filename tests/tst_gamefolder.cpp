#include "gamefolder.h"
#include "testutil.h"
#include "vocabulary.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

class TestGameFolder : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char *rel) const { return m_dir.filePath(QString::fromUtf8(rel)); }

private slots:
    void initTestCase()
    {
        TestUtil::writeBytes(path("Pics/Night.JPG"), "x");
        TestUtil::writeBytes(path("BG/over.jpg"), "x");
        TestUtil::writeBytes(path("Msg/box.png"), "x");
        TestUtil::writeBytes(path("Msg/BOX.png"), "x");
        QTemporaryDir outside;
        outside.setAutoRemove(false);
        TestUtil::writeBytes(outside.filePath(QStringLiteral("secret")), "x");
        QFile::link(outside.filePath(QStringLiteral("secret")), path("Msg/link.png"));
        TestUtil::writeBytes(outside.filePath(QStringLiteral("library/shared.jpg")), "x");
        QFile::link(outside.filePath(QStringLiteral("library")), path("Lib"));
        // A sibling whose name begins with the game folder's name is still outside it.
        TestUtil::writeBytes(m_dir.path() + QStringLiteral("2/a.jpg"), "x");
    }
    void cleanupTestCase() { QDir(m_dir.path() + u'2').removeRecursively(); }

    void resolve_data()
    {
        QTest::addColumn<QString>("gamePath");
        QTest::addColumn<QString>("found"); // relative to the folder; empty: nothing
        QTest::newRow("backslash, other case") << "PICS\\night.jpg"
                                               << "Pics/Night.JPG";
        QTest::newRow("forward slash") << "BG/over.jpg"
                                       << "BG/over.jpg";
        QTest::newRow("exact name wins") << "Msg\\BOX.png"
                                         << "Msg/BOX.png";
        QTest::newRow("bare folder") << "BG\\"
                                     << "";
        QTest::newRow("a folder is no file") << "BG"
                                             << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("parent") << "..\\Game.txt"
                                << "";
        QTest::newRow("dot segment staying inside") << "BG\\..\\BG\\over.jpg"
                                                    << "BG/over.jpg";
        QTest::newRow("parent into a sibling named like the folder")
            << QStringLiteral("BG\\..\\..\\%1\\a.jpg")
                   .arg(QFileInfo(m_dir.path() + u'2').fileName())
            << "";
        QTest::newRow("absolute") << "/etc/passwd"
                                  << "";
        QTest::newRow("drive letter") << "C:\\x.jpg"
                                      << "";
        QTest::newRow("linked file") << "Msg\\link.png"
                                     << "Msg/link.png";
        QTest::newRow("linked folder, other case") << "lib\\SHARED.jpg"
                                                   << "Lib/shared.jpg";
    }
    void resolve()
    {
        QFETCH(QString, gamePath);
        QFETCH(QString, found);
        const GameFolder folder(m_dir.path());
        QCOMPARE(folder.resolve(gamePath), found.isEmpty() ? QString() : m_dir.filePath(found));
    }

    void namesLeftAsWindowsBytesAreFoundListedAndRenamed()
    {
        // 海边.jpg and 音乐.MID as code page 936 bytes; FF FE is neither UTF-8 nor GBK.
        QTemporaryDir game;
        const QByteArray root = QFile::encodeName(game.path());
        for (const char *folder : {"/BG", "/Music"})
            QVERIFY(QDir().mkpath(game.path() + QString::fromLatin1(folder)));
        const auto make = [&](const QByteArray &rel, const QByteArray &bytes) {
            FILE *f = std::fopen((root + rel).constData(), "wb");
            QVERIFY(f);
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
            std::fclose(f);
        };
        make("/BG/\xba\xa3\xb1\xdf.jpg", "sea");
        make("/Music/\xd2\xf4\xc0\xd6.MID", "tune");
        make("/BG/\xff\xfe.jpg", "?");
        const GameFolder folder(game.path());

        const QString sea = folder.resolve(QStringLiteral("BG\\海边.JPG"));
        QVERIFY(!sea.isEmpty());
        QCOMPARE(TestUtil::readBytes(sea), QByteArray("sea"));
        QCOMPARE(TestUtil::readBytes(folder.resolve(QStringLiteral("Music/音乐.mid"))),
                 QByteArray("tune"));
        QCOMPARE(folder.resolve(QStringLiteral("BG\\海.jpg")), QString());

        const QList<GameFolder::WindowsName> names = folder.windowsNames();
        QCOMPARE(names.size(), 2);
        QCOMPARE(names.at(0).gamePath, QStringLiteral("BG\\海边.jpg"));
        QCOMPARE(names.at(1).gamePath, QStringLiteral("Music\\音乐.MID"));
        QCOMPARE(names.at(0).native, root + "/BG/\xba\xa3\xb1\xdf.jpg");

        QCOMPARE(folder.renameWindowsNames(), QStringList());
        QVERIFY(folder.windowsNames().isEmpty());
        QCOMPARE(folder.resolve(QStringLiteral("BG\\海边.jpg")),
                 game.filePath(QStringLiteral("BG/海边.jpg")));
        QCOMPARE(TestUtil::readBytes(game.filePath(QStringLiteral("Music/音乐.MID"))),
                 QByteArray("tune"));
    }

    void renamingNeverReplacesAFileOfTheProperName()
    {
        QTemporaryDir game;
        const QByteArray root = QFile::encodeName(game.path());
        QVERIFY(QDir().mkpath(game.filePath(QStringLiteral("BG"))));
        TestUtil::writeBytes(game.filePath(QStringLiteral("BG/海边.jpg")), "mine");
        FILE *f = std::fopen((root + "/BG/\xba\xa3\xb1\xdf.jpg").constData(), "wb");
        QVERIFY(f);
        std::fputs("windows", f);
        std::fclose(f);
        const GameFolder folder(game.path());
        QCOMPARE(folder.windowsNames().size(), 1);
        QCOMPARE(folder.renameWindowsNames(), QStringList{QStringLiteral("BG\\海边.jpg")});
        QCOMPARE(TestUtil::readBytes(game.filePath(QStringLiteral("BG/海边.jpg"))),
                 QByteArray("mine"));
        QCOMPARE(folder.windowsNames().size(), 1); // still there, under its own bytes
    }

    void pathForWriteUsesTheExistingFileElseTheExactName()
    {
        const GameFolder folder(m_dir.path());
        QCOMPARE(folder.pathForWrite(QStringLiteral("pics/night.jpg")), path("Pics/Night.JPG"));
        QCOMPARE(folder.pathForWrite(QStringLiteral("Game.txt")), path("Game.txt"));
        QCOMPARE(folder.pathForWrite(QStringLiteral("../x")), QString());
    }

    void speedTableBothWays()
    {
        const QStringList expected{"250", "200", "100", "50", "20", "10"};
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(Vocabulary::intervalForSpeed(i), expected.at(i));
            QCOMPARE(Vocabulary::speedForInterval(expected.at(i)), i);
        }
        QCOMPARE(Vocabulary::intervalForSpeed(-1), QString());
        QCOMPARE(Vocabulary::speedForInterval(QStringLiteral("300")), -1);
        QCOMPARE(Vocabulary::speedForInterval(QStringLiteral("abc")), -1);
        QCOMPARE(Vocabulary::speedForInterval(QStringLiteral("10.0")), 5);
        QCOMPARE(Vocabulary::speedForInterval(QStringLiteral("100ms")),
                 2); // as the player plays it
        QCOMPARE(Vocabulary::speedForInterval(QStringLiteral(" 49.5")), 3);
        QCOMPARE(Vocabulary::speeds().at(5), QStringLiteral("每秒100个字"));
        QCOMPARE(Vocabulary::storedCode(-1), QStringLiteral("-1"));
    }

    void skipCodeToPosition_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("position");
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("empty counts as 0") << "" << 0;
        QTest::newRow("1.4 rounds to 1") << " 1.4 " << 1;
        QTest::newRow("1.5 names no entry") << "1.5" << -1;
        QTest::newRow("-1") << "-1" << -1;
        QTest::newRow("huge") << "1e300" << -1;
        QTest::newRow("not a number") << "abc" << -1;
    }
    void skipCodeToPosition()
    {
        QFETCH(QString, code);
        QFETCH(int, position);
        QCOMPARE(Vocabulary::skipForCode(code), position);
    }
};

QTEST_APPLESS_MAIN(TestGameFolder)
#include "tst_gamefolder.moc"
