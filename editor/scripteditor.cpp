#include "scripteditor.h"

#include "editortexts.h"
#include "fileread.h"
#include "history.h"
#include "scriptfile.h"
#include "vocabulary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace EditorTexts;

ScriptEditor::ScriptEditor(const GameFolder &folder, const QString &versionsRoot)
    : m_folder(folder), m_versions(folder.path(), versionsRoot)
{
}

ScriptEditor::StartUp ScriptEditor::load()
{
    StartUp result;
    m_curRec = 0;
    m_scriptLock.clear();
    ScriptLoad script = LoadScript(m_folder);
    if (!script.usable()) {
        m_scriptLock = scriptLockText(script.status);
        result.scriptNotice = {script.message, kScriptWarningTitle};
        return result;
    }
    m_scenes = std::move(script.scenes);
    m_scriptStamp = script.stamp;
    m_openedScenes = m_scenes;
    m_openedScript = script.bytes;
    SettingsRead read = ReadSettings(m_folder);
    m_settingsStamp = read.stamp;
    m_settings = read.settings;
    m_openedSettings = read.settings;
    if (!read.missing)
        m_openedSettingsBytes = read.bytes;
    if (m_settings)
        m_gameFont = m_settings->GameFont;
    result.settings = settingsForm();
    if (const WriteResult writable = checkCanWrite(m_folder.pathForWrite(kScriptFileName));
        !writable)
        result.readOnlyNotice = {kReadOnlyGame.arg(writable.error), kHintTitle};
    if (read.missing)
        result.settingsNotice = {kSettingsMissingAtStart, kHintTitle};
    else if (!read.settings)
        result.settingsNotice = {kSettingsUnreadable.arg(read.error), kHintTitle};
    return result;
}

std::optional<SettingsForm> ScriptEditor::settingsForm() const
{
    if (!m_settings)
        return std::nullopt;
    return SettingsForm{m_settings->GameName, m_settings->BGMName, m_settings->GameFont,
                        Vocabulary::speedForInterval(m_settings->WordInterval),
                        Vocabulary::skipForCode(m_settings->SkipCode)};
}

void ScriptEditor::reloadScript()
{
    ScriptLoad script = LoadScript(m_folder);
    if (!script.usable()) {
        // Another program left a file the editor cannot use: change nothing more.
        m_scriptLock = scriptLockText(script.status);
        m_scenes = {};
        m_curRec = 0;
        return;
    }
    m_scenes = std::move(script.scenes);
    m_scriptStamp = script.stamp;
    m_curRec = qMin(m_curRec, m_scenes.count());
}

void ScriptEditor::reloadSettings()
{
    SettingsRead read = ReadSettings(m_folder);
    m_settingsStamp = read.stamp;
    m_settings = read.settings;
    if (m_settings)
        m_gameFont = m_settings->GameFont;
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

QString ScriptEditor::storableText(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar c : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator),
                    QChar(QChar::ParagraphSeparator)})
        out.replace(c, u' ');
    return out;
}

namespace {

// The code lists in the order of SceneForm::choices.
constexpr std::array<SceneField, SceneForm::kChoiceCount> kChoiceFields = {
    SceneField::FontWZ, SceneField::FontSet, SceneField::FontSize, SceneField::FontColor,
    SceneField::MsgWZ};

} // namespace

void ScriptEditor::rememberShown(const SceneRec &rec)
{
    m_shown = rec;
    m_shownForm.text = rec[SceneField::Note];
    m_shownForm.background = rec[SceneField::BG];
    m_shownForm.messageBox = rec[SceneField::Msg];
    for (int k = 0; k < SceneForm::kChoiceCount; ++k) {
        bool ok = false;
        const int code = rec[kChoiceFields[k]].toInt(&ok);
        m_shownForm.choices[k] =
            ok && code >= 0 && code < Vocabulary::choicesFor(kChoiceFields[k]).size() ? code : -1;
    }
}

SceneForm ScriptEditor::showScene(int i)
{
    rememberShown(m_scenes.scene(i));
    return m_shownForm;
}

