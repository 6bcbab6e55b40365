#include "playerapp.h"

#include "game.h"
#include "gamechooser.h"
#include "messages.h"
#include "music.h"
#include "playertexts.h"
#include "readerdata.h"
#include "scriptfile.h"
#include "startup.h"
#include "userfolders.h"
#include "windowplacement.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <functional>
#include <optional>

#include <cstdio>
#include <ctime>

#include <sys/resource.h>

namespace {

// With TALERUN_PHASES set, tells on standard error how long after main() began each phase of
// start-up ended, so that whoever makes start-up faster can see where its time goes (bench_player
// reads the first line and the "painted" one to time the first frame from outside).
void phase(const char *what)
{
    static const bool wanted = qEnvironmentVariableIsSet("TALERUN_PHASES");
    if (!wanted)
        return;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const double ms = now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    static const double t0 = ms;
    // Pages read from the disk so far (each costs milliseconds when the files went cold).
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // The first line gives the clock's reading itself, for comparing with the process's start.
    char clock[48] = "";
    if (ms == t0)
        std::snprintf(clock, sizeof clock, " (monotonic %.3f)", ms);
    std::fprintf(stderr, "talerun %-14s %6.1f ms%s %ld major faults\n", what, ms - t0, clock,
                 usage.ru_majflt);
}

// Calls a function once the watched widget has been painted for the first time.
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QWidget *watched, std::function<void()> then)
        : m_watched(watched), m_then(std::move(then))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_then) {
            m_watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] { std::exchange(m_then, nullptr)(); });
        }
        return false;
    }

private:
    QWidget *m_watched;
    std::function<void()> m_then;
};

// One line on standard error, as the command line's refusals are.
void complain(const QString &text)
{
    std::fputs(QStringLiteral("talerun: %1\n").arg(text).toLocal8Bit().constData(), stderr);
}

// Asks for a game in the chooser, into @p request; false when the reader closed it.
bool choose(Startup::Request &request)
{
    GameChooser chooser(Startup::Program::Player, Startup::RecentFolders().list(),
                        Startup::dataPath(QStringLiteral("demo")));
    chooser.offerContinue([](const QString &folder) {
        return ReaderData(UserFolders::readerFor(folder)).hasPlace();
    });
    if (chooser.exec() != QDialog::Accepted)
        return false;
    request.folder = chooser.folder();
    request.resume = chooser.action() == GameChooser::Action::Continue;
    return true;
}

// Says so when the game @p request names has nothing to play: plainly when it was chosen, else
// as one line on standard error. Returns whether it did.
bool nothingToPlay(const Startup::Request &request, const ScriptLoad &script, bool chosen,
                   MessageBoxes &messages)
{
    const QString nothing = GameLogic::nothingToPlay(
        script, ReadSettings(GameFolder(request.folder)).settings.has_value());
    if (nothing.isEmpty())
        return false;
    if (chosen)
        messages.show(nullptr, nothing, PlayerTexts::kMissingPictureTitle);
    else
        complain(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(request.folder), nothing));
    return true;
}

// Says so when @p request asks for a scene the game does not have, before anything plays or
// shows; returns whether it did.
bool sceneMissing(const Startup::Request &request, const ScriptLoad &script)
{
    if (request.scene <= 0 || !script.usable() || request.scene <= script.scenes.count())
        return false;
    complain(QStringLiteral("没有第%1个场景,这个游戏有%2个场景")
                 .arg(request.scene)
                 .arg(script.scenes.count()));
    return true;
}

// The scene to start at: where the reader stopped for 继续, else the one asked for (or the first).
int firstScene(const Startup::Request &request, Game &game, const ScriptLoad &script)
{
    return request.resume && script.usable()
               ? GameLogic::continueScene(*game.readerData(), script.scenes.count())
               : qMax(0, request.scene - 1);
}

// Shows the game's window centred, at the zoom and in the full screen the reader left.
void showGame(Game &game)
{
    game.restoreZoom();
    WindowPlacement::showCentred(game);
    if (game.logic().readerSettings().fullScreen)
        game.toggleFullScreen();
}

// Plays the game @p request names until the reader closes its window, and gives the exit
// status; nothing when the chooser is to ask again (@p chosen: the game came from it).
std::optional<int> play(const Startup::Request &request, bool chosen, QtMessageBoxes &messages)
{
    const GameFolder folder(request.folder);
    ScriptLoad script = LoadScript(folder);
    phase("script");
    if (nothingToPlay(request, script, chosen, messages)) {
        if (chosen)
            return std::nullopt; // the chooser asks again
        return 1;
    }
    if (sceneMissing(request, script))
        return 2;

    // The game folder is the folder the program runs in, as for a game started inside it.
    QDir::setCurrent(request.folder);
    SdlMusic music(folder);
    music.hold(); // nothing but the first frame competes for the processor until it is drawn
    phase("music");
    Game game(folder, music, messages);
    phase("window made");
    game.useReaderData(UserFolders::readerFor(request.folder), UserFolders::reader());
    phase("reader data");
    // The recent list waits for the first frame too: only a game that opened joins it.
    // Both wait until the display server has drawn the frame: opening the sound libraries
    // while the server draws would take a busy machine's processor from it.
    AfterFirstPaint afterFirstFrame(game.BgPic(), [&music, &request] {
        phase("painted");
        QGuiApplication::sync();
        phase("on screen");
        music.release();
        Startup::RecentFolders().add(request.folder);
    });
    GameLogic::StartResult started = GameLogic::StartResult::Playing;
    const int first = firstScene(request, game, script);
    if (!game.start(first, &started, std::move(script))) {
        if (chosen)
            return std::nullopt; // it said why; another game may be chosen
        return started == GameLogic::StartResult::NoGame ? 1 : 0;
    }
    phase("first scene");
    showGame(game);
    phase("shown");
    return QApplication::exec();
}

} // namespace

int runPlayer(int argc, char *argv[])
{
    phase("main");
    Startup::Request request = Startup::readCommandLine(Startup::Program::Player, argc, argv);
    if (request.kind == Startup::Request::Exit)
        return request.exitCode;
    phase("command line");
    const Startup::Preload preload(request.kind == Startup::Request::Choose ? QString()
                                                                            : request.folder);
    Startup::skipHopelessBusLaunch();
    QApplication app(argc, argv);
    phase("application");
    Startup::setUpApplication(Startup::Program::Player);
    phase("set up");

    const bool chosen = request.kind == Startup::Request::Choose;
    QtMessageBoxes messages;
    for (;;) {
        if (chosen && !choose(request))
            return 0;
        if (const std::optional<int> status = play(request, chosen, messages))
            return *status;
    }
}
