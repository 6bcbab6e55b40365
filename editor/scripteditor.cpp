#include "scripteditor.h"

#include "editortexts.h"
#include "gbk.h"
#include "scriptfile.h"

using namespace EditorTexts;

ScriptEditor::ScriptEditor(const GameFolder &folder) : m_folder(folder) {}

ScriptEditor::StartUp ScriptEditor::load()
{
    StartUp result;
    m_curRec = 0;
    ScriptLoad script = LoadScript(m_folder);
    if (!script.usable()) {
        m_scriptWritable = false;
        result.scriptNotice = {script.message, kScriptWarningTitle};
        return result;
    }
    m_scenes = std::move(script.scenes);
    if (m_folder.exists(kSettingsFileName)) {
        SettingsRead read = ReadSettings(m_folder);
        if (read.settings)
            result.settings = std::move(read.settings);
        else
            result.settingsNotice = {kSettingsUnreadable.arg(read.error), kSettingsTitle};
    }
    return result;
}

ScriptEditor::BrowseResult ScriptEditor::browse(Browse action)
{
    const int n = m_scenes.count();
    if (n == 0)
        return {{kNoScenes, kBrowseTitle}, -1};
    BrowseResult result;
    // After a Delete CurRec may lie past the end: browsing brings it back into range.
    const int cur = qBound(0, m_curRec, n);
    switch (action) {
    case Browse::First:
        m_curRec = 1;
        break;
    case Browse::Previous:
        // One past the end (the last scene was deleted), "<" shows the new last scene.
        if (m_curRec - 1 < 1) {
            result.notice = {kAtFirst, kBrowseTitle};
            m_curRec = qMax(cur, 1);
        } else {
            m_curRec = qMin(m_curRec - 1, n);
        }
        break;
    case Browse::Next:
        if (cur >= n) {
            result.notice = {kAtLast, kBrowseTitle};
            m_curRec = n;
        } else {
            m_curRec = cur + 1;
        }
        break;
    case Browse::Last:
        m_curRec = n;
        break;
    }
    result.position = m_curRec - 1;
    return result;
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

Notice ScriptEditor::checkChange() const
{
    if (!m_scriptWritable)
        return {kScriptLocked, kScriptWarningTitle};
    return {};
}

Notice ScriptEditor::checkAdd() const
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return locked;
    if (m_scenes.count() >= kMaxScenes)
        return {kTooManyScenes, kSettingsTitle};
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
    return {};
}

Notice ScriptEditor::modifyScene(const SceneRec &rec)
{
    if (Notice locked = checkChange(); !locked.isEmpty())
        return locked;
    if (m_curRec < 1 || m_curRec > m_scenes.count())
        return {kNothingToModify, kBrowseTitle};
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
        return {kNothingToDelete, kBrowseTitle};
    SceneLists changed = m_scenes;
    changed.remove(m_curRec - 1);
    if (const WriteResult written = RewriteScript(m_folder, changed); !written)
        return writeFailed(written.error);
    m_scenes = std::move(changed);
    return {};
}

Notice ScriptEditor::saveSetting(GameSettings::Field field, const QString &value)
{
    // Refuse what would not read back as typed before touching the file.
    if (const QString problem = settingsValueProblem(value); !problem.isEmpty())
        return {settingsFieldName(field) + problem + QStringLiteral(",请修改后再保存"),
                kSettingsTitle};
    if (const Gbk::Encoded encoded = Gbk::encode(value); !encoded.ok())
        return {settingsFieldName(field) +
                    QStringLiteral("含有GBK编码无法保存的字符:%1,请修改后再保存").arg(encoded.unencodable),
                kSettingsTitle};
    SettingsRead read = ReadSettings(m_folder);
    if (!read.settings)
        return {kSettingsMissing, kSettingsTitle};
    GameSettings settings = *read.settings;
    settings.field(field) = value;
    if (const WriteResult written = WriteSettings(m_folder, settings); !written)
        return {kSettingsMissing + u'\n' + written.error, kSettingsTitle};
    return {};
}
