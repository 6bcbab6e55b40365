#pragma once

#include <QString>

/// The texts of the scene list window.
namespace SceneListTexts {

inline const QString kCaption = QStringLiteral("场景列表");
/// The start of a row: the scene's number, counted from 1.
inline const QString kRow = QStringLiteral("第%1个: ");
inline const QString kList = QStringLiteral("场景");

inline const QString kFind = QStringLiteral("查找(&F):");
inline const QString kFindName = QStringLiteral("查找");
inline const QString kFindHint = QStringLiteral("文字或图片名 (Enter下一个, Shift+Enter上一个)");
inline const QString kFound = QStringLiteral("找到%1个场景");
inline const QString kNotFound = QStringLiteral("没有找到");

inline const QString kGoTo = QStringLiteral("转到第…个(&G):");
inline const QString kGoToName = QStringLiteral("转到第…个");
inline const QString kNoSuchScene = QStringLiteral("没有第%1个场景");

inline const QString kInsertBefore = QStringLiteral("在前面插入");
inline const QString kInsertAfter = QStringLiteral("在后面插入");
inline const QString kDuplicate = QStringLiteral("复制场景");
inline const QString kMoveUp = QStringLiteral("上移");
inline const QString kMoveDown = QStringLiteral("下移");
inline const QString kRemove = QStringLiteral("删除");
inline const QString kCopyRows = QStringLiteral("复制到剪贴板");
inline const QString kCutRows = QStringLiteral("剪切");
inline const QString kPaste = QStringLiteral("粘贴");
inline const QString kPasteAsScenes = QStringLiteral("粘贴为新场景");
inline const QString kImport = QStringLiteral("从文本文件导入…");
inline const QString kMoveTo = QStringLiteral("移到第…个");
inline const QString kMoveToLabel = QStringLiteral("把%1移到第几个(1-%2):");
inline const QString kReplace = QStringLiteral("替换…");
inline const QString kUndo = QStringLiteral("撤销");
inline const QString kRedo = QStringLiteral("重做");

} // namespace SceneListTexts
