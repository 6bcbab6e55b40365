#include "scripteditor.h"

#include "editortexts.h"
#include "scenelines.h"
#include "scenesrewrite.h"
#include "scriptfile.h"
#include "vocabulary.h"
#include "windowtexts.h"

#include <QDir>
#include <QFileInfo>

using namespace EditorTexts;

ScriptEditor::ScriptEditor(const GameFolder &folder, const QString &versionsRoot)
    : m_files(folder, versionsRoot), m_history([this] { m_files.keepVersionIfDue(); })
{
}

ScriptEditor::StartUp ScriptEditor::load()
{
    m_curRec = 0;
    GameFiles::Opened opened = m_files.open();
    if (!opened.scriptNotice.isEmpty())
        return {opened.scriptNotice, std::nullopt, {}, {}};
    m_scenes = std::move(opened.scenes);
    return {{}, settingsForm(), opened.settingsNotice, opened.readOnlyNotice};
}

std::optional<SettingsForm> ScriptEditor::settingsForm() const
{
    if (const std::optional<GameSettings> &settings = m_files.settings())
        return SettingsForm::of(*settings);
    return std::nullopt;
}

ScriptEditor::BrowseResult ScriptEditor::browse(Browse action)
{
    const int n = m_scenes.count();
    if (n == 0)
        return {{kNoScenes, kSystemWarningTitle}, -1};
    BrowseResult result;
    // After a Delete CurRec may lie past the end: browsing brings it back into range.
    const int cur = qBound(0, m_curRec, n);
    switch (action) {
    case Browse::First: m_curRec = 1; break;
    case Browse::Previous:
        // One past the end (the last scene was deleted), "<" shows the new last scene.
        if (m_curRec - 1 < 1) {
            result.notice = {kAtFirst, kSystemWarningTitle};
            m_curRec = qMax(cur, 1);
        } else {
            m_curRec = qMin(m_curRec - 1, n);
        }
        break;
    case Browse::Next:
        if (cur >= n) {
            result.notice = {kAtLast, kSystemWarningTitle};
            m_curRec = n;
        } else {
            m_curRec = cur + 1;
        }
        break;
    case Browse::Last: m_curRec = n; break;
    }
    result.position = m_curRec - 1;
    return result;
}

ScriptEditor::BrowseResult ScriptEditor::browseTo(int number)
{
    if (number < 1 || number > m_scenes.count())
        return {};
    m_curRec = number;
    return {{}, number - 1};
}

SceneForm ScriptEditor::showScene(int i)
{
    return m_shown.show(m_scenes.scene(i));
}

SceneRec ScriptEditor::sceneFromForm(const SceneForm &form, bool keepUntouchedCodes) const
{
    return m_shown.sceneFrom(form, keepUntouchedCodes);
}

EditResult ScriptEditor::pressAdd(const SceneForm &fields)
{
    return press(m_addWaiting, fields, true);
}

EditResult ScriptEditor::pressModify(const SceneForm &fields)
{
    return press(m_modifyWaiting, fields, false);
}

EditResult ScriptEditor::press(bool &waiting, const SceneForm &fields, bool add)
{
    EditResult result;
    if (!waiting) {
        result.notice = add ? checkAdd() : checkModify();
        if (result.notice.isEmpty()) {
            waiting = m_editing = true;
            if (add) {
                result.text = QString(); // a new scene starts from an empty text
                m_addStart = fields;
                m_addStart.text.clear();
            }
        }
        return result;
    }
    const SceneRec rec = sceneFromForm(fields, !add);
    if (rec[SceneField::Note] != fields.text)
        result.text = rec[SceneField::Note];
    result.notice = add ? addScene(rec) : modifyScene(rec);
    if (result.notice.isEmpty())
        waiting = m_editing = false;
    return result;
}

bool ScriptEditor::hasUnstoredScene(const SceneForm &fields) const
{
    if (m_addWaiting && fields != m_addStart)
        return true;
    return m_modifyWaiting && m_curRec >= 1 && m_curRec <= m_scenes.count() &&
           sceneFromForm(fields, true) != m_scenes.scene(m_curRec - 1);
}

EditResult ScriptEditor::storeWaiting(const SceneForm &fields)
{
    if (m_addWaiting)
        return pressAdd(fields);
    if (m_modifyWaiting)
        return pressModify(fields);
    return {};
}

Notice ScriptEditor::checkModify() const
{
    if (Notice locked = m_files.checkChange(); !locked.isEmpty())
        return locked;
    if (m_curRec < 1 || m_curRec > m_scenes.count())
        return {kNothingToModify, kSystemWarningTitle};
    return {};
}

