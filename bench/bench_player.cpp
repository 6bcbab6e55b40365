// Measures the player on a game folder (the demo by default), on a real display:
//   bench_player [game folder]
// - time from process start to the first painted frame of scene 0: the talerun program itself
//   (its TALERUN_PHASES lines say when its main() began and when the frame was painted) against
//   bench_bare_window, a program of its own that shows the same picture and the scene's line of
//   text in the game's font and nothing else; started in turn with a pause before each start, as
//   a reader starts a game, the median of several runs;
// - talerun's peak resident memory and the CPU it used while idle on scene 0 for 10 s, its music
//   playing;
// - the reveal timer's accuracy at 10 ms and 50 ms (mean interval, 99th percentile deviation).
#include "game.h"
#include "messages.h"
#include "music.h"
#include "scriptfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <unistd.h>

namespace {

qint64 monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

class SilentMessages : public MessageBoxes
{
public:
    void show(QWidget *, const QString &text, const QString &) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

// Starts talerun in the game folder @p dir and waits for its first painted frame; returns the
// milliseconds from the start until then, or -1. talerun goes on running.
double startTalerun(QProcess &talerun, const QString &dir, QProcessEnvironment env)
{
    env.insert(QStringLiteral("TALERUN_PHASES"), QStringLiteral("1"));
    talerun.setWorkingDirectory(dir);
    talerun.setProcessEnvironment(env);
    talerun.setReadChannel(QProcess::StandardError);
    const qint64 start = monotonicNs();
    talerun.start(QStringLiteral(TALERUN_PATH), {});
    // "talerun main  0.0 ms (monotonic 12345.678) …", then "talerun painted  25.3 ms …"
    double mainMs = -1;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 30000) {
        while (talerun.canReadLine()) {
            const QByteArray line = talerun.readLine().simplified();
            const QList<QByteArray> words = line.split(' ');
            if (words.size() < 3 || words.at(0) != "talerun")
                continue;
            if (const qsizetype at = line.indexOf("(monotonic "); words.at(1) == "main" && at >= 0)
                mainMs = line.mid(at + 11).split(')').first().toDouble();
            else if (words.at(1) == "painted" && mainMs >= 0)
                return mainMs + words.at(2).toDouble() - start / 1e6;
        }
        if (!talerun.waitForReadyRead(1000) && talerun.state() == QProcess::NotRunning)
            break;
    }
    return -1;
}

void stop(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

// The bare window in @p dir: milliseconds from its start to its first painted frame, or -1.
double startBareWindow(const QStringList &args, const QString &dir, const QProcessEnvironment &env)
{
    QProcess bare;
    bare.setWorkingDirectory(dir);
    bare.setProcessEnvironment(env);
    const qint64 start = monotonicNs();
    bare.start(QStringLiteral(BARE_WINDOW_PATH), args);
    bare.waitForFinished(30000);
    const QByteArray out = bare.readAllStandardOutput();
    const qsizetype at = out.indexOf("frame ");
    if (at < 0)
        return -1;
    return (out.mid(at + 6).trimmed().toLongLong() - start) / 1e6;
}

// The CPU time all of @p pid's threads have used so far, in seconds.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // After the name in parentheses: state is field 3, utime and stime are fields 14 and 15.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.at(11).toLongLong() + fields.at(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

// The peak resident memory of @p pid, in kB.
QByteArray peakKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).simplified().split(' ').first();
    }
    return {};
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? -1 : v.at(v.size() / 2);
}

