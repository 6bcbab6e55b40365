// Makes the demo game in a folder: pictures in a flat, paper-cut style, a short MIDI tune, and
// Game.txt / Game.ini written through the script layer (so they are GBK with CR LF).
//
//   make_demo <folder>

#include "scriptfile.h"
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <QPainterPath>
#include <functional>

#include <cstdio>
#include <functional>

namespace {

constexpr int kW = 638;
constexpr int kH = 482;

QLinearGradient sky(QColor top, QColor bottom)
{
    QLinearGradient g(0, 0, 0, kH);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void hills(QPainter &p, QColor colour, int base, int amplitude, int phase)
{
    QPainterPath path(QPointF(0, kH));
    for (int x = 0; x <= kW; x += 8) {
        const double y = base + amplitude * std::sin((x + phase) / 90.0) +
                         amplitude / 2.0 * std::sin((x + 2 * phase) / 37.0);
        path.lineTo(x, y);
    }
    path.lineTo(kW, kH);
    path.closeSubpath();
    p.fillPath(path, colour);
}

void sea(QPainter &p, QColor colour, int top)
{
    p.fillRect(0, top, kW, kH - top, colour);
    p.setPen(QPen(colour.lighter(130), 2));
    for (int y = top + 12; y < kH; y += 22)
        for (int x = (y / 22 % 2) * 40; x < kW; x += 80)
            p.drawLine(x, y, x + 30, y);
}

void lighthouse(QPainter &p, int x, int base, int height, bool lit)
{
    QPainterPath tower;
    tower.moveTo(x - 22, base);
    tower.lineTo(x - 12, base - height);
    tower.lineTo(x + 12, base - height);
    tower.lineTo(x + 22, base);
    tower.closeSubpath();
    p.fillPath(tower, QColor(238, 232, 220));
    for (int i = 1; i < 4; ++i) {
        const int y = base - height * i / 4;
        p.fillRect(QRectF(x - 22 + 10.0 * i / 4 * 1.0 - 2, y, 44 - 20.0 * i / 4 + 4, 12),
                   QColor(196, 64, 56));
    }
    p.fillRect(x - 14, base - height - 22, 28, 22,
               lit ? QColor(255, 230, 120) : QColor(90, 90, 100));
    QPainterPath roof;
    roof.moveTo(x - 18, base - height - 22);
    roof.lineTo(x, base - height - 40);
    roof.lineTo(x + 18, base - height - 22);
    roof.closeSubpath();
    p.fillPath(roof, QColor(60, 50, 60));
    if (lit) {
        QPainterPath beam;
        beam.moveTo(x, base - height - 11);
        beam.lineTo(0, base - height - 80);
        beam.lineTo(0, base - height + 40);
        beam.closeSubpath();
        p.fillPath(beam, QColor(255, 240, 170, 90));
    }
}

void houses(QPainter &p, QColor wall, QColor roof, int base)
{
    for (int i = 0; i < 6; ++i) {
        const int x = 40 + i * 62, w = 48, h = 36 + (i * 13) % 22;
        p.fillRect(x, base - h, w, h, wall);
        QPainterPath r;
        r.moveTo(x - 6, base - h);
        r.lineTo(x + w / 2, base - h - 22);
        r.lineTo(x + w + 6, base - h);
        r.closeSubpath();
        p.fillPath(r, roof);
        p.fillRect(x + 14, base - h + 10, 10, 10, QColor(255, 214, 120));
    }
}

// A background picture: a sky from @p top to @p bottom, then what @p paint draws over it.
QImage background(QColor top, QColor bottom, const std::function<void(QPainter &)> &paint)
{
    QImage img(kW, kH, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(img.rect(), sky(top, bottom));
    paint(p);
    return img;
}

void disc(QPainter &p, QColor colour, QPointF centre, qreal radius)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre, radius, radius);
}

QImage dusk()
{
    return background(QColor(250, 170, 120), QColor(255, 224, 170), [](QPainter &p) {
        disc(p, QColor(255, 240, 200), QPointF(420, 250), 60); // the sun
        sea(p, QColor(70, 110, 150), 270);
        hills(p, QColor(120, 96, 110), 300, 18, 0);
        houses(p, QColor(230, 200, 170), QColor(150, 70, 60), 330);
        lighthouse(p, 560, 300, 150, false);
    });
}

QImage tower()
{
    return background(QColor(130, 170, 210), QColor(220, 230, 235), [](QPainter &p) {
        hills(p, QColor(150, 160, 140), 380, 10, 50);
        // steps up the hill
        for (int i = 0; i < 9; ++i)
            p.fillRect(150 + i * 28, 440 - i * 20, 60, 10, QColor(120, 110, 100));
        lighthouse(p, 470, 400, 300, false);
        p.fillRect(455, 360, 30, 40, QColor(90, 60, 50));  // the door
        p.fillRect(500, 370, 22, 16, QColor(200, 60, 60)); // the letter box
    });
}

QImage night()
{
    return background(QColor(18, 24, 60), QColor(60, 70, 120), [](QPainter &p) {
        disc(p, QColor(255, 250, 220), QPointF(480, 90), 46); // the moon
        for (int i = 0; i < 40; ++i)
            disc(p, Qt::white, QPointF((i * 137) % kW, (i * 71) % 220), 1.5);
        sea(p, QColor(30, 40, 80), 300);
        hills(p, QColor(20, 22, 40), 320, 14, 120);
        lighthouse(p, 120, 320, 170, false);
    });
}

QImage fog()
{
    return background(QColor(40, 46, 70), QColor(120, 130, 150), [](QPainter &p) {
        sea(p, QColor(60, 70, 96), 280);
        lighthouse(p, 520, 300, 200, true);
        for (int i = 0; i < 5; ++i)
            p.fillRect(0, 200 + i * 50, kW, 30, QColor(220, 220, 230, 50));
        // a small boat
        QPainterPath hull;
        hull.moveTo(120, 330);
        hull.lineTo(220, 330);
        hull.lineTo(200, 350);
        hull.lineTo(140, 350);
        hull.closeSubpath();
        p.fillPath(hull, QColor(40, 30, 30));
        p.fillRect(168, 280, 4, 50, QColor(40, 30, 30));
    });
}

QImage over()
{
    QImage img = night();
    QPainter p(&img);
    p.fillRect(img.rect(), QColor(0, 0, 0, 110));
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPixelSize(64);
    p.setFont(f);
    p.setPen(QColor(255, 236, 180));
    p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("终"));
    return img;
}