Notice ScriptEditor::checkAdd() const
{
    if (Notice locked = m_files.checkChange(); !locked.isEmpty())
        return locked;
    if (m_scenes.count() >= kMaxScenes)
        return {kTooManyScenes, kHintTitle};
    return {};
}

Notice ScriptEditor::addScene(const SceneRec &rec)
{
    if (Notice refused = checkAdd(); !refused.isEmpty())
        return refused;
    const int n = m_scenes.count();
    return m_history.push(
        new SceneSplice(*this, kAddedScene.arg(n + 1), n, {}, {rec}, m_curRec, n + 1, true));
}

Notice ScriptEditor::modifyScene(const SceneRec &rec)
{
    if (Notice refused = checkModify(); !refused.isEmpty())
        return refused;
    const int i = m_curRec - 1;
    return m_history.push(new SceneSplice(*this, kModifiedScene.arg(m_curRec), i,
                                          {m_scenes.scene(i)}, {rec}, m_curRec, m_curRec));
}

Notice ScriptEditor::deleteScene()
{
    if (Notice locked = m_files.checkChange(); !locked.isEmpty())
        return locked;
    if (m_curRec < 1 || m_curRec > m_scenes.count())
        return {kNothingToDelete, kSystemWarningTitle};
    return removeScenes(m_curRec - 1, 1);
}

QString ScriptEditor::sceneRange(int first, int count)
{
    return count == 1 ? kSceneName.arg(first + 1) : kScenesName.arg(first + 1).arg(first + count);
}

Notice ScriptEditor::insertScene(int position, bool after)
{
    if (Notice refused = checkAdd(); !refused.isEmpty())
        return refused;
    if (position < 0 || position >= m_scenes.count())
        return {};
    SceneRec rec = m_scenes.scene(position);
    rec[SceneField::Note].clear(); // the neighbour's pictures and codes, a text of its own
    const int at = after ? position + 1 : position;
    return m_history.push(
        new SceneSplice(*this, (after ? kInsertedAfter : kInsertedBefore).arg(position + 1), at, {},
                        {rec}, m_curRec, at + 1));
}

Notice ScriptEditor::duplicateScenes(int first, int count)
{
    if (Notice locked = m_files.checkChange(); !locked.isEmpty())
        return locked;
    if (first < 0 || count < 1 || first + count > m_scenes.count())
        return {};
    if (m_scenes.count() + count > kMaxScenes)
        return {kTooManyScenes, kHintTitle};
    return m_history.push(new SceneSplice(*this, kDuplicated.arg(sceneRange(first, count)),
                                          first + count, {}, m_scenes.scenes(first, count),
                                          m_curRec, first + count + 1));
}

Notice ScriptEditor::moveScenes(int first, int count, int to)
{
    if (Notice locked = m_files.checkChange(); !locked.isEmpty())
        return locked;
    const int n = m_scenes.count();
    if (first < 0 || count < 1 || first + count > n || to < 0 || to + count > n || to == first)
        return {};
    return m_history.push(
        new SceneMove(*this, kMoved.arg(sceneRange(first, count)), first, count, to, m_curRec));
}

Notice ScriptEditor::removeScenes(int first, int count)
{
    if (Notice locked = m_files.checkChange(); !locked.isEmpty())
        return locked;
    const int n = m_scenes.count();
    if (first < 0 || count < 1 || first + count > n)
        return {};
    // The scene that takes the first one's place, or the new last scene.
    const int next = qMin(first + 1, n - count);
    return m_history.push(new SceneSplice(*this, kDeleted.arg(sceneRange(first, count)), first,
                                          m_scenes.scenes(first, count), {}, first + 1, next));
}

Notice ScriptEditor::cutScenes(int first, int count)
{
    if (Notice locked = m_files.checkChange(); !locked.isEmpty())
        return locked;
    const int n = m_scenes.count();
    if (first < 0 || count < 1 || first + count > n)
        return {};
    return m_history.push(new SceneSplice(*this, kCut.arg(sceneRange(first, count)), first,
                                          m_scenes.scenes(first, count), {}, first + 1,
                                          qMin(first + 1, n - count)));
}

Notice ScriptEditor::pasteScenes(int after, const QList<SceneRec> &scenes)
{
    return insertScenes(after, scenes, kPasted);
}

Notice ScriptEditor::pasteTexts(int after, const QStringList &texts, bool imported)
{
    SceneRec model;
    if (!m_scenes.isEmpty()) {
        model = m_scenes.scene(qBound(0, after, m_scenes.count() - 1));
    } else {
        using namespace Vocabulary;
        model = sceneFromForm(
            {{},
             {},
             {},
             {kPositionStart, kFontStyleStart, kFontSizeStart, kFontColourStart, kPositionStart}},
            false);
    }
    QList<SceneRec> scenes;
    scenes.reserve(texts.size());
    for (const QString &text : texts) {
        model[SceneField::Note] = text;
        scenes.append(model);
    }
    return insertScenes(after, scenes, imported ? kImported : kPasted);
}

