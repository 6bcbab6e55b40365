#include "startup.h"

#include "gamefolder.h"
#include "gbk.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <optional>

#include <fcntl.h>
#include <link.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fontconfig/fontconfig.h>

namespace Startup {
namespace {

QString programName(Program program)
{
    return program == Program::Player ? QStringLiteral("talerun") : QStringLiteral("scriptwell");
}

Request exitWith(int code, const QString &output, const QString &error = {})
{
    Request r;
    r.kind = Request::Exit;
    r.exitCode = code;
    r.output = output;
    r.error = error;
    return r;
}

// A folder given on the command line, or the reason it cannot be a game folder.
QString folderProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("文件夹“%1”不存在").arg(path);
    if (!info.isDir())
        return QStringLiteral("“%1”不是文件夹").arg(path);
    return {};
}

QSettings recentSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("taletools"),
                     QStringLiteral("taletools"));
}

const QString kRecentKey = QStringLiteral("recentFolders");

// Qt's own texts in Chinese (the file dialogs, the Yes and No of its message boxes), in Qt's
// translations folder.
const QString kQtTexts = QStringLiteral("qtbase_zh_CN");

} // namespace

namespace {

// Every option of the two programs; each program offers its own of them (addOptions()).
struct Options
{
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("显示此帮助并退出。")};
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("显示版本并退出。")};
    const QCommandLineOption choose{
        QStringLiteral("choose"),
        QStringLiteral("打开一个窗口，从最近的游戏、文件夹或示例中选择游戏。")};
    const QCommandLineOption newGame{QStringLiteral("new"),
                                     QStringLiteral("在 FOLDER 中新建一个游戏并打开它。"),
                                     QStringLiteral("FOLDER")};
    const QCommandLineOption check{
        QStringLiteral("check"),
        QStringLiteral(
            "检查游戏，每个问题一行（UTF-8）；没有问题时退出码为0，有问题为1，不是游戏为2。")};
    const QCommandLineOption publish{
        QStringLiteral("publish"),
        QStringLiteral(
            "把 FOLDER 中的游戏发布为网页：写入文件夹 OUT 和 OUT.zip（以前发布到那里的网页"
            "整个替换，别的东西不动）；退出码0为成功，1为有问题（如缺少图片），"
            "2为不是游戏。用法：--publish FOLDER OUT")};
    const QCommandLineOption scene{QStringLiteral("scene"),
                                   QStringLiteral("从第 N 个场景开始玩（从1数起）。"),
                                   QStringLiteral("N")};
    const QCommandLineOption resume{QStringLiteral("continue"),
                                    QStringLiteral("从上次玩到的场景继续。")};
};

void addOptions(QCommandLineParser &parser, Program program, const Options &o)
{
    parser.setApplicationDescription(program == Program::Player
                                         ? QStringLiteral("talerun：播放图文故事游戏。")
                                         : QStringLiteral("scriptwell：编辑图文故事游戏。"));
    parser.addOption(o.help);
    parser.addOption(o.version);
    parser.addOption(o.choose);
    if (program == Program::Player) {
        parser.addOption(o.scene);
        parser.addOption(o.resume);
    }
    if (program == Program::Editor) {
        parser.addOption(o.newGame);
        parser.addOption(o.check);
        parser.addOption(o.publish);
    }
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("游戏文件夹；不写时为当前文件夹。"),
                                 QStringLiteral("[FOLDER]"));
}

Request usageError(Program program, const QCommandLineParser &parser, const QString &why)
{
    return exitWith(2, {},
                    programName(program) + QStringLiteral(": ") + why + u'\n' + parser.helpText());
}

// The player's own options, on @p r: where in the game it starts.
Request playerStart(Request r, const QCommandLineParser &parser, const Options &o)
{
    if (parser.isSet(o.resume)) {
        if (parser.isSet(o.scene))
            return usageError(Program::Player, parser,
                              QStringLiteral("--continue和--scene只能选一个"));
        r.resume = true;
    }
    if (parser.isSet(o.scene)) {
        bool ok = false;
        r.scene = parser.value(o.scene).toInt(&ok);
        if (!ok || r.scene < 1)
            return exitWith(2, {},
                            programName(Program::Player) +
                                QStringLiteral(": --scene需要一个从1数起的场景编号,不是“%1”\n")
                                    .arg(parser.value(o.scene)));
    }
    return r;
}

