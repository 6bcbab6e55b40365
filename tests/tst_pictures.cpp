#include "pictures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPictures : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString save(const char *name, QSize size)
    {
        QImage image(size, QImage::Format_Mono);
        image.fill(1);
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        if (!image.save(path))
            qFatal("cannot save %s", name);
        return path;
    }

private slots:
    void widePanoramaLoads()
    {
        const QImage wide = Pictures::load(save("wide.png", QSize(10000, 482)));
        QCOMPARE(wide.size(), QSize(10000, 482));
        QCOMPARE(Pictures::load(save("tall.png", QSize(482, 10000))).size(), QSize(482, 10000));
    }

    // Games made on Windows carry pictures whose names do not say what they hold.
    void picturesLoadByWhatTheyHoldWhateverTheirNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("JPEG named .png") << "jpeg.png" << QByteArray("JPEG");
        QTest::newRow("PNG named .jpg") << "png.jpg" << QByteArray("PNG");
        QTest::newRow("BMP named .JPG") << "bmp.JPG" << QByteArray("BMP");
        QTest::newRow("GIF named .bmp") << "gif.bmp" << QByteArray("GIF");
        QTest::newRow("icon named .png") << "ico.png" << QByteArray("ICO");
        QTest::newRow("PNG without a name's ending") << "png" << QByteArray("PNG");
    }
    void picturesLoadByWhatTheyHoldWhateverTheirNames()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        const QString path = m_dir.filePath(name);
        if (format == "GIF") { // Qt writes no GIF: a 2×1 one, byte for byte
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromHex("47494638396102000100800000000000ffffff2c000000000200"
                                           "0100000202440a003b"));
        } else {
            QImage image(2, 1, QImage::Format_RGB32);
            image.fill(Qt::white);
            QVERIFY(image.save(path, format.constData()));
        }
        QCOMPARE(Pictures::load(path).size(), QSize(2, 1));
    }

    void pictureOverThePixelLimitIsRefused()
    {
        QVERIFY(Pictures::load(save("huge.png", QSize(9000, 9000))).isNull());
        QVERIFY(Pictures::load(QString()).isNull());
        QVERIFY(Pictures::load(m_dir.filePath(QStringLiteral("missing.png"))).isNull());
    }
};

QTEST_GUILESS_MAIN(TestPictures)
#include "tst_pictures.moc"
