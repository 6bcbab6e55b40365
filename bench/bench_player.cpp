// Measures the player on a game folder (the demo by default), on a real display:
//   bench_player [game folder]
// - time from process start to the first painted frame of scene 0, against a bare Qt window
//   that shows one picture (both in fresh processes, median of several runs);
// - peak resident memory and CPU used while idle on scene 0 for 10 s;
// - the reveal timer's accuracy at 10 ms and 50 ms (mean interval, 99th percentile deviation).
#include "game.h"
#include "messages.h"
#include "music.h"
#include "pictures.h"
#include "scriptfile.h"
#include "startup.h"
#include "windowplacement.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

qint64 monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double cpuSeconds()
{
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long peakKb()
{
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

qint64 g_t0 = 0; // when the child process's main() began

// With BENCH_PHASES set, tells on stderr how long after @p t0 a phase of start-up ended.
void printPhase(const char *what, qint64 t0)
{
    if (qEnvironmentVariableIsSet("BENCH_PHASES"))
        std::fprintf(stderr, "%-12s %6.1f ms\n", what, (monotonicNs() - t0) / 1e6);
}

// Prints the moment the watched widget has finished its first paint, then quits.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(bool quit, std::function<void()> then = {})
        : m_quit(quit), m_then(std::move(then))
    {
    }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, [this] {
                printPhase("painted", g_t0);
                std::printf("frame %lld\n", static_cast<long long>(monotonicNs()));
                std::fflush(stdout);
                if (m_then)
                    m_then();
                if (m_quit)
                    QApplication::quit();
            });
        }
        return QObject::eventFilter(o, e);
    }

private:
    bool m_quit;
    std::function<void()> m_then;
    bool m_done = false;
};

class SilentMessages : public MessageBoxes
{
public:
    void show(QWidget *, const QString &text, const QString &) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

int childGame(int argc, char **argv, bool idle)
{
    const qint64 t0 = g_t0 = monotonicNs();
    const auto phase = [t0](const char *what) { printPhase(what, t0); };
    // As talerun does.
    Startup::FontPreload fonts;
    QApplication app(argc, argv);
    fonts.wait();
    Startup::setUpApplication(Startup::Program::Player);
    phase("app");
    const GameFolder folder = GameFolder::current();
    SdlMusic music(folder);
    // As talerun does, the music starts after the first frame (BENCH_NO_HOLD=1: at once).
    if (!qEnvironmentVariableIsSet("BENCH_NO_HOLD"))
        music.hold();
    SilentMessages messages;
    Game game(folder, music, messages);
    // As talerun does: the reader's place and settings are read before start-up.
    const QTemporaryDir reader;
    game.useReaderData(reader.filePath(QStringLiteral("game")), reader.path());
    phase("window");
    FirstPaint watch(!idle, [&music] { music.release(); });
    game.BgPic()->installEventFilter(&watch);
    if (!game.start())
        return 1;
    phase("start-up");
    WindowPlacement::showCentred(game);
    if (!idle)
        return app.exec();
    double cpuStart = 0;
    QTimer::singleShot(1000, [&] { cpuStart = cpuSeconds(); });
    QTimer::singleShot(11000, [&] {
        std::printf("idle_cpu_percent %.3f\npeak_kb %ld\n", (cpuSeconds() - cpuStart) / 10.0 * 100,
                    peakKb());
        app.quit();
    });
    return app.exec();
}

int childBare(int argc, char **argv)
{
    const qint64 t0 = g_t0 = monotonicNs();
    const auto phase = [t0](const char *what) { printPhase(what, t0); };
    QApplication app(argc, argv);
    phase("app");
    QLabel label;
    label.setPixmap(QPixmap::fromImage(Pictures::load(QString::fromLocal8Bit(argv[2]))));
    phase("picture");
    FirstPaint watch(true);
    label.installEventFilter(&watch);
    label.show();
    return app.exec();
}

// Runs this program as a child in @p mode and returns the milliseconds from start to frame.
double firstFrameMs(const QString &mode, const QStringList &args, const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    const qint64 start = monotonicNs();
    p.start(QCoreApplication::applicationFilePath(), QStringList{mode} + args);
    p.waitForFinished(30000);
    const QByteArray out = p.readAllStandardOutput();
    const qsizetype at = out.indexOf("frame ");
    if (at < 0)
        return -1;
    return (out.mid(at + 6).trimmed().toLongLong() - start) / 1e6;
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
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "--child-game")
        return childGame(argc, argv, false);
    if (mode == "--child-idle")
        return childGame(argc, argv, true);
    if (mode == "--child-bare")
        return childBare(argc, argv);

    QApplication app(argc, argv);
    const QString dir =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(DEMO_DIR)).absolutePath();
    const QString firstBg = QDir(dir).filePath(
        QStringLiteral("BG/") + LoadScript(GameFolder(dir)).scenes.at(SceneField::BG, 0));
    const int runs = qEnvironmentVariableIntValue("BENCH_RUNS") > 0
                         ? qEnvironmentVariableIntValue("BENCH_RUNS")
                         : 15;
    QList<double> game, bare;
    for (int i = 0; i < runs; ++i) {
        bare.append(firstFrameMs(QStringLiteral("--child-bare"), {firstBg}, dir));
        game.append(firstFrameMs(QStringLiteral("--child-game"), {}, dir));
    }
    const double g = median(game), b = median(bare);
    std::printf(
        "first frame: player %.1f ms, bare picture window %.1f ms, ratio %.2f (median of %d)\n", g,
        b, g / b, runs);

    // Idle CPU is a few tens of milliseconds in 10 s: the median of three runs.
    QList<double> cpu;
    QByteArray peak;
    for (int i = 0; i < 3; ++i) {
        QProcess idle;
        idle.setWorkingDirectory(dir);
        idle.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-idle")});
        idle.waitForFinished(60000);
        for (const QByteArray &line : idle.readAllStandardOutput().split('\n')) {
            if (line.startsWith("idle_cpu_percent "))
                cpu.append(line.mid(17).toDouble());
            else if (line.startsWith("peak_kb "))
                peak = line.mid(8);
        }
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