// What a command line that parsed asks for, or Exit 2 with the reason.
Request requestOf(Program program, const QCommandLineParser &parser, const Options &o)
{
    QStringList folders = parser.positionalArguments();
    const bool publishing = program == Program::Editor && parser.isSet(o.publish);
    QString out;
    if (publishing) {
        if (folders.size() != 2)
            return usageError(program, parser,
                              QStringLiteral("--publish需要游戏文件夹FOLDER和网页文件夹OUT"));
        out = QDir(folders.takeLast()).absolutePath();
    }
    const bool creating = program == Program::Editor && parser.isSet(o.newGame);
    const bool checking = program == Program::Editor && parser.isSet(o.check);
    if (folders.size() + (creating ? 1 : 0) + (parser.isSet(o.choose) ? 1 : 0) > 1)
        return usageError(program, parser, QStringLiteral("只能给出一个游戏文件夹"));
    if (int(creating) + int(checking) + int(publishing) + int(parser.isSet(o.choose)) > 1)
        return usageError(program, parser,
                          QStringLiteral("--new、--check、--publish和--choose只能选一个"));

    Request r;
    if (creating) {
        r.kind = Request::NewGame;
        r.folder = QDir(parser.value(o.newGame)).absolutePath();
        return r;
    }
    if (parser.isSet(o.choose)) {
        r.kind = Request::Choose;
        return r;
    }
    r.folder = QDir(folders.isEmpty() ? QDir::currentPath() : folders.first()).absolutePath();
    if (const QString problem = folderProblem(r.folder); !problem.isEmpty())
        return exitWith(2, {}, programName(program) + QStringLiteral(": ") + problem + u'\n');
    if (checking)
        r.kind = Request::Check;
    if (publishing) {
        r.kind = Request::Publish;
        r.out = out;
    }
    return program == Program::Player ? playerStart(r, parser, o) : r;
}

} // namespace

Request parseCommandLine(Program program, const QStringList &arguments)
{
    const Options options;
    QCommandLineParser parser;
    addOptions(parser, program, options);
    if (!parser.parse(arguments))
        return usageError(program, parser, parser.errorText());
    if (parser.isSet(options.help))
        return exitWith(0, parser.helpText());
    if (parser.isSet(options.version))
        return exitWith(0, programName(program) + u' ' + QStringLiteral(TALE_VERSION) + u'\n');
    return requestOf(program, parser, options);
}

namespace {

// A name as bash reads it back byte for byte: $'\xba\xa3…'.
QString shellBytes(const QByteArray &bytes)
{
    QString quoted = QStringLiteral("$'");
    for (char c : bytes)
        quoted += QStringLiteral("\\x%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    return quoted + u'\'';
}

// A folder named on the command line in code page 936 bytes (unpacked from a Chinese Windows
// zip): Qt cannot open it, so the user is told which folder it is and how to rename it.
QString windowsNamedFolder(const QByteArray &argument)
{
    const QList<QByteArray> parts = argument.split('/');
    QByteArray parent = argument.startsWith('/') ? QByteArray() : QByteArray(".");
    for (const QByteArray &part : parts) {
        if (const std::optional<QString> name = nameFromWindowsBytes(part)) {
            const QString where = QString::fromUtf8(parent.isEmpty() ? QByteArray("/") : parent);
            return QStringLiteral("文件夹名称“%1”是Windows中文编码(GBK)的字节,无法打开。"
                                  "请先改成正确的名称,例如在%2中运行:\n    mv %3 '%1'")
                .arg(*name, where, shellBytes(part));
        }
        if (!part.isEmpty())
            parent += '/' + part;
    }
    return {};
}

} // namespace

Request readCommandLine(Program program, int argc, char *argv[])
{
    // The usual start, in the game's folder without arguments, does without the core
    // application, which the answers to arguments need (half a millisecond before the window).
    std::optional<QCoreApplication> core;
    if (argc > 1)
        core.emplace(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (const QString problem = windowsNamedFolder(QByteArray(argv[i])); !problem.isEmpty()) {
            const QString line = programName(program) + QStringLiteral(": ") + problem + u'\n';
            std::fputs(line.toLocal8Bit().constData(), stderr);
            return exitWith(2, {}, line);
        }
    }
    const Request request = parseCommandLine(
        program, core ? QCoreApplication::arguments()
                      : QStringList{QString::fromLocal8Bit(argc > 0 ? argv[0] : "")});
    std::fputs(request.output.toLocal8Bit().constData(), stdout);
    std::fputs(request.error.toLocal8Bit().constData(), stderr);
    return request;
}

QStringList RecentFolders::list() const
{
    QStringList existing;
    for (const QString &folder : recentSettings().value(kRecentKey).toStringList()) {
        if (QFileInfo(folder).isDir())
            existing.append(folder);
    }
    return existing;
}

void RecentFolders::add(const QString &folder)
{
    const QString path = QDir(folder).absolutePath();
    QSettings settings = recentSettings();
    QStringList folders = settings.value(kRecentKey).toStringList();
    folders.removeAll(path);
    folders.prepend(path);
    while (folders.size() > kMax)
        folders.removeLast();
    settings.setValue(kRecentKey, folders);
}

bool coreToSpare(int cores, double loadLastMinute, int runnableNow)
{
    return runnableNow <= cores && loadLastMinute < cores - 1;
}

bool coreToSpare()
{
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) != 0)
        return false;
    // /proc/loadavg: the load averages, then "runnable/all" at this moment.
    FILE *file = std::fopen("/proc/loadavg", "r");
    if (!file)
        return false;
    double load[3];
    int runnable = 0, all = 0;
    const int read =
        std::fscanf(file, "%lf %lf %lf %d/%d", &load[0], &load[1], &load[2], &runnable, &all);
    std::fclose(file);
    return read == 5 && coreToSpare(CPU_COUNT(&cores), load[0], runnable);
}

