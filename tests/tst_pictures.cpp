#include "pictures.h"

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

    void pictureOverThePixelLimitIsRefused()
    {
        QVERIFY(Pictures::load(save("huge.png", QSize(9000, 9000))).isNull());
        QVERIFY(Pictures::load(QString()).isNull());
        QVERIFY(Pictures::load(m_dir.filePath(QStringLiteral("missing.png"))).isNull());
    }
};

QTEST_GUILESS_MAIN(TestPictures)
#include "tst_pictures.moc"
