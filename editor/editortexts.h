#pragma once

#include "scriptfile.h"

#include <QString>

/// The editor's own texts, in one place.
namespace EditorTexts {

inline const QString kCaption = QStringLiteral("游戏编辑");

inline const QString kAddIdle = QStringLiteral("增加");
inline const QString kModifyIdle = QStringLiteral("修改");
inline const QString kWaiting = QStringLiteral("OK?");

// Message titles.
/// Browsing past an end, or a scene command with no current scene.
inline const QString kSystemWarningTitle = QStringLiteral("系统警告:");
/// A hint: settings, the scene limit, a link that did not open.
inline const QString kHintTitle = QStringLiteral("提示");
inline const QString kSaveFailedTitle = QStringLiteral("保存失败");

// Captions of the window.
inline const QString kTextFrame = QStringLiteral("文字修改");
inline const QString kLinkFrame = QStringLiteral("软件链接");
inline const QString kPictureFrame = QStringLiteral("图片修改");
inline const QString kSettingsFrame = QStringLiteral("全局修改");
inline const QString kControlFrame = QStringLiteral("控制条");
inline const QString kTextPosition = QStringLiteral("字体位置");
inline const QString kTextStyle = QStringLiteral("字体设置");
inline const QString kTextSize = QStringLiteral("字号设置");
inline const QString kTextColour = QStringLiteral("颜色设置");
inline const QString kText = QStringLiteral("内容");
inline const QString kNoSceneYet = QStringLiteral("第N个");
inline const QString kSceneNumber = QStringLiteral("第%1个");
inline const QString kBoxPosition = QStringLiteral("对话框位置");
inline const QString kBackground = QStringLiteral("背景图");
inline const QString kMessageBox = QStringLiteral("对话框");
inline const QString kPick = QStringLiteral("获取");
inline const QString kPickBackground = QStringLiteral("获取背景图");
inline const QString kPickMessageBox = QStringLiteral("获取对话框");
inline const QString kGameName = QStringLiteral("游戏名称");
inline const QString kMusic = QStringLiteral("BGM");
inline const QString kSpeed = QStringLiteral("游戏速度");
inline const QString kSkip = QStringLiteral("文字显示效果");
inline const QString kFont = QStringLiteral("设置游戏使用字体");
inline const QString kFontSaved = QStringLiteral("游戏使用字体");
inline const QString kSave = QStringLiteral("保存");
inline const QString kFirst = QStringLiteral("<<");
inline const QString kPrevious = QStringLiteral("<");
inline const QString kNext = QStringLiteral(">");
inline const QString kLast = QStringLiteral(">>");
inline const QString kDelete = QStringLiteral("删除");
inline const QString kHelp = QStringLiteral("help");
inline const QString kFirstScene = QStringLiteral("第一个场景");
inline const QString kPreviousScene = QStringLiteral("上一个场景");
inline const QString kNextScene = QStringLiteral("下一个场景");
inline const QString kLastScene = QStringLiteral("最后一个场景");
inline const QString kOpensWebPage = QStringLiteral("打开网页");
inline const QString kForumCaption = QStringLiteral("交流论坛");
inline const QString kTutorialCaption = QStringLiteral("制作教程");
inline const QString kContentsCaption = QStringLiteral("使用目录");
inline const QString kPublishCaption = QStringLiteral("游戏发布");
inline const QString kLabelFont = QStringLiteral("宋体");

// Messages.
inline const QString kAtFirst = QStringLiteral("当前已经是第一个");
inline const QString kAtLast = QStringLiteral("当前已经是最后一个");
inline const QString kNoScenes = QStringLiteral("当前还没有场景");
inline const QString kNothingToModify = QStringLiteral("当前没有可修改的场景,请先选择一个场景");
inline const QString kNothingToDelete = QStringLiteral("当前没有可删除的场景,请先选择一个场景");

/// Why the editor will not change Game.txt, for each way start-up found it unusable.
inline QString scriptLockText(ScriptStatus status)
{
    const QString restore = QStringLiteral("也可以在右键菜单“以前的版本…”中恢复一个版本。");
    switch (status) {
    case ScriptStatus::TooManyScenes:
        return QStringLiteral("Game.txt中的场景超过4095个,为避免丢失已有场景,"
                              "编辑器不会修改它。请先减少场景,再重新打开编辑器;") +
               restore;
    case ScriptStatus::TooLarge:
        return QStringLiteral("Game.txt过大(超过256MB),为避免丢失已有场景,编辑器不会修改它。") +
               restore;
    case ScriptStatus::Unreadable:
        return QStringLiteral(
            "Game.txt无法读取,为避免丢失已有场景,编辑器不会修改它。请检查文件后再重新打开编辑器。");
    default:
        return QStringLiteral("Game.txt数据受损,为避免丢失已有场景,编辑器不会修改它。请先修复Game."
                              "txt,再重新打开编辑器;") +
               restore;
    }
}
/// What makes a Game.txt unusable, in a few words.
inline QString scriptProblemName(ScriptStatus status)
{
    switch (status) {
    case ScriptStatus::TooManyScenes: return QStringLiteral("场景超过4095个");
    case ScriptStatus::TooLarge: return QStringLiteral("过大(超过256MB)");
    case ScriptStatus::Unreadable: return QStringLiteral("无法读取");
    default: return QStringLiteral("数据受损");
    }
}
inline const QString kTooManyScenes = QStringLiteral("场景数已达上限4095个,无法再增加");
inline const QString kScriptSaveFailed = QStringLiteral("Game.txt保存失败,文件未被改动。\n%1");

inline const QString kSettingsMissing = QStringLiteral("Game.ini配置文件未找到");
inline const QString kSettingsMissingAtStart =
    QStringLiteral("Game.ini配置文件未找到,游戏设置显示默认值。\n"
                   "按“全局修改”中任意一个“修改”按钮时,会用面板上的设置新建Game.ini。");
inline const QString kSettingsSaveFailed = QStringLiteral("Game.ini保存失败,文件未被改动。\n%1");
/// Both files were to change together: Game.txt was written, Game.ini was not (%1), and
/// Game.txt could not be put back either (%2).
inline const QString kBothFilesFailed =
    QStringLiteral("Game.ini保存失败,而Game.txt已经写入,也没能改回原样。\n"
                   "Game.ini:%1\nGame.txt:%2\n"
                   "编辑器已重新读取这两个文件,显示的是它们现在的内容;之前的步骤不能再撤销。");
inline const QString kSettingsUnreadable =
    QStringLiteral("Game.ini配置文件无法读取,设置面板显示默认值。\n%1");

inline const QString kPictureFilter = QStringLiteral(
    "图片 (*.bmp *.jpg *.jpeg *.gif *.png *.BMP *.JPG *.JPEG *.GIF *.PNG);;所有文件 (*)");
inline const QString kPictureTitle = QStringLiteral("复制图片");
inline const QString kPictureElsewhere =
    QStringLiteral("“%1”不在游戏的%2文件夹中,游戏播放时会找不到它。\n要把它复制到%2文件夹吗?");
/// The second question before a different picture takes the place of one already there: the
/// picked name, the folder, the file it replaces, and how many scenes show that file.
inline const QString kPictureReplace =
    QStringLiteral("%2文件夹中已经有一个不同的“%3”,游戏播放时“%1”会找到它;有%4个场景使用它。\n"
                   "要用选中的图片替换“%3”吗?这些场景都会显示新的图片。");
inline const QString kPictureCopyFailed = QStringLiteral("图片没有复制:%1");
inline const QString kPictureTooLarge = QStringLiteral("“%1”过大(超过256MB)");
inline const QString kPlayFailed = QStringLiteral("无法启动游戏播放程序%1");
inline const QString kLinkFailed = QStringLiteral("无法打开网页:%1");
inline const QString kGuideMissing =
    QStringLiteral("找不到使用指南:它随程序安装在share/taletools/guide中,请重新安装程序。");
inline const QString kAlreadyOpen =
    QStringLiteral("游戏“%1”已经在另一个编辑器窗口中打开(进程%2)。\n"
                   "两个编辑器同时修改同一个游戏时,保存前会发现对方的修改并重新载入,"
                   "但容易混乱。\n仍要在这里再打开一次吗?");
inline const QString kReadOnlyGame =
    QStringLiteral("这个游戏不能修改(例如随程序安装的示例游戏),修改将无法保存。\n"
                   "要学习示例游戏,请从菜单打开“游戏编辑”,在选择窗口中点“复制示例游戏”,"
                   "再修改复制的那一份。\n(%1)");
inline const QString kRenameWindowsNames = QStringLiteral("改正文件名(&R)");
inline const QString kRenameFailed =
    QStringLiteral("这些文件没有改名(已经有同名的文件,或文件夹不能修改):\n%1");
// What the history calls each change ("撤销 删除第5个场景").
inline const QString kUndoPrefix = QStringLiteral("撤销");
inline const QString kRedoPrefix = QStringLiteral("重做");
inline const QString kSceneName = QStringLiteral("第%1个场景");
inline const QString kScenesName = QStringLiteral("第%1-%2个场景");
inline const QString kAddedScene = QStringLiteral("增加第%1个场景");
inline const QString kModifiedScene = QStringLiteral("修改第%1个场景");
inline const QString kDeleted = QStringLiteral("删除%1");
inline const QString kInsertedBefore = QStringLiteral("在第%1个场景前插入场景");
inline const QString kInsertedAfter = QStringLiteral("在第%1个场景后插入场景");
inline const QString kDuplicated = QStringLiteral("复制%1");
inline const QString kMoved = QStringLiteral("移动%1");
inline const QString kReplaced = QStringLiteral("替换'%1'为'%2'(%3个场景)");
inline const QString kPasted = QStringLiteral("粘贴为%1");
inline const QString kImported = QStringLiteral("导入为%1");
inline const QString kCut = QStringLiteral("剪切%1");
inline const QString kNothingReplaced = QStringLiteral("没有场景含有“%1”");
inline const QString kImportUnreadable = QStringLiteral("无法读取文件“%1”:%2");
inline const QString kImportNotText =
    QStringLiteral("文件“%1”既不是UTF-8也不是GBK编码的文字,没有导入");
inline const QString kImportEmpty = QStringLiteral("文件“%1”中没有文字,没有导入");
inline const QString kImportDone = QStringLiteral("已按%1编码读入“%2”,导入了%3个场景。");
inline const QString kSavedSetting = QStringLiteral("修改%1");
inline const QString kCopiedPicture = QStringLiteral("复制图片%1");
inline const QString kRestoredVersion = QStringLiteral("恢复%1的版本");
inline const QString kVersionUnusable = QStringLiteral("这个版本的Game.txt%1,不能恢复。");
inline const QString kRestoreQuestion =
    QStringLiteral("要恢复%1保存的版本吗?\n现在有%2个场景,这个版本有%3个场景,%4。\n"
                   "现在的Game.txt和Game.ini会先保存为一个版本,恢复之后也可以撤销。");
inline const QString kRepairQuestion =
    QStringLiteral("要用%1保存的版本(%2个场景)替换现在无法使用的Game.txt吗?\n"
                   "现在的Game.txt和Game.ini会先保存为一个版本。");
inline const QString kRepaired =
    QStringLiteral("已恢复%1保存的版本。原来无法使用的Game.txt已保存在“以前的版本”中。");
inline const QString kPictureChanged =
    QStringLiteral("图片%1已被其他程序修改,为了不丢失那个修改,没有改动它。\n"
                   "撤销和重做的记录已清空。");
inline const QString kVersionNotKept =
    QStringLiteral("现在的Game.txt和Game.ini无法先保存为一个版本,所以没有恢复。");
inline const QString kUnstoredScene =
    QStringLiteral("正在增加或修改的场景还没有保存。\n关闭前要保存它吗?");
inline const QString kUnstoredBeforeCommand =
    QStringLiteral("正在增加或修改的场景还没有保存。\n要先保存它吗?"
                   "(“不保存”会放弃它;“取消”则不做这个操作)");
inline const QString kSettingFix = QStringLiteral(",请修改后再保存");

/// The paths and queries of the help links on the support forum's web server.
inline const QString kForumPath = QStringLiteral("/forum/forum.php?mod=forumdisplay&fid=56");
inline const QString kTutorialPath = QStringLiteral("/forum/forum.php?mod=viewthread&tid=76");
inline const QString kContentsPath = QStringLiteral("/forum/forum.php?mod=viewthread&tid=75");
inline const QString kPublishPath = QStringLiteral("/forum/forum.php?mod=forumdisplay&fid=2");
inline const QString kHelpPath = QStringLiteral("/bbs/forum.php?mod=viewthread&tid=844");

} // namespace EditorTexts
