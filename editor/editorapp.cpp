#include "editorapp.h"

#include "editortexts.h"
#include "filepicker.h"
#include "gamecheck.h"
#include "gamechooser.h"
#include "gamelock.h"
#include "gameset.h"
#include "messages.h"
#include "newgame.h"
#include "publishing.h"
#include "startup.h"
#include "userfolders.h"
#include "versionstore.h"
#include "webpages.h"
#include "windowplacement.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

using namespace EditorTexts;

namespace {

// Asks for a game until one opens or the user gives up; returns its folder, or empty.
QString chooseGame(MessageBoxes &messages)
{
    for (;;) {
        GameChooser chooser(Startup::Program::Editor, Startup::RecentFolders().list(),
                            Startup::dataPath(QStringLiteral("demo")));
        if (chooser.exec() != QDialog::Accepted)
            return {};
        WriteResult made;
        switch (chooser.action()) {
        case GameChooser::Action::Open:
        case GameChooser::Action::Continue: // offered by the player only
            return chooser.folder();
        case GameChooser::Action::NewGame:
            made = CreateGame(chooser.folder(), chooser.gameName());
            break;
        case GameChooser::Action::CopyDemo:
            made = CopyGame(Startup::dataPath(QStringLiteral("demo")), chooser.folder());
            break;
        }
        if (made)
            return chooser.folder();
        messages.show(nullptr, made.error, QStringLiteral("新建游戏"));
    }
}

// Checks the game in @p folder without a window; returns the exit status.
int checkGame(int argc, char *argv[], const QString &folder)
{
    // Fonts need a GUI application; nothing is shown, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    GameCheck check{GameFolder(folder)};
    const GameCheck::Verdict verdict = check.run();
    switch (verdict) {
    case GameCheck::Verdict::NoGame:
        std::fprintf(stderr, "scriptwell: %s\n",
                     QStringLiteral("“%1”中没有游戏(Game.txt或Game.ini)")
                         .arg(folder)
                         .toLocal8Bit()
                         .constData());
        return 2;
    case GameCheck::Verdict::Fine: return 0;
    case GameCheck::Verdict::Warnings:
    case GameCheck::Verdict::Problems: break;
    }
    for (const GameProblem &problem : check.problems())
        std::fputs((problem.line() + u'\n').toUtf8().constData(), stdout);
    // A game whose only findings are warnings plays as its author saw it.
    return verdict == GameCheck::Verdict::Warnings ? 0 : 1;
}

} // namespace

int runEditor(int argc, char *argv[])
{
    Startup::Request request = Startup::readCommandLine(Startup::Program::Editor, argc, argv);
    if (request.kind == Startup::Request::Exit)
        return request.exitCode;
    if (request.kind == Startup::Request::Check)
        return checkGame(argc, argv, request.folder);
    if (request.kind == Startup::Request::Publish)
        return Publishing::fromCommandLine(argc, argv, request.folder, request.out);
    const Startup::Preload preload(request.folder);
    Startup::skipHopelessBusLaunch();
    QApplication app(argc, argv);
    Startup::setUpApplication(Startup::Program::Editor);

    QtMessageBoxes messages;
    if (request.kind == Startup::Request::NewGame) {
        if (const WriteResult created = CreateGame(request.folder); !created) {
            std::fprintf(stderr, "scriptwell: %s\n", created.error.toLocal8Bit().constData());
            return 1;
        }
    } else if (request.kind == Startup::Request::Choose) {
        request.folder = chooseGame(messages);
        if (request.folder.isEmpty())
            return 0;
    }
    // Two editors on one game would each write over the other's changes unseen.
    GameLock lock(request.folder);
    if (!lock.tryLock() &&
        !messages.ask(nullptr,
                      kAlreadyOpen.arg(QDir::toNativeSeparators(request.folder)).arg(lock.holder()),
                      kCaption))
        return 0;
    // The game folder is the folder the program runs in, as for a game edited inside it.
    QDir::setCurrent(request.folder);
    Startup::RecentFolders().add(request.folder);

    // Versions are kept whatever became of their game's folder; only long-untouched ones go.
    VersionStore::ageOut(UserFolders::versions(), QDateTime::currentDateTimeUtc(), request.folder);
    QtFilePicker picker;
    DesktopWebPageOpener web;
    GameSet window(GameFolder(request.folder), {messages, picker, web});
    window.start();
    WindowPlacement::showCentred(window);
    return app.exec();
}
