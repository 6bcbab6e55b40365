// Measures the editor, on a real display:
// - start-up to a shown, painted window with a 4095-scene script against an empty folder
//   (fresh processes, median of several runs);
// - the time of a Modify commit and of a Delete at 4095 scenes, through the window's buttons;
//   a move, an insert and an undo against a Modify, on the editor alone;
// - the preview's redraw after one edit of a 638×482 scene;
// - batch setting of two fields in 1000 scenes, and its undo, against a Modify;
// - the game check of 4095 scenes with two pictures each, 50 distinct pictures, with the
//   reader's warnings (texts cut off, text colours of too little contrast);
// - the scene list at 4095 scenes: opening it until the visible scene pictures are drawn, a
//   find, and following a move of three scenes.
#include "filepicker.h"
#include "gamecheck.h"
#include "gameset.h"
#include "messages.h"
#include "scenelistwindow.h"
#include "scenepreview.h"
#include "scripteditor.h"
#include "scriptfile.h"
#include "settingsfile.h"
#include "stage.h"
#include "webpages.h"
#include "windowplacement.h"

#include "bigscript.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

qint64 monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

class Quiet : public MessageBoxes, public FilePicker, public WebPageOpener
{
public:
    void show(QWidget *, const QString &text, const QString &) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    QString choose(QWidget *, const QString &, const QString &) override { return {}; }
    bool open(const QString &) override { return true; }
};

class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, [] {
                std::printf("frame %lld\n", static_cast<long long>(monotonicNs()));
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return QObject::eventFilter(o, e);
    }

private:
    bool m_done = false;
};

void fill(const QString &dir)
{
    RewriteScript(GameFolder(dir), bigScript());
    WriteSettings(GameFolder(dir),
                  GameSettings{QStringLiteral("灯塔之光"), QStringLiteral("1.mid"), QString(),
                               QStringLiteral("100"), QStringLiteral("0")});
}

double startUpMs(const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    const qint64 start = monotonicNs();
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
    p.waitForFinished(30000);
    const QByteArray out = p.readAllStandardOutput();
    const qsizetype at = out.indexOf("frame ");
    return at < 0 ? -1 : (out.mid(at + 6).trimmed().toLongLong() - start) / 1e6;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

/// The editor as the scene list sees it, moving scenes as it would.
class ListHost : public SceneListHost
{
public:
    ListHost(const QString &dir, SceneLists scenes) : m_folder(dir), m_scenes(std::move(scenes)) {}
    const SceneLists &scenes() const override { return m_scenes; }
    const GameFolder &gameFolder() const override { return m_folder; }
    QString gameFont() const override { return {}; }
    int currentScene() const override { return m_current; }
    void showScene(int position) override { m_current = position; }
    void insertScene(int, bool) override {}
    void duplicateScenes(int, int) override {}
    void moveScenes(int first, int count, int to) override
    {
        QList<SceneRec> taken;
        for (int k = 0; k < count; ++k) {
            taken.append(m_scenes.scene(first));
            m_scenes.remove(first);
        }
        SceneLists moved;
        for (int i = 0; i <= m_scenes.count(); ++i) {
            if (i == to)
                for (const SceneRec &rec : taken)
                    moved.append(rec);
            if (i < m_scenes.count())
                moved.append(m_scenes.scene(i));
        }
        m_scenes = moved;
        m_current = to;
    }
    void removeScenes(int, int) override {}
    void cutScenes(int, int) override {}
    void pasteScenes(int, const QList<SceneRec> &) override {}
    void pasteTexts(int, const QStringList &) override {}
    void importTextFile(int) override {}
    void showReplace(const QString &) override {}
    void replaceInScenes(const SceneReplace &, const QList<int> &) override {}
    void setSceneFields(const QList<int> &) override {}
    void undo() override {}
    void redo() override {}

private:
    GameFolder m_folder;
    SceneLists m_scenes;
    int m_current = 0;
};

/// Sets a flag when a widget is about to paint; the paint is done once the event is delivered.
class Painted : public QObject
{
public:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(o, e);
    }
    bool painted = false;
};

