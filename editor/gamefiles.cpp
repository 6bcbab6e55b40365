#include "gamefiles.h"

#include "editortexts.h"
#include "scriptfile.h"
#include "windowtexts.h"

#include <QDir>
#include <QFileInfo>

using namespace EditorTexts;

GameFiles::GameFiles(const GameFolder &folder, const QString &versionsRoot)
    : m_folder(folder), m_versions(folder.path(), versionsRoot)
{
}

GameFiles::Opened GameFiles::open()
{
    Opened opened;
    m_scriptLock.clear();
    ScriptLoad script = LoadScript(m_folder);
    if (!script.usable()) {
        m_scriptLock = scriptLockText(script.status);
        opened.scriptNotice = {script.message, kScriptWarningTitle};
        return opened;
    }
    opened.scenes = std::move(script.scenes);
    m_scriptStamp = script.stamp;
    m_openedScenes = opened.scenes;
    m_openedScript = script.bytes;
    SettingsRead read = ReadSettings(m_folder);
    m_settingsStamp = read.stamp;
    m_settings = read.settings;
    m_openedSettings = read.settings;
    if (!read.missing)
        m_openedSettingsBytes = read.bytes;
    if (m_settings)
        m_gameFont = m_settings->GameFont;
    if (const WriteResult writable = checkCanWrite(m_folder.pathForWrite(kScriptFileName));
        !writable)
        opened.readOnlyNotice = {kReadOnlyGame.arg(writable.error), kHintTitle};
    if (read.missing)
        opened.settingsNotice = {kSettingsMissingAtStart, kHintTitle};
    else if (!read.settings)
        opened.settingsNotice = {kSettingsUnreadable.arg(read.error), kHintTitle};
    return opened;
}

Notice GameFiles::checkChange() const
{
    if (!m_scriptLock.isEmpty())
        return {m_scriptLock, kScriptWarningTitle};
    return {};
}

GameFiles::ScriptWrite GameFiles::scriptWriteFailed(const WriteResult &written)
{
    if (!written.changedElsewhere)
        return {{kScriptSaveFailed.arg(written.error), kSaveFailedTitle}, std::nullopt};
    ScriptWrite result{{written.error, kHintTitle, Notice::Reload::Script}, SceneLists()};
    ScriptLoad script = LoadScript(m_folder);
    if (!script.usable()) {
        // Another program left a file the editor cannot use: change nothing more.
        m_scriptLock = scriptLockText(script.status);
        return result;
    }
    result.scenes = std::move(script.scenes);
    m_scriptStamp = script.stamp;
    return result;
}

Notice GameFiles::settingsWriteFailed(const WriteResult &written)
{
    if (!written.changedElsewhere)
        return {kSettingsSaveFailed.arg(written.error), kSaveFailedTitle};
    reloadSettings();
    return {written.error, kHintTitle, Notice::Reload::Settings};
}

GameFiles::ScriptWrite GameFiles::bothWritesFailed(const WriteResult &settings,
                                                   const WriteResult &script)
{
    // The files no longer hold one state the history knows: read both as they are now.
    reloadSettings();
    ScriptWrite result{{kBothFilesFailed.arg(settings.error, script.error), kSaveFailedTitle,
                        Notice::Reload::Script},
                       SceneLists()};
    ScriptLoad now = LoadScript(m_folder);
    if (!now.usable()) {
        m_scriptLock = scriptLockText(now.status);
        return result;
    }
    result.scenes = std::move(now.scenes);
    m_scriptStamp = now.stamp;
    return result;
}

void GameFiles::reloadSettings()
{
    SettingsRead read = ReadSettings(m_folder);
    m_settingsStamp = read.stamp;
    m_settings = read.settings;
    if (m_settings)
        m_gameFont = m_settings->GameFont;
}

GameFiles::ScriptWrite GameFiles::appendScene(const SceneRec &rec)
{
    if (const WriteResult written = AppendScene(m_folder, rec, &m_scriptStamp); !written)
        return scriptWriteFailed(written);
    return {};
}

GameFiles::ScriptWrite GameFiles::writeScenes(const SceneLists &scenes)
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return {locked, std::nullopt};
    const WriteResult written = scenes == m_openedScenes && !m_openedScript.isNull()
                                    ? RestoreScript(m_folder, m_openedScript, &m_scriptStamp)
                                    : RewriteScript(m_folder, scenes, &m_scriptStamp);
    if (!written)
        return scriptWriteFailed(written);
    return {};
}

Notice GameFiles::writeSettings(const std::optional<GameSettings> &state)
{
    // None means no file, whatever the editor opened with; the opened settings come back byte
    // for byte.
    const WriteResult written =
        !state ? RestoreSettings(m_folder, std::nullopt, &m_settingsStamp)
        : state == m_openedSettings
            ? RestoreSettings(m_folder, m_openedSettingsBytes, &m_settingsStamp)
            : WriteSettings(m_folder, *state, &m_settingsStamp);
    if (!written)
        return settingsWriteFailed(written);
    m_settings = state;
    m_gameFont = state ? state->GameFont : QString();
    return {};
}

