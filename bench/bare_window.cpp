// The floor for the player's first frame: a bare Qt window with what talerun's first frame shows
// (the picture, a translucent box and the scene's line of text in the game's font), as a
// newcomer would write it, and nothing more: no translations, no settings, none of the player's
// code in the program.
//   bench_bare_window PICTURE TEXT FONT
// Prints "frame <CLOCK_MONOTONIC in ns>" once the window has been painted, then quits.
#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, [] {
                timespec now;
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("frame %lld\n", now.tv_sec * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: bench_bare_window PICTURE TEXT FONT\n", stderr);
        return 2;
    }
    QLabel background;
    background.setWindowTitle(QStringLiteral("bare"));
    background.setFixedSize(638, 482);
    background.setPixmap(QPixmap(QString::fromLocal8Bit(argv[1])));
    QLabel text(QString::fromUtf8(argv[2]), &background);
    text.setGeometry(19, 352, 600, 120);
    text.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text.setMargin(20);
    text.setFont(QFont(QString::fromUtf8(argv[3]), 18));
    QPalette look = text.palette();
    look.setColor(QPalette::Window, QColor(0, 0, 0, 102));
    look.setColor(QPalette::WindowText, Qt::white);
    text.setPalette(look);
    text.setAutoFillBackground(true);
    FirstPaint watch;
    background.installEventFilter(&watch);
    background.show();
    return app.exec();
}
