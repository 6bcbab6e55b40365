#include "gbk.h"
#include "gbkreference.h"

#include <QCryptographicHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

namespace {

// The one character @p bytes stand for and map back from through the programs' converter, or 0.
char16_t mappedByTheProgram(const QByteArray &bytes)
{
    const QString s = Gbk::decode(bytes);
    if (s.size() != 1 || s.at(0).isSurrogate())
        return 0;
    const Gbk::Encoded back = Gbk::encode(s);
    return back.ok() && back.bytes == bytes ? s.at(0).unicode() : 0;
}

// The same through the system's own converter, where it has one for GBK (Qt with ICU).
char16_t mappedBySystem(const QByteArray &bytes)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    const QString s = decoder.decode(bytes);
    if (decoder.hasError() || s.size() != 1 || s.at(0) == QChar::ReplacementCharacter ||
        s.at(0).isSurrogate())
        return 0;
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray back = encoder.encode(s);
    return !encoder.hasError() && back == bytes ? s.at(0).unicode() : 0;
}

} // namespace

class TestGbk : public QObject
{
    Q_OBJECT
private slots:
    void converterIsAvailable()
    {
        // Without a whole GBK table every file would be unreadable: fail loudly.
        QVERIFY2(Gbk::available(), "the carried GBK table is not whole");
    }

    // Every one- and two-byte sequence and every character of the Basic Multilingual Plane
    // converts as the converter the table was made from converts it (its digest made at build
    // time), on every system the programs are built for; where this system has such a converter
    // too, each one is compared with it.
    void everySequenceConvertsAsTheBuildingSystemsConverter()
    {
        const bool systemHasGbk = QStringDecoder("GBK").isValid();
        QCryptographicHash digest(QCryptographicHash::Sha256);
        for (int lead = 0x80; lead <= 0xFF; ++lead) {
            for (int trail = -1; trail <= 0xFF; ++trail) {
                QByteArray bytes(1, char(lead));
                if (trail >= 0)
                    bytes += char(trail);
                const char16_t c = mappedByTheProgram(bytes);
                if (systemHasGbk && c != mappedBySystem(bytes))
                    QFAIL(
                        qPrintable(QStringLiteral("%1 decodes as U+%2, the system says U+%3")
                                       .arg(QString::fromLatin1(bytes.toHex(' ')))
                                       .arg(int(c), 4, 16, QLatin1Char('0'))
                                       .arg(int(mappedBySystem(bytes)), 4, 16, QLatin1Char('0'))));
                digest.addData(QByteArrayView(reinterpret_cast<const char *>(&c), 2));
            }
        }
        for (int c = 0x80; c <= 0xFFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            const Gbk::Encoded e = Gbk::encode(QString(QChar(char16_t(c))));
            const QByteArray bytes = e.ok() ? e.bytes : QByteArray();
            if (systemHasGbk) {
                QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
                const QByteArray system = encoder.encode(QString(QChar(char16_t(c))));
                QCOMPARE(bytes.toHex(' '), encoder.hasError() ? QByteArray() : system.toHex(' '));
            }
            digest.addData(QByteArray(1, char(bytes.size())) + bytes);
        }
        QCOMPARE(digest.result().toHex(), QByteArray(GBK_REFERENCE_SHA256));
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