SceneRec ScriptEditor::sceneFromForm(const SceneForm &form, bool keepUntouchedCodes) const
{
    SceneRec rec;
    rec[SceneField::Note] = storableText(form.text);
    // A text box shows a stored lone CR or LF as a line break; unedited, the text goes back
    // exactly as it was read.
    if (keepUntouchedCodes && rec[SceneField::Note] == storableText(m_shown[SceneField::Note]))
        rec[SceneField::Note] = m_shown[SceneField::Note];
    rec[SceneField::BG] = form.background;
    rec[SceneField::Msg] = form.messageBox;
    for (int k = 0; k < SceneForm::kChoiceCount; ++k) {
        const bool untouched = keepUntouchedCodes && form.choices[k] == m_shownForm.choices[k];
        rec[kChoiceFields[k]] =
            untouched ? m_shown[kChoiceFields[k]] : Vocabulary::storedCode(form.choices[k]);
    }
    return rec;
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

Notice ScriptEditor::checkChange() const
{
    if (!m_scriptLock.isEmpty())
        return {m_scriptLock, kScriptWarningTitle};
    return {};
}

Notice ScriptEditor::checkModify() const
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return locked;
    if (m_curRec < 1 || m_curRec > m_scenes.count())
        return {kNothingToModify, kSystemWarningTitle};
    return {};
}

Notice ScriptEditor::checkAdd() const
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return locked;
    if (m_scenes.count() >= kMaxScenes)
        return {kTooManyScenes, kHintTitle};
    return {};
}

Notice ScriptEditor::scriptWriteFailed(const WriteResult &written)
{
    if (!written.changedElsewhere)
        return {kScriptSaveFailed.arg(written.error), kSaveFailedTitle};
    reloadScript();
    return {written.error, kHintTitle, Notice::Reload::Script};
}

Notice ScriptEditor::addScene(const SceneRec &rec)
{
    if (Notice refused = checkAdd(); !refused.isEmpty())
        return refused;
    const int n = m_scenes.count();
    return run(new SceneSplice(*this, kAddedScene.arg(n + 1), n, {}, {rec}, m_curRec, n + 1, true));
}

Notice ScriptEditor::modifyScene(const SceneRec &rec)
{
    if (Notice refused = checkModify(); !refused.isEmpty())
        return refused;
    const int i = m_curRec - 1;
    return run(new SceneSplice(*this, kModifiedScene.arg(m_curRec), i, {m_scenes.scene(i)}, {rec},
                               m_curRec, m_curRec));
}

Notice ScriptEditor::deleteScene()
{
    if (Notice locked = checkChange(); !locked.isEmpty())
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
    return run(new SceneSplice(*this, (after ? kInsertedAfter : kInsertedBefore).arg(position + 1),
                               at, {}, {rec}, m_curRec, at + 1));
}

Notice ScriptEditor::duplicateScenes(int first, int count)
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return locked;
    if (first < 0 || count < 1 || first + count > m_scenes.count())
        return {};
    if (m_scenes.count() + count > kMaxScenes)
        return {kTooManyScenes, kHintTitle};
    return run(new SceneSplice(*this, kDuplicated.arg(sceneRange(first, count)), first + count, {},
                               m_scenes.scenes(first, count), m_curRec, first + count + 1));
}

Notice ScriptEditor::moveScenes(int first, int count, int to)
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return locked;
    const int n = m_scenes.count();
    if (first < 0 || count < 1 || first + count > n || to < 0 || to + count > n || to == first)
        return {};
    return run(
        new SceneMove(*this, kMoved.arg(sceneRange(first, count)), first, count, to, m_curRec));
}

Notice ScriptEditor::removeScenes(int first, int count)
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return locked;
    const int n = m_scenes.count();
    if (first < 0 || count < 1 || first + count > n)
        return {};
    // The scene that takes the first one's place, or the new last scene.
    const int next = qMin(first + 1, n - count);
    return run(new SceneSplice(*this, kDeleted.arg(sceneRange(first, count)), first,
                               m_scenes.scenes(first, count), {}, first + 1, next));
}

std::optional<VersionRestore::Files> ScriptEditor::currentFiles() const
{
    const FileRead script = readWholeFile(m_folder.resolve(kScriptFileName), kMaxScriptBytes);
    const FileRead settings = readWholeFile(m_folder.resolve(kSettingsFileName), kMaxSettingsBytes);
    if ((script.status != FileRead::Read && script.status != FileRead::Missing) ||
        (settings.status != FileRead::Read && settings.status != FileRead::Missing))
        return std::nullopt;
    VersionRestore::Files files{script.bytes, std::nullopt};
    if (settings.status == FileRead::Read)
        files.settings = settings.bytes;
    return files;
}

void ScriptEditor::keepVersionIfDue()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (m_versionChecked && m_versionChecked->secsTo(now) < VersionStore::kIntervalSecs &&
        m_versionChecked->secsTo(now) >= 0)
        return;
    m_versionChecked = now;
    if (const std::optional<VersionRestore::Files> files = currentFiles())
        m_versions.keepIfDue(files->script, files->settings, now);
}

