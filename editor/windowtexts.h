#pragma once

#include <QString>

/// The texts of the editor's windows beside the form (preview, check, versions, publishing)
/// and of its context menu; the rest of EditorTexts is in editortexts.h.
namespace EditorTexts {

inline const QString kPreviewCaption = QStringLiteral("预览");
inline const QString kPreviewAction = QStringLiteral("预览(&P)");
inline const QString kCheckAction = QStringLiteral("检查游戏(&C)…");
inline const QString kPlayAction = QStringLiteral("从此场景试玩(&T)");
inline const QString kPublishAction = QStringLiteral("发布游戏(&W)…");
inline const QString kWebPublishCaption = QStringLiteral("发布游戏");
inline const QString kPublishDone =
    QStringLiteral("已发布到“%1”(%2 KB),压缩包为“%3”。用浏览器打开其中的index.html即可试玩。");
inline const QString kPublishFolderLabel = QStringLiteral("网页的文件夹(&F):");
inline const QString kPublishPlace = QStringLiteral("位置(&L)…");
inline const QString kPublishPlaceCaption = QStringLiteral("选择放网页的位置");
inline const QString kPublishButton = QStringLiteral("发布(&P)");
inline const QString kCancelButton = QStringLiteral("取消");
inline const QString kPublishMakes = QStringLiteral("将新建这个文件夹，并在它旁边写入压缩包“%1”。");
inline const QString kPublishReplaces =
    QStringLiteral("这是以前发布的网页：它和旁边的“%1”将整个被新的网页替换。");
inline const QString kReplacePageQuestion =
    QStringLiteral("“%1”是以前发布的网页。要用新的网页整个替换它和“%2”吗？"
                   "后来放进这个文件夹的文件也会被删除。");
inline const QString kPublishCancelling = QStringLiteral("正在取消…");
inline const QString kPublishNotBuilt =
    QStringLiteral("这个Windows版还不能把游戏发布成网页。"
                   "游戏的文件与Linux版完全相同,可以在Linux版的scriptwell中发布它。");
inline const QString kCheckCaption = QStringLiteral("检查游戏");
inline const QString kCheckFine = QStringLiteral("没有发现问题。");
inline const QString kCheckNoGame = QStringLiteral("这个文件夹里没有游戏(Game.txt或Game.ini)。");
inline const QString kCheckProblems = QStringLiteral("发现%1个问题(双击一行可打开那个场景):");
inline const QString kCheckProblemsAndWarnings =
    QStringLiteral("发现%1个问题和%2条提示(双击一行可打开那个场景):");
inline const QString kCheckWarnings =
    QStringLiteral("没有发现问题,有%1条提示(双击一行可打开那个场景):");
inline const QString kCheckGoTo = QStringLiteral("转到(&G)");
inline const QString kCheckGoToName = QStringLiteral("转到");
inline const QString kVersionsCaption = QStringLiteral("以前的版本");
inline const QString kVersionsAction = QStringLiteral("以前的版本(&V)…");
inline const QString kVersionsList = QStringLiteral("以前的版本(&V):");
inline const QString kVersionsNone =
    QStringLiteral("还没有以前的版本。编辑器在每次打开后第一次修改前,"
                   "以及之后每隔十分钟,保存一个版本。");
inline const QString kVersionTimeHeader = QStringLiteral("保存时间");
inline const QString kVersionScenesHeader = QStringLiteral("场景");
inline const QString kVersionDifferenceHeader = QStringLiteral("与现在相比");
inline const QString kVersionTime = QStringLiteral("yyyy-MM-dd HH:mm");
inline const QString kVersionScenes = QStringLiteral("%1个场景");
inline const QString kVersionDiffers = QStringLiteral("从第%1个场景起不同");
inline const QString kVersionSame = QStringLiteral("与现在相同");
inline const QString kVersionSettingsDiffer = QStringLiteral("场景相同,设置不同");
inline const QString kVersionPreviewed = QStringLiteral("这个版本的第%1个场景");
inline const QString kVersionNoScenes = QStringLiteral("这个版本没有场景");
inline const QString kVersionRestore = QStringLiteral("恢复这个版本(&R)");
inline const QString kVersionUnusableShort = QStringLiteral("不能恢复");
inline const QString kVersionsSource = QStringLiteral("版本来自(&F):");
inline const QString kVersionsSourceName = QStringLiteral("版本来自");
inline const QString kVersionsOwn = QStringLiteral("这个游戏");
inline const QString kVersionsOthers = QStringLiteral("其他文件夹的版本:");
/// Another game folder with versions: the game's name, its folder, how many versions.
inline const QString kVersionsOther = QStringLiteral("    %1 — %2(%3个版本)");
inline const QString kVersionsOtherGone = QStringLiteral("    %1 — %2(文件夹已不在,%3个版本)");
inline const QString kVersionsOfOther =
    QStringLiteral("保存自文件夹“%1”的版本(&V)。恢复其中一个,就是把它放进现在打开的这个游戏:");
inline const QString kVersionsOfOtherGone =
    QStringLiteral("保存自文件夹“%1”的版本(&V),这个文件夹已经不在了(改了名、移走或删除)。"
                   "恢复其中一个,就是把它放进现在打开的这个游戏:");
inline const QString kVersionsRemove = QStringLiteral("删除这些版本(&D)…");
inline const QString kVersionsRemoveQuestion =
    QStringLiteral("要删除保存自文件夹“%1”的全部%2个版本吗?删除后不能恢复。");
inline const QString kVersionsRemoveFailed = QStringLiteral("有些版本没能删除:%1");
/// Where the editor remembers its windows (QSettings keys).
inline const QString kPreviewOpenKey = QStringLiteral("preview/open");
inline const QString kPreviewGeometryKey = QStringLiteral("preview/geometry");
inline const QString kSceneListPlaceKey = QStringLiteral("sceneList/geometry");
inline const QString kCheckPlaceKey = QStringLiteral("check/geometry");
inline const QString kVersionsPlaceKey = QStringLiteral("versions/geometry");
inline const QString kSceneListAction = QStringLiteral("场景列表(&L)");
inline const QString kGoToAction = QStringLiteral("转到场景(&G)…");
inline const QString kGoToCaption = QStringLiteral("转到场景");
inline const QString kGoToLabel = QStringLiteral("转到第几个场景(1-%1):");
inline const QString kRemoveScenesQuestion = QStringLiteral("要删除第%1-%2个场景吗?");
inline const QString kReplaceAction = QStringLiteral("替换(&H)…");
inline const QString kReplaceCaption = QStringLiteral("替换");
inline const QString kReplaceFind = QStringLiteral("查找(&N):");
inline const QString kReplaceFindName = QStringLiteral("查找");
inline const QString kReplaceWith = QStringLiteral("替换为(&P):");
inline const QString kReplaceWithName = QStringLiteral("替换为");
inline const QString kReplaceWholeText = QStringLiteral("整个场景文字相同(&W)");
inline const QString kReplacePictures = QStringLiteral("也替换图片名(&I)");
inline const QString kReplaceListName = QStringLiteral("要替换的场景");
inline const QString kReplaceSceneColumn = QStringLiteral("场景");
inline const QString kReplaceBeforeColumn = QStringLiteral("替换前");
inline const QString kReplaceAfterColumn = QStringLiteral("替换后");
inline const QString kReplaceRow = QStringLiteral("第%1个");
inline const QString kReplaceTicked = QStringLiteral("替换选中的场景(&R)");
inline const QString kReplaceAll = QStringLiteral("全部替换(&A)");
inline const QString kReplaceNothingYet = QStringLiteral("输入要查找的文字");
inline const QString kReplaceCount = QStringLiteral("将替换%1个场景(去掉勾选的场景不替换)");
inline const QString kReplaceUnencodable =
    QStringLiteral("“%1”不能保存在游戏的GBK编码中,请换成别的字");
inline const QString kReplaceMissingPictures = QStringLiteral("替换后找不到这些图片:%1");
inline const QString kImportCaption = QStringLiteral("从文本文件导入");
inline const QString kImportFilter = QStringLiteral("文本文件 (*.txt);;所有文件 (*)");
inline const QString kPastedTooLong =
    QStringLiteral("这些场景的文字太长,对话框中放不下(游戏中看不到后面的字):\n%1");

} // namespace EditorTexts
