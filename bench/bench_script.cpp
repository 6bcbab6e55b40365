// LoadScript, AppendScene, RewriteScript and ReadSettings on a script of 4095 scenes with
// Chinese texts, against a rewrite done the old way: empty the file, then open, append and
// close it once per scene.
#include "bigscript.h"
#include "gbk.h"
#include "scriptfile.h"
#include "settingsfile.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

struct Folder
{
    QTemporaryDir dir;
    GameFolder folder{dir.path()};
    SceneLists scenes = bigScript();
    Folder()
    {
        RewriteScript(folder, scenes);
        WriteSettings(folder, GameSettings{QStringLiteral("灯塔之光"), QStringLiteral("1.mid"),
                                           QStringLiteral("宋体"), QStringLiteral("100"),
                                           QStringLiteral("0")});
    }
};

Folder &shared()
{
    static Folder f;
    return f;
}

void BM_LoadScript(benchmark::State &state)
{
    Folder &f = shared();
    for (auto _ : state) {
        ScriptLoad load = LoadScript(f.folder);
        if (load.scenes.count() != kMaxScenes)
            state.SkipWithError("wrong scene count");
        benchmark::DoNotOptimize(load);
    }
}
BENCHMARK(BM_LoadScript)->Unit(benchmark::kMillisecond);

void BM_AppendScene(benchmark::State &state)
{
    Folder &f = shared();
    const QString path = f.dir.filePath(QStringLiteral("Game.txt"));
    const qint64 size = QFileInfo(path).size();
    const SceneRec rec = f.scenes.scene(7);
    for (auto _ : state) {
        if (!AppendScene(f.folder, rec).ok)
            state.SkipWithError("append failed");
        state.PauseTiming();
        QFile::resize(path, size);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppendScene)->Unit(benchmark::kMillisecond);

void BM_RewriteScript(benchmark::State &state)
{
    Folder &f = shared();
    for (auto _ : state) {
        if (!RewriteScript(f.folder, f.scenes).ok)
            state.SkipWithError("rewrite failed");
    }
}
BENCHMARK(BM_RewriteScript)->Unit(benchmark::kMillisecond);

// The old way: truncate, then one open-append-close per scene.
void BM_RewriteSceneBySceneBaseline(benchmark::State &state)
{
    Folder &f = shared();
    const QString path = f.dir.filePath(QStringLiteral("Game.txt"));
    for (auto _ : state) {
        QFile empty(path);
        empty.open(QIODevice::WriteOnly | QIODevice::Truncate);
        empty.close();
        for (int s = 0; s < f.scenes.count(); ++s) {
            QFile file(path);
            file.open(QIODevice::WriteOnly | QIODevice::Append);
            for (int field = 0; field < kSceneFieldCount; ++field) {
                file.write(Gbk::encode(f.scenes.at(SceneField(field), s)).bytes);
                file.write("\r\n");
            }
            file.close();
        }
    }
}
BENCHMARK(BM_RewriteSceneBySceneBaseline)->Unit(benchmark::kMillisecond);

void BM_ReadSettings(benchmark::State &state)
{
    Folder &f = shared();
    for (auto _ : state) {
        SettingsRead read = ReadSettings(f.folder);
        if (!read.settings)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_ReadSettings)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