QImage box(QColor fill, QColor border)
{
    QImage img(600, 120, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(border, 6));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(3, 3, 594, 114), 18, 18);
    return img;
}

// A short tune as a format-0 standard MIDI file: piano melody over a held bass.
QByteArray tune()
{
    QByteArray track;
    auto varlen = [&](quint32 v) {
        QByteArray b;
        b.prepend(char(v & 0x7F));
        while (v >>= 7)
            b.prepend(char((v & 0x7F) | 0x80));
        track += b;
    };
    auto event = [&](quint32 delta, std::initializer_list<int> bytes) {
        varlen(delta);
        for (int b : bytes)
            track += char(b);
    };
    event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}); // 120 beats a minute
    event(0, {0xC0, 0});                            // piano
    event(0, {0xC1, 48});                           // strings
    const int melody[] = {64, 67, 69, 67, 64, 62, 60, 62, 64, 67, 72, 71, 69, 67, 64, 67,
                          69, 72, 74, 72, 69, 67, 64, 62, 60, 62, 64, 67, 64, 62, 60, 60};
    const int bass[] = {48, 45, 41, 43, 48, 45, 41, 43};
    for (int bar = 0; bar < 8; ++bar) {
        event(0, {0x91, bass[bar], 60});
        for (int n = 0; n < 4; ++n) {
            const int note = melody[bar * 4 + n];
            event(0, {0x90, note, 90});
            event(480, {0x80, note, 0});
        }
        event(0, {0x81, bass[bar], 0});
    }
    event(0, {0xFF, 0x2F, 0x00});

    QByteArray file("MThd\0\0\0\x06\0\0\0\x01\x01\xE0", 14);
    file += "MTrk";
    const quint32 len = quint32(track.size());
    file += char(len >> 24);
    file += char(len >> 16);
    file += char(len >> 8);
    file += char(len);
    return file + track;
}