ScriptEditor::Import ScriptEditor::importText(int after, const QString &path)
{
    using Encoding = SceneLines::TextFile::Encoding;
    const QString shown = QDir::toNativeSeparators(path);
    const FileRead read = readWholeFile(path, 64 * 1024 * 1024);
    if (read.status != FileRead::Read) {
        const QString why = read.status == FileRead::Missing    ? QStringLiteral("文件不存在")
                            : read.status == FileRead::TooLarge ? QStringLiteral("超过64MB")
                            : read.status == FileRead::NotAFile ? QStringLiteral("不是普通文件")
                                                                : read.error;
        return {{kImportUnreadable.arg(shown, why), kHintTitle}, {}};
    }
    const SceneLines::TextFile file = SceneLines::decodeTextFile(read.bytes);
    if (file.encoding == Encoding::Unknown)
        return {{kImportNotText.arg(shown), kHintTitle}, {}};
    const QStringList texts = SceneLines::sceneTexts(file.text);
    if (texts.isEmpty())
        return {{kImportEmpty.arg(shown), kHintTitle}, {}};
    Import result{pasteTexts(after, texts, true), {}};
    if (result.notice.isEmpty())
        result.done = kImportDone
                          .arg(file.encoding == Encoding::Utf8 ? QStringLiteral("UTF-8")
                                                               : QStringLiteral("GBK"),
                               shown)
                          .arg(texts.size());
    return result;
}

Notice ScriptEditor::insertScenes(int after, const QList<SceneRec> &scenes, const QString &name)
{
    if (Notice locked = m_files.checkChange(); !locked.isEmpty())
        return locked;
    if (scenes.isEmpty() || after < -1 || after >= m_scenes.count())
        return {};
    if (m_scenes.count() + scenes.size() > kMaxScenes)
        return {kTooManyScenes, kHintTitle};
    const int at = after + 1;
    const int count = int(scenes.size());
    return m_history.push(
        new SceneSplice(*this, name.arg(sceneRange(at, count)), at, {}, scenes, m_curRec, at + 1));
}

Notice ScriptEditor::replaceInScenes(const SceneReplace &what, const QList<int> &positions)
{
    if (Notice locked = m_files.checkChange(); !locked.isEmpty())
        return locked;
    QList<int> changed;
    QList<SceneRec> before, after;
    const auto take = [&](int i) {
        SceneRec rec = m_scenes.scene(i);
        SceneRec replaced = what.applied(rec);
        if (replaced == rec)
            return;
        changed.append(i);
        before.append(std::move(rec));
        after.append(std::move(replaced));
    };
    if (positions.isEmpty()) {
        for (const SceneReplace::Change &c : what.changes(m_scenes)) {
            changed.append(c.position);
            before.append(c.before);
            after.append(c.after);
        }
    } else {
        QList<int> sorted = positions;
        std::sort(sorted.begin(), sorted.end());
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        for (int i : std::as_const(sorted)) {
            if (i >= 0 && i < m_scenes.count())
                take(i);
        }
    }
    if (changed.isEmpty())
        return {kNothingReplaced.arg(what.find), kHintTitle};
    const int curRec = changed.contains(m_curRec - 1) ? m_curRec : changed.first() + 1;
    const int count = int(changed.size());
    return m_history.push(new ScenesRewrite(*this, kReplaced.arg(what.find, what.with).arg(count),
                                            std::move(changed), std::move(before), std::move(after),
                                            m_curRec, curRec));
}

Notice ScriptEditor::restoreVersion(const GameVersion &version)
{
    if (const ScriptStatus status = version.status(); status != ScriptStatus::Loaded)
        return {kVersionUnusable.arg(scriptProblemName(status)), kHintTitle};
    if (m_files.scriptLocked())
        return repairFromVersion(version);
    // What is there now is kept first, so that restoring loses nothing either.
    const std::optional<GameFiles::Bytes> now = m_files.keepCurrent();
    if (!now)
        return {kVersionNotKept, kSaveFailedTitle};
    return m_history.push(new VersionRestore(
        *this, kRestoredVersion.arg(version.time.toLocalTime().toString(kVersionTime)), *now,
        {version.script, version.settings}));
}

Notice ScriptEditor::repairFromVersion(const GameVersion &version)
{
    if (Notice refused = m_files.repairFrom(version); !refused.isEmpty())
        return refused;
    load();
    m_history.stack().clear(); // no step leads back to a file the editor could not use
    takeScenes(m_scenes, 1);
    return {kRepaired.arg(version.time.toLocalTime().toString(kVersionTime)), kHintTitle,
            Notice::Reload::Script};
}