Notice ScriptEditor::restoreVersion(const GameVersion &version)
{
    if (const ScriptStatus status = version.status(); status != ScriptStatus::Loaded)
        return {kVersionUnusable.arg(scriptProblemName(status)), kHintTitle};
    if (!m_scriptLock.isEmpty())
        return repairFromVersion(version);
    const std::optional<VersionRestore::Files> now = currentFiles();
    // What is there now is kept first, so that restoring loses nothing either.
    if (!now || !m_versions.keep(now->script, now->settings, QDateTime::currentDateTimeUtc()))
        return {kVersionNotKept, kSaveFailedTitle};
    return run(new VersionRestore(*this,
                                  kRestoredVersion.arg(version.time.toLocalTime().toString(
                                      QStringLiteral("yyyy-MM-dd HH:mm"))),
                                  *now, {version.script, version.settings}));
}

Notice ScriptEditor::repairFromVersion(const GameVersion &version)
{
    const FileRead settings =
        readWholeFile(m_folder.pathForWrite(kSettingsFileName), kMaxSettingsBytes);
    if (settings.status != FileRead::Read && settings.status != FileRead::Missing)
        return {kVersionNotKept, kSaveFailedTitle};
    const std::optional<QByteArray> settingsNow = settings.status == FileRead::Read
                                                      ? std::optional<QByteArray>(settings.bytes)
                                                      : std::nullopt;
    // The unusable file is kept first, whatever its size: the repair loses nothing either.
    if (!m_versions.keepFile(m_folder.pathForWrite(kScriptFileName), settingsNow,
                             QDateTime::currentDateTimeUtc()))
        return {kVersionNotKept, kSaveFailedTitle};
    if (const WriteResult written = RestoreSettings(m_folder, version.settings); !written)
        return {kSettingsSaveFailed.arg(written.error), kSaveFailedTitle};
    if (const WriteResult written = RestoreScript(m_folder, version.script); !written) {
        RestoreSettings(m_folder, settingsNow); // all or nothing
        return {kScriptSaveFailed.arg(written.error), kSaveFailedTitle};
    }
    load();
    m_history.clear(); // no step leads back to a file the editor could not use
    m_curRec = m_scenes.isEmpty() ? 0 : 1;
    if (m_curRec > 0)
        rememberShown(m_scenes.scene(0));
    return {kRepaired.arg(version.time.toLocalTime().toString(kVersionTime)), kHintTitle,
            Notice::Reload::Script};
}

QString ScriptEditor::restoreQuestion(const GameVersion &version) const
{
    const QString time = version.time.toLocalTime().toString(kVersionTime);
    if (!m_scriptLock.isEmpty())
        return kRepairQuestion.arg(time).arg(version.sceneCount());
    const int differs = version.firstDifference(m_scenes);
    const std::optional<VersionRestore::Files> now = currentFiles();
    QString change = kVersionSame;
    if (differs >= 0)
        change = kVersionDiffers.arg(differs + 1);
    else if (!now || now->settings != version.settings)
        change = kVersionSettingsDiffer;
    return kRestoreQuestion.arg(time).arg(m_scenes.count()).arg(version.sceneCount()).arg(change);
}

Notice ScriptEditor::writeFiles(const VersionRestore::Files &files,
                                const VersionRestore::Files &current)
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return locked;
    const ScriptLoad parsed = parseScript(files.script);
    if (!parsed.usable())
        return {parsed.message, kScriptWarningTitle};
    if (const WriteResult written = RestoreScript(m_folder, files.script, &m_scriptStamp); !written)
        return scriptWriteFailed(written);
    if (const WriteResult written = RestoreSettings(m_folder, files.settings, &m_settingsStamp);
        !written) {
        // All or nothing: Game.txt goes back as it was.
        RestoreScript(m_folder, current.script, &m_scriptStamp);
        if (written.changedElsewhere) {
            reloadSettings();
            return {written.error, kHintTitle, Notice::Reload::Settings};
        }
        return {kSettingsSaveFailed.arg(written.error), kSaveFailedTitle};
    }
    m_scenes = parsed.scenes;
    m_curRec = qMin(qMax(m_curRec, m_scenes.isEmpty() ? 0 : 1), m_scenes.count());
    if (m_curRec > 0)
        rememberShown(m_scenes.scene(m_curRec - 1));
    m_settings = files.settings ? parseSettings(*files.settings) : std::nullopt;
    m_gameFont = m_settings ? m_settings->GameFont : QString();
    return {};
}

