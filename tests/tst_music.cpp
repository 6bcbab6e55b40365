#include "music.h"
#include "soundfontsubset.h"
#include "testutil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

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

// The bytes of two of MIDI's device buffers: how much is already mixed when a command arrives.
constexpr qint64 kTwoBuffers = 2 * SdlMusic::kMidiBufferFrames * 4;

// A Standard MIDI File of one track holding @p events (delta times included), its end added.
QByteArray midiFile(const QByteArray &events)
{
    const QByteArray track = events + QByteArray("\x00\xff\x2f\x00", 4);
    auto u32 = [](quint32 v) {
        return QByteArray(1, char(v >> 24)) + char(v >> 16) + char(v >> 8) + char(v);
    };
    return "MThd" + u32(6) + QByteArray("\x00\x00\x00\x01\x01\xe0", 6) + "MTrk" +
           u32(quint32(track.size())) + track;
}

// One second of a 440 Hz tone, 16-bit mono PCM in a WAV file.
QByteArray toneWav()
{
    QByteArray pcm;
    for (int i = 0; i < 22050; ++i) {
        const qint16 v = qint16(8000 * std::sin(i * 2 * M_PI * 440 / 22050));
        pcm.append(reinterpret_cast<const char *>(&v), 2);
    }
    auto u32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char *>(&v), 2); };
    return "RIFF" + u32(36 + pcm.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(22050) +
           u32(44100) + u16(2) + u16(16) + "data" + u32(pcm.size()) + pcm;
}