QString ScriptEditor::restoreQuestion(const GameVersion &version) const
{
    return m_files.restoreQuestion(version, m_scenes);
}

Notice ScriptEditor::writeFiles(const GameFiles::Bytes &files, const GameFiles::Bytes &current)
{
    GameFiles::ScriptWrite written = m_files.writeBoth(files, current);
    if (!written.notice.isEmpty())
        return followFile(std::move(written));
    takeScenes(std::move(*written.scenes), qMax(m_curRec, 1));
    return {};
}

Notice ScriptEditor::followFile(GameFiles::ScriptWrite written)
{
    if (written.scenes) {
        m_scenes = std::move(*written.scenes);
        m_curRec = qMin(m_curRec, m_scenes.count());
    }
    return written.notice;
}

void ScriptEditor::takeScenes(SceneLists scenes, int curRec)
{
    m_scenes = std::move(scenes);
    m_curRec = qBound(0, curRec, m_scenes.count());
    if (m_curRec > 0)
        m_shown.show(m_scenes.scene(m_curRec - 1));
}

Notice ScriptEditor::appendScene(const SceneRec &rec)
{
    // The file first: the lists change only once it holds the scene.
    if (GameFiles::ScriptWrite written = m_files.appendScene(rec); !written.notice.isEmpty())
        return followFile(std::move(written));
    m_scenes.append(rec);
    m_curRec = m_scenes.count();
    m_shown.show(rec); // the fields now show the new scene
    return {};
}

Notice ScriptEditor::spliceScenes(int at, int removeCount, const QList<SceneRec> &insert,
                                  int curRec)
{
    SceneLists changed = m_scenes;
    changed.splice(at, removeCount, insert);
    return writeScenes(std::move(changed), curRec);
}

Notice ScriptEditor::moveScenesNow(int first, int count, int to, int curRec)
{
    SceneLists changed = m_scenes;
    for (int f = 0; f < kSceneFieldCount; ++f) {
        QStringList &l = changed.list(SceneField(f));
        for (int k = 0; k < count; ++k) {
            if (to > first)
                l.move(first, to + count - 1);
            else
                l.move(first + k, to + k);
        }
    }
    return writeScenes(std::move(changed), curRec);
}

Notice ScriptEditor::writeScenes(SceneLists changed, int curRec)
{
    if (GameFiles::ScriptWrite written = m_files.writeScenes(changed); !written.notice.isEmpty())
        return followFile(std::move(written));
    takeScenes(std::move(changed), curRec);
    return {};
}

Notice ScriptEditor::saveSpeed(int position)
{
    return saveSetting(GameSettings::Interval, Vocabulary::intervalForSpeed(position));
}

Notice ScriptEditor::saveSkip(int position)
{
    return saveSetting(GameSettings::Skip, Vocabulary::storedCode(position));
}

QString ScriptEditor::pickedName(const QString &path)
{
    const qsizetype k = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(k + 1);
}

int ScriptEditor::scenesUsing(PictureKind kind, const QString &file) const
{
    const auto field = kind == PictureKind::Background ? SceneField::BG : SceneField::Msg;
    const QString target = QFileInfo(file).absoluteFilePath();
    int count = 0;
    for (const QString &name : m_scenes.list(field)) {
        if (!name.isEmpty() && folder().resolve(GameFiles::picturePath(kind, name)) == target)
            ++count;
    }
    return count;
}

Notice ScriptEditor::copyPicture(PictureKind kind, const QString &picked)
{
    GameFiles::PictureRead copy = m_files.readForCopy(kind, picked);
    if (!copy.notice.isEmpty())
        return copy.notice;
    const QString name = QDir(folder().path()).relativeFilePath(copy.target);
    return m_history.push(new PictureCopy(*this, kCopiedPicture.arg(QDir::toNativeSeparators(name)),
                                          copy.target, copy.before, copy.bytes));
}

Notice ScriptEditor::saveSetting(GameSettings::Field field, const QString &value)
{
    // Without a Game.ini, the other values are those the panel starts with.
    GameSettings panel = m_files.settings().value_or(
        SettingsForm{{}, {}, {}, Vocabulary::kSpeedStart, Vocabulary::kSkipStart}.settings());
    panel.field(field) = value;
    return saveSetting(panel, field);
}

Notice ScriptEditor::saveSetting(const GameSettings &panel, GameSettings::Field field)
{
    const GameFiles::SettingsSave save = m_files.settingsSave(panel, field);
    if (!save.notice.isEmpty())
        return save.notice;
    return m_history.push(new SettingsChange(*this, kSavedSetting.arg(settingsFieldName(field)),
                                             save.before, save.after));
}