double timed(QPushButton *button)
{
    QElapsedTimer t;
    t.start();
    button->click();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Quiet quiet;
    if (argc > 1 && QByteArray(argv[1]) == "--child") {
        GameSet window(GameFolder::current(), {quiet, quiet, quiet});
        FirstPaint watch;
        window.installEventFilter(&watch);
        window.start();
        WindowPlacement::showCentred(window);
        return app.exec();
    }

    QTemporaryDir full, empty;
    fill(full.path());
    const int runs = 9;
    QList<double> withScript, without;
    for (int i = 0; i < runs; ++i) {
        without.append(startUpMs(empty.path()));
        withScript.append(startUpMs(full.path()));
    }
    const double f = median(withScript), e = median(without);
    std::printf("start-up to first frame: 4095 scenes %.1f ms, empty folder %.1f ms, ratio %.2f "
                "(median of %d)\n",
                f, e, f / e, runs);

    GameSet window(GameFolder(full.path()), {quiet, quiet, quiet});
    window.start();
    window.show();
    const auto control = [&window](const char *name) {
        return window.findChild<QPushButton *>(QString::fromLatin1(name));
    };
    QPushButton *lastRec = control("LastRec"), *leftRec = control("LeftRec"),
                *setRec = control("SetRec"), *delRec = control("DelRec");
    auto *noteText = window.findChild<QPlainTextEdit *>(QStringLiteral("NoteText"));
    QList<double> modify, remove;
    for (int i = 0; i < 15; ++i) {
        lastRec->click();
        for (int k = 0; k < 5; ++k)
            leftRec->click();
        setRec->click();
        noteText->setPlainText(QStringLiteral("修改过的第%1幕").arg(i));
        modify.append(timed(setRec));
        remove.append(timed(delRec));
    }
    std::printf("Modify commit at ~4095 scenes: median %.2f ms, worst %.2f ms\n", median(modify),
                *std::max_element(modify.begin(), modify.end()));
    std::printf("Delete at ~4095 scenes: median %.2f ms, worst %.2f ms\n", median(remove),
                *std::max_element(remove.begin(), remove.end()));

    // Structure commands and undo at ~4095 scenes against a Modify commit, on the editor alone
    // (each writes the whole file safely; the history keeps only the scenes touched).
    {
        QTemporaryDir versions;
        ScriptEditor editor(GameFolder(full.path()), versions.path());
        editor.load();
        const auto ms = [](auto &&step) {
            QElapsedTimer t;
            t.start();
            step();
            return t.nsecsElapsed() / 1e6;
        };
        editor.browseTo(1);
        editor.modifyScene(editor.scenes().scene(0)); // the first change keeps a version
        QList<double> modified, moved, inserted, undone;
        for (int i = 0; i < 15; ++i) {
            const int n = editor.scenes().count();
            editor.browseTo(n - 5);
            SceneRec rec = editor.scenes().scene(n - 6);
            rec[SceneField::Note] = QStringLiteral("修改过的第%1幕").arg(i);
            modified.append(ms([&] { editor.modifyScene(rec); }));
            moved.append(ms([&] { editor.moveScenes(10, 3, n / 2); }));
            inserted.append(ms([&] { editor.insertScene(100, true); }));
            undone.append(ms([&] { editor.undo(); }));
        }
        const double m = median(modified);
        std::printf("editor alone at ~4095 scenes: Modify %.2f ms; move of 3 %.2f ms (%.2f×), "
                    "insert %.2f ms (%.2f×), undo %.2f ms (%.2f×)\n",
                    m, median(moved), median(moved) / m, median(inserted), median(inserted) / m,
                    median(undone), median(undone) / m);

        // Replace in every scene and its undo; 1000 lines pasted as scenes and their undo.
        QList<double> replaced, replaceUndone, pasted;
        qsizetype touched = 0;
        QStringList lines;
        for (int k = 0; k < 1000; ++k)
            lines.append(QStringLiteral("粘贴的第%1行,灯塔的光照着海面。").arg(k));
        for (int i = 0; i < 9; ++i) {
            touched = SceneReplace{QStringLiteral("灯塔"), QStringLiteral("塔楼")}
                          .changes(editor.scenes())
                          .size();
            replaced.append(ms([&] {
                editor.replaceInScenes({QStringLiteral("灯塔"), QStringLiteral("塔楼")});
            }));
            replaceUndone.append(ms([&] { editor.undo(); }));
            editor.removeScenes(0, 1000); // room for the paste below the limit
            pasted.append(ms([&] { editor.pasteTexts(10, lines); }));
            editor.undo();
            editor.undo();
        }
        std::printf("editor alone at ~4095 scenes: replace in every scene (%lld) %.2f ms (%.2f×), "
                    "its undo %.2f ms (%.2f×); paste 1000 lines as scenes %.2f ms (%.2f×)\n",
                    static_cast<long long>(touched), median(replaced), median(replaced) / m,
                    median(replaceUndone), median(replaceUndone) / m, median(pasted),
                    median(pasted) / m);
        // Batch setting: the box and the text colour of 1000 scenes, every third from 100 on.
        QList<int> thousand;
        for (int k = 0; k < 1000; ++k)
            thousand.append(100 + 3 * k);
        QList<double> batched, batchUndone;
        for (int i = 0; i < 15; ++i) {
            const SceneFieldValues values{
                {SceneField::Msg, i % 2 ? QStringLiteral("dark.png") : QStringLiteral("light.png")},
                {SceneField::FontColor, QString::number(1 + i % 5)}};
            batched.append(ms([&] { editor.setSceneFields(thousand, values); }));
            batchUndone.append(ms([&] { editor.undo(); }));
            editor.redo();
        }
        std::printf("batch setting of 2 fields in 1000 of ~4095 scenes: %.2f ms (%.2f× a Modify), "
                    "its undo %.2f ms (%.2f×)\n",
                    median(batched), median(batched) / m, median(batchUndone),
                    median(batchUndone) / m);
    }

    // The preview: one edit (the text size) and the redraw of the whole 638×482 stage.
    {
        QTemporaryDir dir;
        QImage picture(638, 482, QImage::Format_RGB32);
        picture.fill(QColor(90, 140, 200));
        QDir().mkpath(dir.filePath(QStringLiteral("BG")));
        QDir().mkpath(dir.filePath(QStringLiteral("Msg")));
        picture.save(dir.filePath(QStringLiteral("BG/bg.png")));
        picture.copy(0, 0, 600, 120).save(dir.filePath(QStringLiteral("Msg/box.png")));
        ScenePreview preview;
        preview.resize(Stage::kWidth, Stage::kHeight);
        preview.show();
        SceneRec rec = bigScript().scene(0);
        rec[SceneField::BG] = QStringLiteral("bg.png");
        rec[SceneField::Msg] = QStringLiteral("box.png");
        QList<double> redraw;
        for (int i = 0; i < 30; ++i) {
            rec[SceneField::FontSize] = QString::number(i % 6);
            QElapsedTimer t;
            t.start();
            preview.showScene(GameFolder(dir.path()), rec, QString());
            preview.repaint();
            redraw.append(t.nsecsElapsed() / 1e6);
        }
        std::printf("preview redraw after an edit: median %.2f ms, worst %.2f ms\n", median(redraw),
                    *std::max_element(redraw.begin(), redraw.end()));
    }

    // The game check: 4095 scenes, two pictures each, 50 distinct pictures.
    {
        QTemporaryDir dir;
        QImage bg(638, 482, QImage::Format_RGB32), box(600, 120, QImage::Format_RGB32);
        bg.fill(Qt::gray);
        box.fill(Qt::white);
        QDir().mkpath(dir.filePath(QStringLiteral("BG")));
        QDir().mkpath(dir.filePath(QStringLiteral("Msg")));
        for (int k = 0; k < 25; ++k) {
            bg.save(dir.filePath(QStringLiteral("BG/%1.jpg").arg(k)));
            box.save(dir.filePath(QStringLiteral("Msg/%1.png").arg(k)));
        }
        bg.save(dir.filePath(QStringLiteral("BG/over.jpg")));
        SceneLists lists = bigScript();
        for (int i = 0; i < lists.count(); ++i) {
            SceneRec rec = lists.scene(i);
            rec[SceneField::BG] = QStringLiteral("%1.jpg").arg(i % 25);
            rec[SceneField::Msg] = QStringLiteral("%1.png").arg(i % 25);
            lists.replace(i, rec);
        }
        RewriteScript(GameFolder(dir.path()), lists);
        WriteSettings(GameFolder(dir.path()),
                      GameSettings{QStringLiteral("g"), QString(), QString(), QStringLiteral("100"),
                                   QStringLiteral("0")});
        QList<double> checks;
        qsizetype problems = -1;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer t;
            t.start();
            GameCheck check{GameFolder(dir.path())};
            check.run();
            checks.append(t.nsecsElapsed() / 1e6);
            problems = check.problems().size();
        }
        std::printf("game check of 4095 scenes, 50 pictures: median %.1f ms (median of 5, %lld "
                    "problems)\n",
                    median(checks), static_cast<long long>(problems));
    }

    // The scene list: 4095 scenes, 25 backgrounds and 25 message boxes.
    {
        QTemporaryDir dir;
        QImage bg(638, 482, QImage::Format_RGB32), box(600, 120, QImage::Format_RGB32);
        QDir().mkpath(dir.filePath(QStringLiteral("BG")));
        QDir().mkpath(dir.filePath(QStringLiteral("Msg")));
        for (int k = 0; k < 25; ++k) {
            bg.fill(QColor::fromHsv(k * 14, 120, 200));
            box.fill(QColor::fromHsv(k * 14, 40, 250));
            bg.save(dir.filePath(QStringLiteral("BG/%1.jpg").arg(k)));
            box.save(dir.filePath(QStringLiteral("Msg/%1.png").arg(k)));
        }
        SceneLists lists = bigScript();
        for (int i = 0; i < lists.count(); ++i) {
            SceneRec rec = lists.scene(i);
            rec[SceneField::BG] = QStringLiteral("%1.jpg").arg(i % 25);
            rec[SceneField::Msg] = QStringLiteral("%1.png").arg(i % 25);
            lists.replace(i, rec);
        }
        QList<double> opening;
        int drawn = 0;
        for (int i = 0; i < 7; ++i) {
            ListHost host(dir.path(), lists);
            QElapsedTimer t;
            t.start();
            SceneListWindow window(host);
            Painted watch;
            window.findChild<QListView *>()->viewport()->installEventFilter(&watch);
            window.show();
            while (!watch.painted)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            opening.append(t.nsecsElapsed() / 1e6);
            drawn = window.model()->picturesDrawn();
        }
        std::printf("scene list at 4095 scenes, open until %d pictures are drawn: median %.1f ms, "
                    "worst %.1f ms (of 7)\n",
                    drawn, median(opening), *std::max_element(opening.begin(), opening.end()));

        ListHost host(dir.path(), lists);
        SceneListWindow window(host);
        QList<double> hit, miss, moves;
        qsizetype found = 0;
        for (int i = 0; i < 50; ++i) {
            QElapsedTimer t;
            t.start();
            found = window.model()->find(QStringLiteral("灯塔")).size();
            hit.append(t.nsecsElapsed() / 1e6);
            t.start();
            window.model()->find(QStringLiteral("Lighthouse"));
            miss.append(t.nsecsElapsed() / 1e6);
        }
        std::printf("find in 4095 scenes: every scene matches (%lld) median %.2f ms, worst %.2f "
                    "ms; none matches median %.2f ms, worst %.2f ms\n",
                    static_cast<long long>(found), median(hit),
                    *std::max_element(hit.begin(), hit.end()), median(miss),
                    *std::max_element(miss.begin(), miss.end()));
        for (int i = 0; i < 15; ++i) {
            host.moveScenes(2000, 3, 2001);
            QElapsedTimer t;
            t.start();
            window.refresh();
            moves.append(t.nsecsElapsed() / 1e6);
        }
        std::printf("scene list following a move of 3 scenes at 4095: median %.2f ms, worst %.2f "
                    "ms\n",
                    median(moves), *std::max_element(moves.begin(), moves.end()));
    }
    return 0;
}
