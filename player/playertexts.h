#pragma once

#include <QString>

/// The player's own texts, in one place.
namespace PlayerTexts {

/// The address of the program's maker, shown in the default title.
inline const QString kMakerAddress = QStringLiteral("http://www.tavrin.example");
/// Title when the game folder has no Game.ini.
inline const QString kDefaultTitle = QStringLiteral("Tavrin文字游戏工具 ") + kMakerAddress;
/// Title of the window before start-up names it.
inline const QString kInitialTitle = QStringLiteral("Game");
/// A picture of the first scene is missing: this text followed by the picture's path.
inline const QString kMissingPicture = QStringLiteral("加载错误，没有找到");
inline const QString kMissingPictureTitle = QStringLiteral("提示");
/// Nothing to play in the folder: no game at all, or a game without scenes yet.
inline const QString kNoGame =
    QStringLiteral("这个文件夹里没有游戏(没有Game.txt和Game.ini),没有可以玩的内容。");
inline const QString kNoScenes =
    QStringLiteral("这个游戏还没有场景,没有可以玩的内容。请先用“游戏编辑”增加场景。");
/// What a screen reader says for the message box, which advances the game.
inline const QString kNextAccessibleName = QStringLiteral("下一个");
/// What a screen reader says when the closing picture stands.
inline const QString kEndingDescription = QStringLiteral("终。游戏结束了，可以关闭窗口。");
/// Ctrl+= when the next larger window would not fit the screen.
inline const QString kZoomNoRoom = QStringLiteral("屏幕放不下更大的窗口，可按 F11 全屏");

/// Fixed paths of the game folder.
inline const QString kClosingPicture = QStringLiteral("BG/over.jpg");
inline const QString kBackgroundFolder = QStringLiteral("BG\\");
inline const QString kMessageBoxFolder = QStringLiteral("Msg\\");
inline const QString kMusicFolder = QStringLiteral("Music\\");

} // namespace PlayerTexts