GameFiles::ScriptWrite GameFiles::writeBoth(const Bytes &files, const Bytes &current)
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return {locked, std::nullopt};
    ScriptLoad parsed = parseScript(files.script);
    if (!parsed.usable())
        return {{parsed.message, kScriptWarningTitle}, std::nullopt};
    if (const WriteResult written = RestoreScript(m_folder, files.script, &m_scriptStamp); !written)
        return scriptWriteFailed(written);
    if (const WriteResult written = RestoreSettings(m_folder, files.settings, &m_settingsStamp);
        !written) {
        // All or nothing: Game.txt goes back as it was.
        const WriteResult back = RestoreScript(m_folder, current.script, &m_scriptStamp);
        if (!back)
            return bothWritesFailed(written, back);
        return {settingsWriteFailed(written), std::nullopt};
    }
    m_settings = files.settings ? parseSettings(*files.settings) : std::nullopt;
    m_gameFont = m_settings ? m_settings->GameFont : QString();
    return {{}, std::move(parsed.scenes)};
}

GameFiles::SettingsSave GameFiles::settingsSave(const GameSettings &panel,
                                                GameSettings::Field field) const
{
    const QString &value = panel.field(field);
    // Refuse what would not read back as typed before touching the file.
    if (const QString problem = settingsValueProblem(field, value); !problem.isEmpty())
        return {{problem + kSettingFix, kHintTitle}, std::nullopt, {}};
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
        return {{kSettingsUnreadable.arg(read.error), kHintTitle}, std::nullopt, {}};
    }
    settings.field(field) = value;
    return {{}, read.settings, settings};
}

std::optional<GameFiles::Bytes> GameFiles::currentFiles() const
{
    const FileRead script = readWholeFile(m_folder.resolve(kScriptFileName), kMaxScriptBytes);
    const FileRead settings = readWholeFile(m_folder.resolve(kSettingsFileName), kMaxSettingsBytes);
    if ((script.status != FileRead::Read && script.status != FileRead::Missing) ||
        (settings.status != FileRead::Read && settings.status != FileRead::Missing))
        return std::nullopt;
    Bytes files{script.bytes, std::nullopt};
    if (settings.status == FileRead::Read)
        files.settings = settings.bytes;
    return files;
}

void GameFiles::keepVersionIfDue()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (m_versionChecked && m_versionChecked->secsTo(now) < VersionStore::kIntervalSecs &&
        m_versionChecked->secsTo(now) >= 0)
        return;
    m_versionChecked = now;
    if (const std::optional<Bytes> files = currentFiles())
        m_versions.keepIfDue(files->script, files->settings, now);
}

std::optional<GameFiles::Bytes> GameFiles::keepCurrent()
{
    const std::optional<Bytes> now = currentFiles();
    if (!now || !m_versions.keep(now->script, now->settings, QDateTime::currentDateTimeUtc()))
        return std::nullopt;
    return now;
}

Notice GameFiles::repairFrom(const GameVersion &version)
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
    return {};
}

QString GameFiles::restoreQuestion(const GameVersion &version, const SceneLists &scenes) const
{
    const QString time = version.time.toLocalTime().toString(kVersionTime);
    if (!m_scriptLock.isEmpty())
        return kRepairQuestion.arg(time).arg(version.sceneCount());
    const int differs = version.firstDifference(scenes);
    const std::optional<Bytes> now = currentFiles();
    QString change = kVersionSame;
    if (differs >= 0)
        change = kVersionDiffers.arg(differs + 1);
    else if (!now || now->settings != version.settings)
        change = kVersionSettingsDiffer;
    return kRestoreQuestion.arg(time).arg(scenes.count()).arg(version.sceneCount()).arg(change);
}

QString GameFiles::pictureFolder(PictureKind kind) const
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

QString GameFiles::picturePath(PictureKind kind, const QString &name)
{
    return (kind == PictureKind::Background ? QStringLiteral("BG\\") : QStringLiteral("Msg\\")) +
           name;
}

QString GameFiles::pictureThere(PictureKind kind, const QString &picked) const
{
    return m_folder.resolve(picturePath(kind, QFileInfo(picked).fileName()));
}

GameFiles::Placement GameFiles::placement(PictureKind kind, const QString &picked) const
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

GameFiles::PictureRead GameFiles::readForCopy(PictureKind kind, const QString &picked) const
{
    const QString folder = pictureFolder(kind);
    const FileRead source = readWholeFile(picked, kMaxPictureBytes);
    const auto refused = [](const QString &why) {
        return PictureRead{{kPictureCopyFailed.arg(why), kSaveFailedTitle}, {}, {}, {}};
    };
    switch (source.status) {
    case FileRead::Read: break;
    case FileRead::TooLarge: return refused(kPictureTooLarge.arg(QFileInfo(picked).fileName()));
    case FileRead::Missing:
    case FileRead::NotAFile:
    case FileRead::Failed:
        return refused(source.error.isEmpty() ? QDir::toNativeSeparators(picked) : source.error);
    }
    if (!QDir().mkpath(folder))
        return refused(folder);
    // Over the file the player finds by this name, so that no second file of the name in
    // another letter case stands beside it.
    PictureRead copy{{}, pictureThere(kind, picked), std::nullopt, source.bytes};
    if (copy.target.isEmpty()) {
        copy.target = QDir(folder).filePath(QFileInfo(picked).fileName());
    } else {
        const FileRead old = readWholeFile(copy.target, kMaxPictureBytes);
        if (old.status != FileRead::Read)
            return refused(QDir::toNativeSeparators(copy.target));
        copy.before = old.bytes;
    }
    return copy;
}

Notice GameFiles::writePicture(const QString &target, const std::optional<QByteArray> &bytes,
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
