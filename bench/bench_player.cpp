// Measures the player on a game folder (the demo by default), on a real display:
//   bench_player [game folder]
// - time from process start to the first painted frame of scene 0, talerun's own start-up against
//   a bare Qt window that shows the same picture and the scene's line of text in the game's font,
//   with nothing else (no translations, no settings), both in fresh processes, alternated, the
//   median of several runs;
// - peak resident memory and CPU used while idle on scene 0 for 10 s;
// - the reveal timer's accuracy at 10 ms and 50 ms (mean interval, 99th percentile deviation).
#include "game.h"
#include "messages.h"
#include "music.h"
#include "playerapp.h"
#include "scriptfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

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

// talerun itself, started as it starts (its command line without the mode), in the game folder
// it runs in.
int childGame(int argc, char **argv, bool idle)
{
    g_t0 = monotonicNs();
    std::vector<char *> args{argv[0]};
    args.insert(args.end(), argv + 2, argv + argc);
    args.push_back(nullptr);
    if (!idle) {
        return runPlayer(int(args.size()) - 1, args.data(), [] {
            printPhase("painted", g_t0);
            std::printf("frame %lld\n", static_cast<long long>(monotonicNs()));
            std::fflush(stdout);
            QApplication::quit();
        });
    }
    // Idle on scene 0 with the music playing: CPU from 1 s to 11 s after the first frame, and the
    // peak memory then.
    double cpuStart = 0;
    return runPlayer(int(args.size()) - 1, args.data(), [&cpuStart] {
        QTimer::singleShot(1000, [&cpuStart] { cpuStart = cpuSeconds(); });
        QTimer::singleShot(11000, [&cpuStart] {
            std::printf("idle_cpu_percent %.3f\npeak_kb %ld\n",
                        (cpuSeconds() - cpuStart) / 10.0 * 100, peakKb());
            std::fflush(stdout);
            QApplication::quit();
        });
    });
}

// The floor: a bare Qt window with what talerun's first frame shows (the picture, a translucent
// box and the scene's line of text in the game's font), as a newcomer would write it, and
// nothing more: no translations, no settings. argv: --child-bare PICTURE TEXT FONT.
int childBare(int argc, char **argv)
{
    const qint64 t0 = g_t0 = monotonicNs();
    QApplication app(argc, argv);
    printPhase("app", t0);
    QLabel background;
    background.setWindowTitle(QStringLiteral("bare"));
    background.setFixedSize(Game::kWidth, Game::kHeight);
    background.setPixmap(QPixmap(QString::fromLocal8Bit(argv[2])));
    QLabel text(QString::fromUtf8(argv[3]), &background);
    text.setGeometry(19, 352, 600, 120);
    text.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text.setMargin(20);
    text.setFont(QFont(QString::fromUtf8(argv[4]), 18));
    QPalette look = text.palette();
    look.setColor(QPalette::Window, QColor(0, 0, 0, 102));
    look.setColor(QPalette::WindowText, Qt::white);
    text.setPalette(look);
    text.setAutoFillBackground(true);
    printPhase("picture", t0);
    FirstPaint watch(true);
    background.installEventFilter(&watch);
    background.show();
    return app.exec();
}

// Runs this program as a child in @p mode and returns the milliseconds from start to frame.
double firstFrameMs(const QString &mode, const QStringList &args, const QString &dir,
                    const QProcessEnvironment &env)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setProcessEnvironment(env);
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
    const int runs = qEnvironmentVariableIntValue("BENCH_RUNS") > 0
                         ? qEnvironmentVariableIntValue("BENCH_RUNS")
                         : 15;
    QList<double> game, bare;
    for (int i = 0; i < runs; ++i) {
        bare.append(firstFrameMs(QStringLiteral("--child-bare"), bareArgs, dir, env));
        game.append(firstFrameMs(QStringLiteral("--child-game"), {}, dir, env));
    }
    const double g = median(game), b = median(bare);
    std::printf("first frame: player %.1f ms, bare window %.1f ms, ratio %.2f (median of %d)\n", g,
                b, g / b, runs);

    // Idle CPU is a few tens of milliseconds in 10 s: the median of three runs.
    QList<double> cpu;
    QByteArray peak;
    for (int i = 0; i < 3; ++i) {
        QProcess idle;
        idle.setWorkingDirectory(dir);
        idle.setProcessEnvironment(env);
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