namespace {

// Asks the system to read the bytes of @p fd from @p offset on (to its end when @p length is 0)
// into memory, without waiting for them.
void readAhead(int fd, off_t offset = 0, off_t length = 0)
{
    if (fd >= 0)
        posix_fadvise(fd, offset, length, POSIX_FADV_WILLNEED);
}

void readAhead(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    readAhead(fd);
    if (fd >= 0)
        ::close(fd);
}

// The running program's own code and data, as the segments its file maps.
int readProgramAhead(dl_phdr_info *info, size_t, void *)
{
    // The first object is the program itself, whose name is empty.
    const int fd = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr) &segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD)
            readAhead(fd, off_t(segment.p_offset), off_t(segment.p_filesz));
    }
    if (fd >= 0)
        ::close(fd);
    return 1; // the program only
}

} // namespace

Preload::Preload(const QString &gameFolder)
{
    dl_iterate_phdr(readProgramAhead, nullptr);
    if (!gameFolder.isEmpty()) {
        for (const char *name : {"/Game.txt", "/Game.ini"})
            readAhead(gameFolder + QLatin1StringView(name));
    }
    readAhead(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u'/' + kQtTexts +
              QStringLiteral(".qm"));
    if (coreToSpare())
        m_thread = std::thread([] {
            // The nice value is the thread's own on Linux: the main thread keeps its priority.
            setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
            Gbk::decode(QByteArrayLiteral("\xb5\xda")); // 第
            FcInit();
        });
}

Preload::~Preload()
{
    if (m_thread.joinable())
        m_thread.join();
}

void skipHopelessBusLaunch()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus")))
        return;
    if (QFileInfo(QStringLiteral("/usr/bin/dbus-launch")).isExecutable() ||
        !QStandardPaths::findExecutable(QStringLiteral("dbus-launch")).isEmpty())
        return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

void setUpApplication(Program program)
{
    QCoreApplication::setOrganizationName(QStringLiteral("taletools"));
    QCoreApplication::setApplicationName(programName(program));
    QCoreApplication::setApplicationVersion(QStringLiteral(TALE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.tavrin.") + programName(program));
    // Settings kept before the programs had an organisation move over once.
    QSettings settings;
    if (settings.allKeys().isEmpty()) {
        const QSettings before(QStringLiteral("Unknown Organization"), programName(program));
        for (const QString &key : before.allKeys())
            settings.setValue(key, before.value(key));
    }
    // The programs speak Chinese; so does Qt.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(kQtTexts, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

void RecentFolders::remove(const QString &folder)
{
    QSettings settings = recentSettings();
    QStringList folders = settings.value(kRecentKey).toStringList();
    folders.removeAll(QDir(folder).absolutePath());
    settings.setValue(kRecentKey, folders);
}

QString programPath(Program program)
{
    const QString name = programName(program);
    const QString bin = QCoreApplication::applicationDirPath();
    if (const QString beside = QDir(bin).filePath(name); QFileInfo(beside).isExecutable())
        return beside;
    if (QDir::cleanPath(bin).startsWith(QStringLiteral(TALE_BUILD_DIR))) {
        const QString built =
            QStringLiteral(TALE_BUILD_DIR "/") +
            (program == Program::Player ? QStringLiteral("player/") : QStringLiteral("editor/")) +
            name;
        if (QFileInfo(built).isExecutable())
            return built;
    }
    return name;
}

QString dataPath(const QString &relative)
{
    const QString bin = QCoreApplication::applicationDirPath();
    const QString installed =
        QDir(bin).filePath(QStringLiteral(TALE_DATA_FROM_BIN) + u'/' + relative);
    if (QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    // Run from the build folder: the data stands in the source tree.
    if (QDir::cleanPath(bin).startsWith(QStringLiteral(TALE_BUILD_DIR))) {
        const QString source = relative == u"demo" ? QStringLiteral("examples/demo")
                                                   : QStringLiteral("docs/") + relative;
        const QString path = QStringLiteral(TALE_SOURCE_DIR "/") + source;
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

} // namespace Startup
