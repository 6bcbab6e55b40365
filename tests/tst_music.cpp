#include "music.h"
#include "testutil.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>

namespace {

// Peak absolute sample of SDL's disk audio output (16-bit signed, as the mixer opens it).
int peak(const QString &path)
{
    const QByteArray raw = TestUtil::readBytes(path);
    const auto *samples = reinterpret_cast<const qint16 *>(raw.constData());
    int best = 0;
    for (qsizetype i = 0; i < raw.size() / 2; ++i)
        best = qMax(best, qAbs(int(samples[i])));
    return best;
}

} // namespace

class TestMusic : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_out;

private slots:
    void initTestCase()
    {
        m_out = m_dir.filePath(QStringLiteral("out.raw"));
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_out));
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("Music"))));
        QVERIFY(QFile::copy(QStringLiteral(DEMO_DIR "/Music/1.mid"),
                            m_dir.filePath(QStringLiteral("Music/1.mid"))));
    }

    // First of all, while the audio system has not been started in this process yet.
    void playingMusicLeavesTerminationSignalsAlone()
    {
        struct sigaction saved[2], fresh = {};
        fresh.sa_handler = SIG_DFL;
        const int kinds[] = {SIGTERM, SIGINT};
        for (int i = 0; i < 2; ++i) // the test framework's own handlers step aside
            sigaction(kinds[i], &fresh, &saved[i]);
        SdlMusic music{GameFolder(m_dir.path())};
        music.sendCommand(QStringLiteral("play Music\\1.mid"));
        music.waitIdle();
        bool untouched = true;
        for (int i = 0; i < 2; ++i) {
            struct sigaction now;
            sigaction(kinds[i], &saved[i], &now);
            untouched = untouched && now.sa_handler == SIG_DFL;
        }
        QVERIFY2(untouched, "a kill must still end the player while it plays");
    }

    void midiIsAudibleAndCloseStopsIt()
    {
        SdlMusic music{GameFolder(m_dir.path())};
        QElapsedTimer clock;
        clock.start();
        music.sendCommand(QStringLiteral("Open \"Music\\1.MID \" alias File"));
        music.sendCommand(QStringLiteral("play Music\\1.MID"));
        QVERIFY2(clock.elapsed() < 50, "sending a command must not wait on audio");
        music.waitIdle();
        QTest::qWait(1500);
        QVERIFY2(peak(m_out) > 500, "the MIDI tune made no sound");
        music.sendCommand(QStringLiteral("close Music\\1.MID"));
        music.waitIdle();
        const qint64 sizeAtClose = QFileInfo(m_out).size();
        QTest::qWait(800);
        // Up to two device buffers (4096 frames of 16-bit stereo each) were mixed before the
        // close; everything after them is silence.
        const QByteArray after = TestUtil::readBytes(m_out).mid(sizeAtClose + 2 * 4096 * 4);
        QVERIFY(after.size() > 8192);
        QVERIFY(after.count('\0') == after.size());
    }

    // The reader's volume reaches the mixer: 0 silences the tune playing, 100 brings it back.
    void volumeZeroSilencesAndFullVolumeRestores()
    {
        QFile::remove(m_out);
        SdlMusic music{GameFolder(m_dir.path())};
        music.sendCommand(QStringLiteral("play Music\\1.mid"));
        music.waitIdle();
        QTRY_VERIFY(peak(m_out) > 500);
        music.sendCommand(QStringLiteral("volume 0"));
        music.waitIdle();
        // Up to two device buffers were mixed before the command; silence after them.
        const qint64 atMute = QFileInfo(m_out).size() + 2 * 4096 * 4;
        QTRY_VERIFY(QFileInfo(m_out).size() > atMute + 4 * 8192);
        const QByteArray muted = TestUtil::readBytes(m_out).mid(atMute, 4 * 8192);
        QCOMPARE(muted.count('\0'), muted.size());
        music.sendCommand(QStringLiteral("volume 100"));
        music.waitIdle();
        const qint64 atFull = QFileInfo(m_out).size() + 2 * 4096 * 4;
        QTRY_VERIFY(QFileInfo(m_out).size() > atFull + 8 * 8192);
        const QByteArray full = TestUtil::readBytes(m_out).mid(atFull);
        QVERIFY2(full.count('\0') < full.size() / 2, "the tune stayed silent at full volume");
    }

    void waveFilesPlayToo()
    {
        // One second of a 440 Hz tone, 16-bit mono PCM.
        QByteArray pcm;
        for (int i = 0; i < 22050; ++i) {
            const qint16 v = qint16(8000 * std::sin(i * 2 * M_PI * 440 / 22050));
            pcm.append(reinterpret_cast<const char *>(&v), 2);
        }
        auto u32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); };
        auto u16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char *>(&v), 2); };
        const QByteArray wav = "RIFF" + u32(36 + pcm.size()) + "WAVEfmt " + u32(16) + u16(1) +
                               u16(1) + u32(22050) + u32(44100) + u16(2) + u16(16) + "data" +
                               u32(pcm.size()) + pcm;
        TestUtil::writeBytes(m_dir.filePath(QStringLiteral("Music/tone.wav")), wav);
        QFile::remove(m_out);
        SdlMusic music{GameFolder(m_dir.path())};
        music.sendCommand(QStringLiteral("play Music\\tone.wav"));
        music.waitIdle();
        QTest::qWait(600);
        QVERIFY2(peak(m_out) > 500, "the tone made no sound");
    }

    void missingFileAndEmptyPathAreSilent()
    {
        SdlMusic music{GameFolder(m_dir.path())};
        music.sendCommand(QStringLiteral("play Music\\"));
        music.sendCommand(QStringLiteral("play Music\\none.ogg"));
        music.sendCommand(QStringLiteral("close "));
        music.waitIdle();
    }
};

QTEST_GUILESS_MAIN(TestMusic)
#include "tst_music.moc"
