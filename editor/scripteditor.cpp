#include "scripteditor.h"

#include "editortexts.h"
#include "scriptfile.h"

#include "vocabulary.h"
#include <QDir>
#include <QFileInfo>

using namespace EditorTexts;

ScriptEditor::ScriptEditor(const GameFolder &folder) : m_folder(folder) {}

ScriptEditor::StartUp ScriptEditor::load()
{
    StartUp result;
    m_curRec = 0;
    ScriptLoad script = LoadScript(m_folder);
    if (!script.usable()) {
        m_scriptLock = scriptLockText(script.status);
        result.scriptNotice = {script.message, kScriptWarningTitle};
        return result;
    }
    m_scenes = std::move(script.scenes);
    if (m_folder.exists(kSettingsFileName)) {
        SettingsRead read = ReadSettings(m_folder);
        if (const std::optional<GameSettings> &file = read.settings) {
            m_gameFont = file->GameFont;
            result.settings = SettingsForm{file->GameName, file->BGMName, file->GameFont,
                                           Vocabulary::speedForInterval(file->WordInterval),
                                           Vocabulary::skipForCode(file->SkipCode)};
        } else
            result.settingsNotice = {kSettingsUnreadable.arg(read.error), kHintTitle};
    }
    return result;
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
            if (add)
                result.text = QString(); // a new scene starts from an empty text
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

Notice ScriptEditor::writeFailed(const QString &why) const
{
    return {kScriptSaveFailed.arg(why), kSaveFailedTitle};
}

Notice ScriptEditor::addScene(const SceneRec &rec)
{
    if (Notice refused = checkAdd(); !refused.isEmpty())
        return refused;
    // The file first: the lists change only once it holds the scene.
    if (const WriteResult written = AppendScene(m_folder, rec); !written)
        return writeFailed(written.error);
    m_scenes.append(rec);
    m_curRec = m_scenes.count();
    rememberShown(rec); // the fields now show the new scene
    return {};
}

Notice ScriptEditor::modifyScene(const SceneRec &rec)
{
    if (Notice refused = checkModify(); !refused.isEmpty())
        return refused;
    SceneLists changed = m_scenes;
    changed.replace(m_curRec - 1, rec);
    if (const WriteResult written = RewriteScript(m_folder, changed); !written)
        return writeFailed(written.error);
    m_scenes = std::move(changed);
    return {};
}

Notice ScriptEditor::deleteScene()
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return locked;
    if (m_curRec < 1 || m_curRec > m_scenes.count())
        return {kNothingToDelete, kSystemWarningTitle};
    SceneLists changed = m_scenes;
    changed.remove(m_curRec - 1);
    if (const WriteResult written = RewriteScript(m_folder, changed); !written)
        return writeFailed(written.error);
    m_scenes = std::move(changed);
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

ScriptEditor::Placement ScriptEditor::placement(PictureKind kind, const QString &picked) const
{
    const QFileInfo file(picked);
    const QString folder = pictureFolder(kind);
    if (QFileInfo(file.absolutePath()).canonicalFilePath() == QFileInfo(folder).canonicalFilePath())
        return Placement::InFolder;
    const QString there = QDir(folder).filePath(file.fileName());
    if (!QFileInfo::exists(there))
        return Placement::Elsewhere;
    QFile a(picked), b(there);
    if (a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && a.size() == b.size() &&
        a.readAll() == b.readAll())
        return Placement::SameThere;
    return Placement::OtherThere;
}

Notice ScriptEditor::copyPicture(PictureKind kind, const QString &picked)
{
    const QString folder = pictureFolder(kind);
    QFile source(picked);
    if (!source.open(QIODevice::ReadOnly))
        return {kPictureCopyFailed.arg(source.errorString()), kSaveFailedTitle};
    const QByteArray bytes = source.readAll();
    if (!QDir().mkpath(folder))
        return {kPictureCopyFailed.arg(folder), kSaveFailedTitle};
    if (const WriteResult written =
            saveWholeFile(QDir(folder).filePath(QFileInfo(picked).fileName()), bytes);
        !written)
        return {kPictureCopyFailed.arg(written.error), kSaveFailedTitle};
    return {};
}

Notice ScriptEditor::saveSetting(GameSettings::Field field, const QString &value)
{
    // Refuse what would not read back as typed before touching the file.
    if (const QString problem = settingsValueProblem(field, value); !problem.isEmpty())
        return {problem + kSettingFix, kHintTitle};
    SettingsRead read = ReadSettings(m_folder);
    if (!read.settings)
        return {kSettingsMissing, kHintTitle};
    GameSettings settings = *read.settings;
    settings.field(field) = value;
    if (const WriteResult written = WriteSettings(m_folder, settings); !written)
        return {kSettingsMissing + u'\n' + written.error, kHintTitle};
    m_gameFont = settings.GameFont;
    return {};
}
