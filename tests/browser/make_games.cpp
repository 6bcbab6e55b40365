// Writes the games the browser tests publish and read, in the folder given: "long", the largest
// game of long texts in thousands of characters (with the demo's pictures and music), and
// "refused", a short game whose typing a click may not cut (不能跳过).
#include "scriptfile.h"
#include "settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>

namespace {

bool copyPictures(const QString &demo, const QString &game)
{
    for (const char *name : {"BG/dusk.jpg", "BG/tower.jpg", "BG/night.jpg", "BG/fog.jpg",
                             "BG/over.jpg", "Msg/light.png", "Msg/dark.png", "Music/1.mid"}) {
        const QString to = game + u'/' + QLatin1String(name);
        QDir().mkpath(QFileInfo(to).absolutePath());
        QFile::remove(to);
        if (!QFile::copy(demo + u'/' + QLatin1String(name), to))
            return false;
    }
    return true;
}

SceneRec scene(const QString &text, const QString &bg, const QString &box)
{
    SceneRec rec;
    rec.fields = {text,
                  bg,
                  box,
                  QStringLiteral("2"),
                  QStringLiteral("0"),
                  QStringLiteral("0"),
                  QStringLiteral("2"),
                  QStringLiteral("2")};
    return rec;
}

bool write(const QString &root, const SceneLists &scenes, const GameSettings &settings)
{
    const GameFolder folder(root);
    return RewriteScript(folder, scenes).ok && WriteSettings(folder, settings).ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_games DEMO_FOLDER OUT_FOLDER\n");
        return 2;
    }
    const QString demo = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    const QStringList backgrounds{"dusk.jpg", "tower.jpg", "night.jpg", "fog.jpg"};

    SceneLists scenes;
    QRandomGenerator random(4095);
    for (int i = 0; i < kMaxScenes; ++i) {
        QString text = QStringLiteral("第%1个场景:").arg(i + 1);
        while (text.size() < 120)
            text += QChar(0x4E00 + random.bounded(6000));
        scenes.append(scene(text, backgrounds[(i / 50) % 4], i % 2 ? "dark.png" : "light.png"));
    }
    if (!copyPictures(demo, out + "/long") ||
        !write(out + "/long", scenes, {"长篇", "1.mid", QString(), "20", "0"}))
        return 1;

    scenes = SceneLists();
    const QStringList texts{"第一个场景。", "第二个场景,要打完字才能点。",
                            "第三个场景。", "第四个场景,还是要打完字。",
                            "第五个场景。", "最后一个场景。"};
    for (int i = 0; i < texts.size(); ++i)
        scenes.append(scene(texts[i], backgrounds[i % 4], "light.png"));
    if (!copyPictures(demo, out + "/refused") ||
        !write(out + "/refused", scenes, {"不能跳过", QString(), QString(), "50", "1"}))
        return 1;
    return 0;
}