bool save(const QImage &img, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return img.save(path, nullptr, path.endsWith(QStringLiteral(".jpg")) ? 90 : -1);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo <folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    bool ok = save(dusk(), dir.filePath(QStringLiteral("BG/dusk.jpg"))) &&
              save(tower(), dir.filePath(QStringLiteral("BG/tower.jpg"))) &&
              save(night(), dir.filePath(QStringLiteral("BG/night.jpg"))) &&
              save(fog(), dir.filePath(QStringLiteral("BG/fog.jpg"))) &&
              save(over(), dir.filePath(QStringLiteral("BG/over.jpg"))) &&
              save(box(QColor(255, 248, 230), QColor(150, 110, 70)),
                   dir.filePath(QStringLiteral("Msg/light.png"))) &&
              save(box(QColor(10, 16, 48), QColor(200, 180, 120)),
                   dir.filePath(QStringLiteral("Msg/dark.png")));
    QDir().mkpath(dir.filePath(QStringLiteral("Music")));
    QFile midi(dir.filePath(QStringLiteral("Music/1.mid")));
    ok = ok && midi.open(QIODevice::WriteOnly) && midi.write(tune()) > 0;
    midi.close();

    // text, background, box, text position, style, size, colour, box position
    const char16_t *const scenes[][8] = {
        {u"海边的小镇上，有一座很久没有点亮的灯塔。", u"dusk.jpg", u"light.png", u"2", u"0", u"0",
         u"0", u"2"},
        {u"每天傍晚，少女小雨都会沿着石阶走到塔下。", u"dusk.jpg", u"dark.png", u"2", u"1", u"1",
         u"1", u"2"},
        {u"“今天的海风，好像在说些什么。”她轻声自语。", u"tower.jpg", u"light.png", u"1", u"2",
         u"2", u"2", u"1"},
        {u"塔门旁的信箱里，躺着一封没有署名的信。", u"tower.jpg", u"dark.png", u"1", u"3", u"3",
         u"3", u"1"},
        {u"信上写着：“请在月圆之夜，点亮那盏灯。”", u"night.jpg", u"dark.png", u"0", u"4", u"4",
         u"4", u"0"},
        {u"月亮一天天变圆，小雨悄悄备好了灯油。", u"night.jpg", u"light.png", u"0", u"5", u"5",
         u"5", u"0"},
        {u"那一夜，海上起了大雾，远处传来船的汽笛声。", u"fog.jpg", u"light.png", u"2", u"6", u"1",
         u"6", u"2"},
        {u"她爬上塔顶，划亮火柴，灯光穿透了浓雾。", u"fog.jpg", u"dark.png", u"2", u"0", u"2", u"1",
         u"2"},
        {u"渔船循着光回到港口，岸上响起一片欢呼。", u"dusk.jpg", u"light.png", u"1", u"1", u"0",
         u"0", u"1"},
        {u"从此以后，灯塔每晚都会亮起。", u"night.jpg", u"dark.png", u"2", u"0", u"1", u"1", u"2"},
    };
    SceneLists lists;
    for (const auto &scene : scenes) {
        SceneRec rec;
        for (int f = 0; f < kSceneFieldCount; ++f)
            rec.fields[f] = QString::fromUtf16(scene[f]);
        lists.append(rec);
    }
    const GameFolder folder(dir.path());
    const WriteResult script = RewriteScript(folder, lists);
    const WriteResult settings =
        WriteSettings(folder, GameSettings{QStringLiteral("灯塔之光"), QStringLiteral("1.mid"),
                                           QStringLiteral("文泉驿微米黑"), QStringLiteral("100"),
                                           QStringLiteral("0")});
    if (!ok || !script.ok || !settings.ok) {
        std::fprintf(stderr, "make_demo: failed: %s %s\n", qPrintable(script.error),
                     qPrintable(settings.error));
        return 1;
    }
    return 0;
}
