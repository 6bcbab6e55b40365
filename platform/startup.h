#pragma once

#include <QString>
#include <QStringList>

#include <thread>

class QWidget;

/// How a program starts: its command line, the game folders it offers, and where the data
/// installed with it lies.
namespace Startup {

enum class Program
{
    Player, ///< talerun
    Editor, ///< scriptwell
};

/// What the command line asks for. Nothing is printed by the parser: the caller prints
/// `output` to standard output and `error` to standard error, then acts on `kind`.
struct Request
{
    enum Kind
    {
        OpenFolder, ///< work in `folder` (the current folder when none was given)
        Choose,     ///< ask the user for the game (the menu entries start the programs so)
        NewGame,    ///< begin a new game in `folder`, then open it (editor only)
        Check,      ///< check the game in `folder` and print its problems (editor only)
        Publish,    ///< publish the game in `folder` as a web page in `out` (editor only)
        Exit,       ///< exit now with `exitCode` (help, version, or a bad command line)
    };
    Kind kind = OpenFolder;
    QString folder;      ///< absolute
    QString out;         ///< where to publish, absolute (Publish)
    int scene = 0;       ///< the scene to start at, counted from 1 (talerun --scene); 0: the first
    bool resume = false; ///< start at the scene the reader reached last time (talerun --continue)
    int exitCode = 0;
    QString output;
    QString error;
};

/// Parses @p arguments (the program's name first). --help and --version give Exit 0 with
/// their text; an unknown option or a second folder gives Exit 2 with the reason and the
/// usage; a FOLDER that does not exist or is not a folder gives Exit 2 with one line.
Request parseCommandLine(Program program, const QStringList &arguments);

/// Parses the command line of @p program from @p argc and @p argv and prints what it asks to
/// print. The display is not touched, so --help, --version and a wrong command line work
/// without one.
Request readCommandLine(Program program, int argc, char *argv[]);

/// The game folders opened last, most recent first, shared by both programs (QSettings).
class RecentFolders
{
public:
    static constexpr int kMax = 10;
    /// The remembered folders that still exist.
    QStringList list() const;
    /// Puts @p folder first.
    void add(const QString &folder);
    /// Forgets @p folder.
    void remove(const QString &folder);
};

/// Names the running @p program for the desktop and for its settings (everything under one
/// "taletools" folder of the user's), and installs Qt's own Chinese texts for its dialogs and
/// buttons, whatever the system's language. Call it once the QApplication exists.
void setUpApplication(Program program);

/// Whether a processor of those this program may run on is to spare: over the last minute less
/// than all but one of them were busy on average, and at this moment at most one task besides
/// this one is runnable. Only then does a helper thread at start-up win time rather than take it
/// from the first frame (or hold a lock the first frame needs while it waits for a processor).
/// A single momentary sample alone said no whenever the measuring tool polled the screen.
bool coreToSpare();
/// The same from @p cores, the one-minute load average and the tasks runnable now (this one
/// included).
bool coreToSpare(int cores, double loadLastMinute, int runnableNow);

/// Gets ahead of what a start will read, while the application connects to the display (which
/// takes as long). Files a program has not used for a while may no longer be in memory, and a
/// start that reads them from the disk waits milliseconds for each: the program's own code, the
/// game's Game.txt and Game.ini in @p gameFolder (when known) and Qt's Chinese texts are asked
/// for at once, without waiting. A thread of its own then loads the GBK converter's tables and
/// reads the system's font configuration, so that the script and the first text drawn find them
/// ready. It runs at the lowest priority, taking only time a processor would otherwise leave
/// idle, and nobody waits for it: should the application need either first, it loads it itself,
/// as it does when no core is to spare (coreToSpare()) and no thread is started. Made before the
/// QApplication.
class Preload
{
public:
    explicit Preload(const QString &gameFolder = {});
    ~Preload();
    Preload(const Preload &) = delete;
    Preload &operator=(const Preload &) = delete;

private:
    std::thread m_thread;
};

/// In a session without a D-Bus session bus, the first widget's accessibility has libdbus start
/// one by running dbus-launch, forking this process on the way: milliseconds, and its memory
/// copied on write after, before the first frame. Where dbus-launch is not installed that child
/// can only fail; then the bus is named as disabled instead, and the accessibility learns at
/// once that there is none. A session bus named, or found in the user's runtime folder, or a
/// dbus-launch to start one, leaves everything as it was. Call it before the QApplication.
void skipHopelessBusLaunch();

/// Where the other program of the pair is (talerun beside scriptwell, or in its build folder),
/// or just its name, for the system to find on its search path.
QString programPath(Program program);

/// The path of @p relative inside the data installed with the programs ("demo" for the demo
/// game, "guide/index.html" for the guide), found from where the running program lies; a
/// program run from its build folder finds them in the source tree. Empty when not there.
QString dataPath(const QString &relative);

} // namespace Startup