Notice ScriptEditor::run(QUndoCommand *command)
{
    keepVersionIfDue();
    m_commandNotice = {};
    m_pushing = true;
    m_history.push(command);
    m_pushing = false;
    return finishCommand();
}

bool ScriptEditor::carryOut(QUndoCommand *command, const std::function<Notice()> &write)
{
    if (m_replaying)
        return true;
    m_commandNotice = write();
    if (m_commandNotice.isEmpty())
        return true;
    if (m_pushing)
        command->setObsolete(true);
    return false;
}

Notice ScriptEditor::finishCommand()
{
    if (m_commandNotice.reloaded != Notice::Reload::None)
        m_history.clear(); // its steps no longer fit the files
    return std::exchange(m_commandNotice, {});
}

Notice ScriptEditor::undo()
{
    if (!m_history.canUndo())
        return {};
    keepVersionIfDue();
    m_commandNotice = {};
    m_history.undo();
    if (!m_commandNotice.isEmpty() && m_commandNotice.reloaded == Notice::Reload::None) {
        // Nothing was written: the step stays where it was.
        m_replaying = true;
        m_history.redo();
        m_replaying = false;
    }
    return finishCommand();
}

Notice ScriptEditor::redo()
{
    if (!m_history.canRedo())
        return {};
    keepVersionIfDue();
    m_commandNotice = {};
    m_history.redo();
    if (!m_commandNotice.isEmpty() && m_commandNotice.reloaded == Notice::Reload::None) {
        m_replaying = true;
        m_history.undo();
        m_replaying = false;
    }
    return finishCommand();
}

Notice ScriptEditor::appendScene(const SceneRec &rec)
{
    // The file first: the lists change only once it holds the scene.
    if (const WriteResult written = AppendScene(m_folder, rec, &m_scriptStamp); !written)
        return scriptWriteFailed(written);
    m_scenes.append(rec);
    m_curRec = m_scenes.count();
    rememberShown(rec); // the fields now show the new scene
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
    if (Notice locked = checkChange(); !locked.isEmpty())
        return locked;
    const WriteResult written = changed == m_openedScenes && !m_openedScript.isNull()
                                    ? RestoreScript(m_folder, m_openedScript, &m_scriptStamp)
                                    : RewriteScript(m_folder, changed, &m_scriptStamp);
    if (!written)
        return scriptWriteFailed(written);
    m_scenes = std::move(changed);
    m_curRec = qBound(0, curRec, m_scenes.count());
    if (m_curRec > 0)
        rememberShown(m_scenes.scene(m_curRec - 1));
    return {};
}

Notice ScriptEditor::writeSettingsState(const std::optional<GameSettings> &state)
{
    // None means no file, whatever the editor opened with; the opened settings come back byte
    // for byte.
    const WriteResult written =
        !state ? RestoreSettings(m_folder, std::nullopt, &m_settingsStamp)
        : state == m_openedSettings
            ? RestoreSettings(m_folder, m_openedSettingsBytes, &m_settingsStamp)
            : WriteSettings(m_folder, *state, &m_settingsStamp);
    if (!written) {
        if (written.changedElsewhere) {
            reloadSettings();
            return {written.error, kHintTitle, Notice::Reload::Settings};
        }
        return {kSettingsSaveFailed.arg(written.error), kSaveFailedTitle};
    }
    m_settings = state;
    m_gameFont = state ? state->GameFont : QString();
    return {};
}

Notice ScriptEditor::writePicture(const QString &target, const std::optional<QByteArray> &bytes,
                                  const FileStamp &expected)
{
    // Another program's change of the picture is never written over or removed.
    if (currentStamp(target, kMaxPictureBytes) != expected)
        return {kPictureChanged.arg(
                    QDir::toNativeSeparators(QDir(m_folder.path()).relativeFilePath(target))),
                kHintTitle, Notice::Reload::Picture};
    const WriteResult written = bytes ? saveWholeFile(target, *bytes) : removeFile(target);
    if (!written)
        return {kPictureCopyFailed.arg(written.error), kSaveFailedTitle};
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

QString ScriptEditor::pictureFolder(PictureKind kind) const
{
    const QString name =
        kind == PictureKind::Background ? QStringLiteral("BG") : QStringLiteral("Msg");
    const QDir root(m_folder.path());
    for (const QString &entry : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && (entry == name || !root.exists(name)))
            return root.filePath(entry);
    }
    return root.filePath(name);
}

QString ScriptEditor::pictureThere(PictureKind kind, const QString &picked) const
{
    const QString folder =
        kind == PictureKind::Background ? QStringLiteral("BG\\") : QStringLiteral("Msg\\");
    return m_folder.resolve(folder + QFileInfo(picked).fileName());
}

