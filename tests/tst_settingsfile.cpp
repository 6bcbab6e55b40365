#include "filewrite.h"
#include "settingsfile.h"
#include "testutil.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TestUtil;

class TestSettingsFile : public QObject
{
    Q_OBJECT
    QTemporaryDir *m_dir = nullptr;
    QString ini() const { return m_dir->filePath(QStringLiteral("Game.ini")); }
    GameFolder folder() const { return GameFolder(m_dir->path()); }

private slots:
    void init() { m_dir = new QTemporaryDir; }
    void cleanup()
    {
        FileWriteTesting::failAfterBytes(-1);
        delete m_dir;
    }

    void readingRule_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("values"); // empty: the read fails
        QTest::newRow("editor's form")
            << QByteArray("\"\xce\xd2\xb5\xc4\xd3\xce\xcf\xb7\",\"1.mid\",\"\",\"100\",\"1\"\r\n")
            << QStringList{QStringLiteral("我的游戏"), "1.mid", "", "100", "1"};
        QTest::newRow("commas and blanks inside quotes")
            << QByteArray("\" a, b \",\"x\",\"\",\"250\",\"0\"\r\n")
            << QStringList{" a, b ", "x", "", "250", "0"};
        QTest::newRow("over several lines")
            << QByteArray("\"n\",\"m\"\r\n\"f\"\r\n\r\n  \"10\",\r\n\"0\"\r\n")
            << QStringList{"n", "m", "f", "10", "0"};
        QTest::newRow("unquoted, blanks before and after")
            << QByteArray("  Game One  ,\tx.mid, ,100 ,1")
            << QStringList{"Game One", "x.mid", "", "100", "1"};
        QTest::newRow("after the fifth is ignored")
            << QByteArray("\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\ngarbage")
            << QStringList{"a", "b", "c", "d", "e"};
        QTest::newRow("empty fifth value")
            << QByteArray("\"a\",\"b\",\"c\",\"d\",\"\"") << QStringList{"a", "b", "c", "d", ""};
        QTest::newRow("text after a closing quote is skipped")
            << QByteArray("\"a\"zz,\"b\",\"c\",\"d\",\"e\"")
            << QStringList{"a", "b", "c", "d", "e"};
        QTest::newRow("unclosed quote ends at the line end")
            << QByteArray("\"a\",\"b,c\r\n\"d\",\"e\",\"f\"")
            << QStringList{"a", "b,c", "d", "e", "f"};
        QTest::newRow("four values") << QByteArray("\"a\",\"b\",\"c\",\"d\"\r\n") << QStringList{};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("lone LF line ends") << QByteArray("\"a\"\n\"b\"\n\"c\"\n\"d\"\n\"e\"\n")
                                           << QStringList{"a", "b", "c", "d", "e"};
    }
    void readingRule()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, values);
        writeBytes(ini(), bytes);
        const SettingsRead read = ReadSettings(folder());
        if (values.isEmpty()) {
            QVERIFY(!read.settings);
            QVERIFY(!read.error.isEmpty());
            return;
        }
        QVERIFY2(read.settings.has_value(), qPrintable(read.error));
        const GameSettings &s = *read.settings;
        QCOMPARE((QStringList{s.GameName, s.BGMName, s.GameFont, s.WordInterval, s.SkipCode}),
                 values);
    }

    void missingFileFails()
    {
        const SettingsRead read = ReadSettings(folder());
        QVERIFY(!read.settings);
        QVERIFY(!read.error.isEmpty());
    }

    // The limit is the largest file that is read, not the smallest that is refused.
    void fileOfExactlyTheLimitIsRead_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("read");
        QTest::newRow("a byte under the limit") << kMaxSettingsBytes - 1 << true;
        QTest::newRow("exactly the limit") << kMaxSettingsBytes << true;
        QTest::newRow("a byte over the limit") << kMaxSettingsBytes + 1 << false;
    }
    void fileOfExactlyTheLimitIsRead()
    {
        QFETCH(qint64, size);
        QFETCH(bool, read);
        QByteArray bytes("\"n\",\"\",\"\",\"100\",\"0\"\r\n");
        bytes += QByteArray(size - bytes.size(), ' '); // what follows the fifth value is ignored
        writeBytes(ini(), bytes);
        const SettingsRead settings = ReadSettings(folder());
        QCOMPARE(settings.settings.has_value(), read);
        if (!read)
            QCOMPARE(settings.error, QStringLiteral("Game.ini过大(超过16MB)"));
        QCOMPARE(readWholeFile(ini(), size).status, FileRead::Read);
        QCOMPARE(readWholeFile(ini(), size - 1).status, FileRead::TooLarge);
    }

    void writeIsOneQuotedLineAndReadsBack()
    {
        GameSettings s{QStringLiteral("我的游戏"), QStringLiteral(" 1.mid, "), QString(),
                       QStringLiteral("100"), QStringLiteral("1")};
        QVERIFY(WriteSettings(folder(), s).ok);
        QCOMPARE(
            readBytes(ini()),
            QByteArray("\"\xce\xd2\xb5\xc4\xd3\xce\xcf\xb7\",\" 1.mid, \",\"\",\"100\",\"1\"\r\n"));
        QCOMPARE(*ReadSettings(folder()).settings, s);
    }

    void valuesThatWouldReadBackOtherwiseAreRefused_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("error");
        QTest::newRow("quote in name")
            << 0 << QStringLiteral("say \"hi\"") << QStringLiteral("游戏名称不能含有双引号(\")");
        QTest::newRow("line break in font")
            << 2 << QStringLiteral("a\nb") << QStringLiteral("字体不能含有换行");
        QTest::newRow("emoji in music")
            << 1 << QStringLiteral("😀.mid") << QStringLiteral("BGM含有GBK编码无法保存的字符：😀");
    }
    void valuesThatWouldReadBackOtherwiseAreRefused()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, error);
        const QByteArray before("\"a\",\"b\",\"c\",\"d\",\"e\"\r\n");
        writeBytes(ini(), before);
        GameSettings s;
        s.field(GameSettings::Field(field)) = value;
        const WriteResult r = WriteSettings(folder(), s);
        QVERIFY(!r.ok);
        QCOMPARE(r.error, error);
        QCOMPARE(readBytes(ini()), before);
    }

    void failedWriteLeavesTheFileAsItWas()
    {
        const QByteArray before("\"a\",\"b\",\"c\",\"d\",\"e\"\r\n");
        writeBytes(ini(), before);
        FileWriteTesting::failAfterBytes(4);
        QVERIFY(!WriteSettings(folder(), GameSettings{}).ok);
        QCOMPARE(readBytes(ini()), before);
        for (const auto step : {FileWriteTesting::Step::Flush, FileWriteTesting::Step::Commit}) {
            FileWriteTesting::failAt(step);
            QVERIFY(!WriteSettings(folder(), GameSettings{}).ok);
            QCOMPARE(readBytes(ini()), before);
        }
        FileWriteTesting::failAfterBytes(-1);
        QFile::setPermissions(ini(), QFile::ReadOwner);
        const WriteResult r = WriteSettings(folder(), GameSettings{});
        QVERIFY(!r.ok);
        QCOMPARE(r.error, QStringLiteral("无法写入Game.ini：文件是只读的"));
        QCOMPARE(readBytes(ini()), before);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("Game.ini")});
    }

    void linkedSettingsAreReadAndWrittenThroughTheLink()
    {
        QTemporaryDir shared;
        const QString real = shared.filePath(QStringLiteral("settings.ini"));
        writeBytes(real, "\"a\",\"b\",\"c\",\"d\",\"e\"\r\n");
        QVERIFY(QFile::link(real, ini()));
        SettingsRead read = ReadSettings(folder());
        QVERIFY(read.settings);
        read.settings->GameName = QStringLiteral("x");
        QVERIFY(WriteSettings(folder(), *read.settings).ok);
        QCOMPARE(readBytes(real), QByteArray("\"x\",\"b\",\"c\",\"d\",\"e\"\r\n"));
        QVERIFY(QFileInfo(ini()).isSymLink());
    }
};

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
