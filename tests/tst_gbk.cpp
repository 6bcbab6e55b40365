#include "gbk.h"

#include <QTest>

class TestGbk : public QObject
{
    Q_OBJECT
private slots:
    void converterIsAvailable()
    {
        // Without ICU's GBK converter every file would be unreadable: fail loudly.
        QVERIFY2(Gbk::available(), "Qt has no GBK converter (Qt built without ICU?)");
    }

    void chineseAndEuroSignEncodeAsCodePage936()
    {
        const Gbk::Encoded e = Gbk::encode(QStringLiteral("€中文 a,\""));
        QVERIFY(e.ok());
        QCOMPARE(e.bytes, QByteArray("\x80\xd6\xd0\xce\xc4 a,\""));
        QCOMPARE(Gbk::decode(e.bytes), QStringLiteral("€中文 a,\""));
    }

    void bytesThatAreNotGbkSurviveARoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("lead byte before ASCII") << QByteArray("ab\x81\x30\xd6\xd0", 6);
        QTest::newRow("lone lead byte at end") << QByteArray("\xd6\xd0\xd6", 3);
        QTest::newRow("lead byte before CR LF") << QByteArray("x\xd6\r\ny", 5);
        QTest::newRow("0xFF") << QByteArray("\xff\xff", 2);
        QTest::newRow("NUL bytes") << QByteArray("a\0b\0", 4);
    }
    void bytesThatAreNotGbkSurviveARoundTrip()
    {
        QFETCH(QByteArray, bytes);
        const QString text = Gbk::decode(bytes);
        const Gbk::Encoded back = Gbk::encode(text);
        QVERIFY(back.ok());
        QCOMPARE(back.bytes, bytes);
    }

    void invalidByteDoesNotSwallowTheLineEnd()
    {
        QCOMPARE(Gbk::decode(QByteArray("x\xd6\r\n", 4)).right(2), QStringLiteral("\r\n"));
    }

    void charactersGbkCannotHoldAreNamedOnce()
    {
        const Gbk::Encoded e = Gbk::encode(QStringLiteral("a😀b😀中") + QChar(0xD800));
        QVERIFY(!e.ok());
        QCOMPARE(e.unencodable, QStringLiteral("😀") + QChar(0xD800));
    }
};

QTEST_APPLESS_MAIN(TestGbk)
#include "tst_gbk.moc"