int ScriptEditor::scenesUsing(PictureKind kind, const QString &file) const
{
    const auto field = kind == PictureKind::Background ? SceneField::BG : SceneField::Msg;
    const QString folder =
        kind == PictureKind::Background ? QStringLiteral("BG\\") : QStringLiteral("Msg\\");
    const QString target = QFileInfo(file).absoluteFilePath();
    int count = 0;
    for (const QString &name : m_scenes.list(field)) {
        if (!name.isEmpty() && m_folder.resolve(folder + name) == target)
            ++count;
    }
    return count;
}

ScriptEditor::Placement ScriptEditor::placement(PictureKind kind, const QString &picked) const
{
    const QFileInfo file(picked);
    const QString folder = pictureFolder(kind);
    if (QFileInfo(file.absolutePath()).canonicalFilePath() == QFileInfo(folder).canonicalFilePath())
        return Placement::InFolder;
    const QString there = pictureThere(kind, picked);
    if (there.isEmpty())
        return Placement::Elsewhere;
    const FileRead a = readWholeFile(picked, kMaxPictureBytes);
    const FileRead b = readWholeFile(there, kMaxPictureBytes);
    if (a.status == FileRead::Read && b.status == FileRead::Read && a.bytes == b.bytes)
        return Placement::SameThere;
    return Placement::OtherThere;
}

Notice ScriptEditor::copyPicture(PictureKind kind, const QString &picked)
{
    const QString folder = pictureFolder(kind);
    const FileRead source = readWholeFile(picked, kMaxPictureBytes);
    switch (source.status) {
    case FileRead::Read: break;
    case FileRead::TooLarge:
        return {kPictureCopyFailed.arg(kPictureTooLarge.arg(QFileInfo(picked).fileName())),
                kSaveFailedTitle};
    case FileRead::Missing:
    case FileRead::NotAFile:
    case FileRead::Failed:
        return {kPictureCopyFailed.arg(source.error.isEmpty() ? QDir::toNativeSeparators(picked)
                                                              : source.error),
                kSaveFailedTitle};
    }
    if (!QDir().mkpath(folder))
        return {kPictureCopyFailed.arg(folder), kSaveFailedTitle};
    // Over the file the player finds by this name, so that no second file of the name in
    // another letter case stands beside it.
    QString target = pictureThere(kind, picked);
    std::optional<QByteArray> before;
    if (target.isEmpty()) {
        target = QDir(folder).filePath(QFileInfo(picked).fileName());
    } else {
        const FileRead old = readWholeFile(target, kMaxPictureBytes);
        if (old.status != FileRead::Read)
            return {kPictureCopyFailed.arg(QDir::toNativeSeparators(target)), kSaveFailedTitle};
        before = old.bytes;
    }
    const QString name = QDir(m_folder.path()).relativeFilePath(target);
    return run(new PictureCopy(*this, kCopiedPicture.arg(QDir::toNativeSeparators(name)), target,
                               before, source.bytes));
}

GameSettings ScriptEditor::settingsFromForm(const SettingsForm &form)
{
    return {form.name, form.music, form.font, Vocabulary::intervalForSpeed(form.speed),
            Vocabulary::storedCode(form.skip)};
}

Notice ScriptEditor::saveSetting(GameSettings::Field field, const QString &value)
{
    // Without a Game.ini, the other values are those the panel starts with.
    GameSettings panel = m_settings.value_or(
        settingsFromForm({{}, {}, {}, Vocabulary::kSpeedStart, Vocabulary::kSkipStart}));
    panel.field(field) = value;
    return saveSetting(panel, field);
}

Notice ScriptEditor::saveSetting(const GameSettings &panel, GameSettings::Field field)
{
    const QString &value = panel.field(field);
    // Refuse what would not read back as typed before touching the file.
    if (const QString problem = settingsValueProblem(field, value); !problem.isEmpty())
        return {problem + kSettingFix, kHintTitle};
    SettingsRead read = ReadSettings(m_folder);
    GameSettings settings;
    if (read.settings) {
        settings = *read.settings;
    } else if (read.missing) {
        // No Game.ini: the first save makes it from what the panel shows.
        settings = panel;
        if (settings.GameName.isEmpty())
            settings.GameName = QDir(m_folder.path()).dirName();
    } else {
        return {kSettingsUnreadable.arg(read.error), kHintTitle};
    }
    settings.field(field) = value;
    return run(new SettingsChange(*this, kSavedSetting.arg(settingsFieldName(field)), read.settings,
                                  settings));
}
