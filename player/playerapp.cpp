#include "playerapp.h"

#include "game.h"
#include "gamechooser.h"
#include "messages.h"
#include "music.h"
#include "startup.h"
#include "windowplacement.h"

#include <QApplication>
#include <QDir>

int runPlayer(int argc, char *argv[])
{
    Startup::Request request = Startup::readCommandLine(Startup::Program::Player, argc, argv);
    if (request.kind == Startup::Request::Exit)
        return request.exitCode;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talerun"));
    QApplication::setApplicationVersion(QStringLiteral(TALE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.tavrin.talerun"));

    Startup::RecentFolders recent;
    if (request.kind == Startup::Request::Choose) {
        GameChooser chooser(Startup::Program::Player, recent.list(),
                            Startup::dataPath(QStringLiteral("demo")));
        if (chooser.exec() != QDialog::Accepted)
            return 0;
        request.folder = chooser.folder();
    }
    // The game folder is the folder the program runs in, as for a game started inside it.
    QDir::setCurrent(request.folder);
    const GameFolder folder(request.folder);
    recent.add(request.folder);

    SdlMusic music(folder);
    QtMessageBoxes messages;
    Game game(folder, music, messages);
    if (!game.start())
        return 0;
    WindowPlacement::showCentred(game);
    return app.exec();
}
