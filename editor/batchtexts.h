#pragma once

#include <QString>

/// The texts of "批量设置…": the dialog, its command and its step of the history.
namespace BatchTexts {

inline const QString kAction = QStringLiteral("批量设置(&B)…");
inline const QString kCaption = QStringLiteral("批量设置");
inline const QString kScenes = QStringLiteral("要修改的%1个场景:%2");
inline const QString kNumbers = QStringLiteral("第%1个");
inline const QString kNumbersCut = QStringLiteral("第%1…个");
inline const QString kHint =
    QStringLiteral("勾选要修改的项目;没有勾选的项目,每个场景保持各自原来的设置。");
inline const QString kDiffers = QStringLiteral("(各场景不同)");
inline const QString kPreview = QStringLiteral("第%1个场景修改后的样子");
inline const QString kNoPicture = QStringLiteral("%1文件夹中没有图片“%2”。");
inline const QString kNothingChosen = QStringLiteral("请先勾选要修改的项目。");
/// The step of the history ("撤销 批量设置3个场景的背景图、颜色设置").
inline const QString kSet = QStringLiteral("批量设置%1个场景的%2");
inline const QString kSelectFirst = QStringLiteral("请先在场景列表中选择要修改的场景。");

} // namespace BatchTexts
