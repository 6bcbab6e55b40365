#include "filepicker.h"
#include "gameset.h"
#include "messages.h"
#include "webpages.h"

#include "windowplacement.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QtMessageBoxes messages;
    QtFilePicker picker;
    DesktopWebPageOpener web;
    GameSet window(GameFolder::current(), {messages, picker, web});
    window.start();
    WindowPlacement::showCentred(window);
    return app.exec();
}
