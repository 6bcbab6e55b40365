#pragma once

#include "scriptfile.h"

#include <QString>

/// The editor's own texts, in one place.
namespace EditorTexts {

inline const QString kCaption = QStringLiteral("游戏编辑");

inline const QString kAddIdle = QStringLiteral("增加");
inline const QString kModifyIdle = QStringLiteral("修改");
inline const QString kWaiting = QStringLiteral("OK?");

inline const QString kBrowseTitle = QStringLiteral("系统警告:");
inline const QString kAtFirst = QStringLiteral("当前已经是第一个");
inline const QString kAtLast = QStringLiteral("当前已经是最后一个");
inline const QString kNoScenes = QStringLiteral("当前还没有场景");
inline const QString kNothingToModify = QStringLiteral("当前没有可修改的场景,请先选择一个场景");
inline const QString kNothingToDelete = QStringLiteral("当前没有可删除的场景,请先选择一个场景");

/// Why the editor will not change Game.txt, for each way start-up found it unusable.
inline QString scriptLockText(ScriptStatus status)
{
    switch (status) {
    case ScriptStatus::TooManyScenes:
        return QStringLiteral("Game.txt中的场景超过4095个,为避免丢失已有场景,编辑器不会修改它。请先减少场景,再重新打开编辑器。");
    case ScriptStatus::TooLarge:
        return QStringLiteral("Game.txt过大(超过256MB),为避免丢失已有场景,编辑器不会修改它。");
    case ScriptStatus::Unreadable:
        return QStringLiteral("Game.txt无法读取,为避免丢失已有场景,编辑器不会修改它。请检查文件后再重新打开编辑器。");
    default:
        return QStringLiteral("Game.txt数据受损,为避免丢失已有场景,编辑器不会修改它。请先修复Game.txt,再重新打开编辑器。");
    }
}
inline const QString kTooManyScenes = QStringLiteral("场景数已达上限4095个,无法再增加");
inline const QString kSaveFailedTitle = QStringLiteral("保存失败");
inline const QString kScriptSaveFailed = QStringLiteral("Game.txt保存失败,文件未被改动。\n%1");

inline const QString kSettingsTitle = QStringLiteral("提示");
inline const QString kSettingsMissing = QStringLiteral("Game.ini配置文件未找到");
inline const QString kSettingsUnreadable = QStringLiteral("Game.ini配置文件无法读取,设置面板显示默认值。\n%1");

inline const QString kLinkFailed = QStringLiteral("无法打开网页:%1");

/// The support forum's web server; the paths of the links follow it.
inline const QString kForumHost = QStringLiteral("http://bbs.tavrin.example");
inline const QString kForumLink = kForumHost + QStringLiteral("/forum/forum.php?mod=forumdisplay&fid=56");
inline const QString kTutorialLink = kForumHost + QStringLiteral("/forum/forum.php?mod=viewthread&tid=76");
inline const QString kContentsLink = kForumHost + QStringLiteral("/forum/forum.php?mod=viewthread&tid=75");
inline const QString kPublishLink = kForumHost + QStringLiteral("/forum/forum.php?mod=forumdisplay&fid=2");
inline const QString kHelpLink = kForumHost + QStringLiteral("/bbs/forum.php?mod=viewthread&tid=844");

} // namespace EditorTexts
