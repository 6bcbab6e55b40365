#include "game.h"
#include "messages.h"
#include "music.h"

#include "windowplacement.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const GameFolder folder = GameFolder::current();
    SdlMusic music(folder);
    QtMessageBoxes messages;
    Game game(folder, music, messages);
    if (!game.start())
        return 0;
    WindowPlacement::showCentred(game);
    return app.exec();
}