// The presets in a sound font's directory, by the cut it makes of itself with all of them.
int presetCount(const SoundFontSubset::Cut &cut)
{
    const qsizetype phdr = cut.directory.indexOf("phdr");
    const quint32 size = qFromLittleEndian<quint32>(cut.directory.constData() + phdr + 4);
    return int(size / 38) - 1;
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
        // Up to two device buffers (of 16-bit stereo frames) were mixed before the close;
        // everything after them is silence.
        const qint64 afterClose = QFileInfo(m_out).size() + kTwoBuffers;
        QTRY_VERIFY(QFileInfo(m_out).size() > afterClose + 8192);
        const QByteArray after = TestUtil::readBytes(m_out).mid(afterClose);
        QVERIFY(after.count('\0') == after.size());
    }

    // A reader may sit on a scene for an hour after the tune: nothing may go on rendering
    // silence, and the next tune still plays.
    void aTunePlayedThroughStopsTheAudioThread()
    {
        const auto audioThreads = [] {
            int count = 0;
            const QDir tasks(QStringLiteral("/proc/self/task"));
            for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                if (TestUtil::readBytes(tasks.filePath(task + QStringLiteral("/comm")))
                        .startsWith("SDLAudio"))
                    ++count;
            }
            return count;
        };
        // Four beats of middle C, two seconds.
        QByteArray notes;
        for (int beat = 0; beat < 4; ++beat)
            notes += QByteArray("\x00\x90\x3c\x5a\x83\x60\x80\x3c\x00", 9);
        TestUtil::writeBytes(m_dir.filePath(QStringLiteral("Music/short.mid")), midiFile(notes));
        QFile::remove(m_out);
        SdlMusic music{GameFolder(m_dir.path())};
        music.sendCommand(QStringLiteral("play Music\\short.mid"));
        music.waitIdle();
        QTRY_COMPARE(audioThreads(), 1); // the device's thread names itself once it runs
        QTRY_COMPARE_WITH_TIMEOUT(audioThreads(), 0, 20000);
        QVERIFY2(peak(m_out) > 500, "the tune made no sound before it ended");

        QFile::remove(m_out);
        music.sendCommand(QStringLiteral("play Music\\1.mid"));
        music.waitIdle();
        QTRY_VERIFY2(peak(m_out) > 500, "the next tune made no sound");
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
        const qint64 atMute = QFileInfo(m_out).size() + kTwoBuffers;
        QTRY_VERIFY(QFileInfo(m_out).size() > atMute + 4 * 8192);
        const QByteArray muted = TestUtil::readBytes(m_out).mid(atMute, 4 * 8192);
        QCOMPARE(muted.count('\0'), muted.size());
        music.sendCommand(QStringLiteral("volume 100"));
        music.waitIdle();
        const qint64 atFull = QFileInfo(m_out).size() + kTwoBuffers;
        QTRY_VERIFY(QFileInfo(m_out).size() > atFull + 8 * 8192);
        const QByteArray full = TestUtil::readBytes(m_out).mid(atFull);
        QVERIFY2(full.count('\0') < full.size() / 2, "the tune stayed silent at full volume");
    }

    void waveFilesPlayToo()
    {
        TestUtil::writeBytes(m_dir.filePath(QStringLiteral("Music/tone.wav")), toneWav());
        QFile::remove(m_out);
        SdlMusic music{GameFolder(m_dir.path())};
        music.sendCommand(QStringLiteral("play Music\\tone.wav"));
        music.waitIdle();
        QTest::qWait(600);
        QVERIFY2(peak(m_out) > 500, "the tone made no sound");
    }

    // Recorded music needs SDL and its mixer only: where the MIDI synthesiser's library is not
    // installed, a WAV (as an MP3 or OGG) still plays, and a MIDI tune is silent, nothing more.
    void recordedMusicPlaysWithoutTheMidiSynthesiser()
    {
        TestUtil::writeBytes(m_dir.filePath(QStringLiteral("Music/tone.wav")), toneWav());
        QFile::remove(m_out);
        MusicTesting::leaveOutMidi(true);
        {
            SdlMusic music{GameFolder(m_dir.path())};
            music.sendCommand(QStringLiteral("play Music\\1.mid"));
            music.waitIdle();
            music.sendCommand(QStringLiteral("play Music\\tone.wav"));
            music.waitIdle();
            QTRY_VERIFY2(QFileInfo::exists(m_out) && peak(m_out) > 500,
                         "the tone made no sound without the MIDI synthesiser");
        }
        MusicTesting::leaveOutMidi(false);
    }

    // A tune is read whole before it plays, so one larger than any game holds (a 64 GiB file of
    // which the disk holds nothing, or one byte over the bound) plays nothing, as a tune that
    // cannot play; the player goes on and the next tune plays.
    void aHugeTunePlaysNothingAndTheNextStillPlays_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("64 GiB") << qint64(64) * 1024 * 1024 * 1024;
        QTest::newRow("one byte over the bound") << SdlMusic::kMaxTuneBytes + 1;
    }
    void aHugeTunePlaysNothingAndTheNextStillPlays()
    {
        QFETCH(qint64, size);
        const QString huge = m_dir.filePath(QStringLiteral("Music/huge.mid"));
        TestUtil::writeBytes(huge, midiFile(QByteArray("\x00\x90\x3c\x5a\x83\x60\x80\x3c\x00", 9)));
        {
            QFile file(huge);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(size)); // sparse: no room taken
        }
        QFile::remove(m_out);
        SdlMusic music{GameFolder(m_dir.path())};
        music.sendCommand(QStringLiteral("play Music\\huge.mid"));
        music.waitIdle();
        QTest::qWait(300);
        QVERIFY2(!QFileInfo::exists(m_out) || peak(m_out) == 0, "the huge tune made a sound");
        music.sendCommand(QStringLiteral("play Music\\1.mid"));
        music.waitIdle();
        QTRY_VERIFY2(QFileInfo::exists(m_out) && peak(m_out) > 500, "the next tune made no sound");
        QFile::remove(huge);
    }

    void presetsOfATune_data()
    {
        QTest::addColumn<QByteArray>("events");
        QTest::addColumn<QList<int>>("presets"); // beyond piano and drum kit 0; empty: unreadable
        using SoundFontSubset::key;
        QTest::newRow("none chosen")
            << QByteArray("\x00\x90\x3c\x40\x10\x3c\x00", 7) << QList<int>{};
        QTest::newRow("program change") << QByteArray("\x00\xc0\x28", 3) << QList<int>{key(0, 40)};
        QTest::newRow("bank, then program, with a stand-in")
            << QByteArray("\x00\xb1\x00\x08\x00\xc1\x05", 7) << QList<int>{key(8, 5), key(0, 5)};
        QTest::newRow("channel 10 plays drum kits")
            << QByteArray("\x00\xc9\x10", 3) << QList<int>{key(128, 16), key(0, 16)};
        QTest::newRow("running status, meta and system exclusive passed over")
            << QByteArray("\x00\x90\x3c\x40\x10\x3e\x40\x00\xff\x03\x02"
                          "ab"
                          "\x00\xf0\x03\x7e\x7f\xf7\x00\xc2\x49",
                          22)
            << QList<int>{key(0, 73)};
    }

    void presetsOfATune()
    {
        QFETCH(QByteArray, events);
        QFETCH(QList<int>, presets);
        const std::optional<QSet<int>> found = SoundFontSubset::presetsOf(midiFile(events));
        QVERIFY(found);
        QSet<int> expected{SoundFontSubset::key(0, 0), SoundFontSubset::key(128, 0)};
        for (int p : presets)
            expected.insert(p);
        QCOMPARE(*found, expected);
    }

    void unreadableTunesNameNoPresets()
    {
        const QByteArray whole = midiFile(QByteArray("\x00\xc0\x28", 3));
        QVERIFY(!SoundFontSubset::presetsOf("RIFF....WAVE"));
        QVERIFY(!SoundFontSubset::presetsOf(whole.left(whole.size() - 3))); // cut short
        QVERIFY(!SoundFontSubset::presetsOf(midiFile(QByteArray("\x00\x3c\x40", 3))));
    }

    // The tune plays from a font cut down to its instruments: FluidSynth reads it, and it holds
    // the tune's presets only.
    void aTunePlaysFromTheFontCutToItsInstruments()
    {
        const QString font = QFile::decodeName(SdlMusic::soundFont());
        if (font.isEmpty())
            QSKIP("no General MIDI sound font installed");
        const std::optional<QSet<int>> presets = SoundFontSubset::presetsOf(
            TestUtil::readBytes(QStringLiteral(DEMO_DIR "/Music/1.mid")));
        QVERIFY(presets);
        const std::optional<SoundFontSubset::Cut> cut = SoundFontSubset::cut(font, *presets);
        QVERIFY(cut);
        QByteArray bytes(cut->size(), '\0');
        QFile original(font);
        QVERIFY(original.open(QIODevice::ReadOnly));
        QVERIFY(cut->read(original, 0, bytes.data(), bytes.size()));
        const QString cutPath = m_dir.filePath(QStringLiteral("cut.sf2"));
        TestUtil::writeBytes(cutPath, bytes);

        QSet<int> everything;
        for (int k = 0; k < 129 * 128; ++k)
            everything.insert(k);
        const std::optional<SoundFontSubset::Cut> whole = SoundFontSubset::cut(font, everything);
        const std::optional<SoundFontSubset::Cut> again = SoundFontSubset::cut(cutPath, everything);
        QVERIFY(whole && again);
        QVERIFY(presetCount(*again) >= 1);
        QVERIFY(presetCount(*again) <= presets->size());
        QVERIFY(presetCount(*again) < presetCount(*whole));

        QFile::remove(m_out);
        qputenv("SDL_SOUNDFONTS", QFile::encodeName(cutPath));
        {
            SdlMusic music{GameFolder(m_dir.path())};
            music.sendCommand(QStringLiteral("play Music\\1.mid"));
            music.waitIdle();
            QTRY_VERIFY2(peak(m_out) > 500, "the tune made no sound from the cut font");
        }
        qunsetenv("SDL_SOUNDFONTS");
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