void tickAccuracy(Game &game, int interval, int ticks)
{
    QList<qint64> stamps;
    QObject::connect(game.WordTimer(), &QTimer::timeout, [&] { stamps.append(monotonicNs()); });
    game.WordTimer()->setInterval(interval);
    game.WordTimer()->start();
    QElapsedTimer wait;
    wait.start();
    while (stamps.size() <= ticks && wait.elapsed() < ticks * interval * 3)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    game.WordTimer()->stop();
    QObject::disconnect(game.WordTimer(), &QTimer::timeout, nullptr, nullptr);
    QList<double> deviation;
    double sum = 0;
    for (qsizetype i = 1; i < stamps.size(); ++i) {
        const double ms = (stamps[i] - stamps[i - 1]) / 1e6;
        sum += ms;
        deviation.append(std::abs(ms - interval));
    }
    std::sort(deviation.begin(), deviation.end());
    const double p99 = deviation.isEmpty() ? -1 : deviation.at(int(deviation.size() * 0.99));
    std::printf("tick %2d ms: %lld ticks, mean interval %.3f ms, p99 deviation %.3f ms\n", interval,
                static_cast<long long>(deviation.size()),
                sum / qMax<qsizetype>(1, deviation.size()), p99);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString dir =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(DEMO_DIR)).absolutePath();
    const ScriptLoad script = LoadScript(GameFolder(dir));
    const QString firstBg =
        QDir(dir).filePath(QStringLiteral("BG/") + script.scenes.at(SceneField::BG, 0));
    const std::optional<GameSettings> settings = ReadSettings(GameFolder(dir)).settings;
    const QStringList bareArgs{firstBg, script.scenes.at(SceneField::Note, 0),
                               settings ? settings->GameFont : QString()};
    // talerun keeps the reader's place and the recent games: in a folder of the benchmark's own.
    const QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    const auto setting = [](const char *name, int otherwise) {
        const int value = qEnvironmentVariableIntValue(name);
        return value > 0 ? value : otherwise;
    };
    const int runs = setting("BENCH_RUNS", 15);
    // A game is not started right after another program: a pause lets the machine settle.
    const int pauseMs = setting("BENCH_PAUSE_MS", 2000);
    QList<double> game, bare; // a start that showed no frame is left out
    for (int i = 0; i < runs; ++i) {
        QThread::msleep(pauseMs);
        if (const double ms = startBareWindow(bareArgs, dir, env); ms >= 0)
            bare.append(ms);
        QThread::msleep(pauseMs);
        QProcess talerun;
        if (const double ms = startTalerun(talerun, dir, env); ms >= 0)
            game.append(ms);
        stop(talerun);
    }
    const double g = median(game), b = median(bare);
    std::printf("first frame: talerun %.1f ms, bare window %.1f ms, ratio %.2f (median of %lld and "
                "%lld of %d starts)\n",
                g, b, g / b, static_cast<long long>(game.size()),
                static_cast<long long>(bare.size()), runs);

    // Idle CPU is a few tens of milliseconds in 10 s: the median of three runs.
    QList<double> cpu;
    QByteArray peak;
    for (int i = 0; i < 3; ++i) {
        QProcess talerun;
        if (startTalerun(talerun, dir, env) >= 0) {
            QThread::msleep(1000);
            const double before = cpuSeconds(talerun.processId());
            QThread::msleep(10000);
            cpu.append((cpuSeconds(talerun.processId()) - before) / 10.0 * 100);
            peak = peakKb(talerun.processId());
        }
        stop(talerun);
    }
    std::printf("idle on scene 0 for 10 s: CPU %.3f %% (median of 3; music playing), peak resident "
                "memory %s kB\n",
                median(cpu), peak.constData());

    QDir::setCurrent(dir);
    SdlMusic music{GameFolder(dir)};
    SilentMessages messages;
    Game window{GameFolder(dir), music, messages};
    window.start();
    window.show();
    tickAccuracy(window, 10, 500);
    tickAccuracy(window, 50, 200);

    // A quick save with its picture, written safely to the disk, and loading it back.
    const QTemporaryDir reader;
    window.useReaderData(reader.filePath(QStringLiteral("game")), reader.path());
    QList<double> saves, loads;
    for (int i = 0; i < 21; ++i) {
        QElapsedTimer clock;
        clock.start();
        window.saveSlot(ReaderData::kQuickSlot);
        saves.append(clock.nsecsElapsed() / 1e6);
        window.logic().goToScene(0);
        clock.restart();
        window.loadSlot(ReaderData::kQuickSlot);
        QCoreApplication::processEvents(); // the loaded scene painted
        window.repaint();
        loads.append(clock.nsecsElapsed() / 1e6);
    }
    std::printf("quick save with its picture %.1f ms, load and paint %.1f ms (median of 21)\n",
                median(saves), median(loads));
    return 0;
}
