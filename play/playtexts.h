#pragma once

#include <QString>

/// The words of a game's course that both readers show, the player's window and the published
/// page (which takes them from the publish as data), and the game folder's fixed paths. The
/// player's window adds its own words to this namespace in playertexts.h.
namespace PlayerTexts {

/// The address of the program's maker, shown in the default title.
inline const QString kMakerAddress = QStringLiteral("http://www.tavrin.example");
/// Title when the game folder has no Game.ini.
inline const QString kDefaultTitle = QStringLiteral("Tavrin文字游戏工具 ") + kMakerAddress;
/// A picture of the first scene is missing: this text followed by the picture's path.
inline const QString kMissingPicture = QStringLiteral("加载错误，没有找到");
inline const QString kMissingPictureTitle = QStringLiteral("提示");
/// Nothing to play in the folder: no game at all, or a game without scenes yet.
inline const QString kNoGame =
    QStringLiteral("这个文件夹里没有游戏(没有Game.txt和Game.ini),没有可以玩的内容。");
inline const QString kNoScenes =
    QStringLiteral("这个游戏还没有场景,没有可以玩的内容。请先用“游戏编辑”增加场景。");
/// What a screen reader says when the closing picture stands.
inline const QString kEndingDescription = QStringLiteral("终。游戏结束了，可以关闭窗口。");

/// A save names a scene the game no longer has: its number, then how many the game has now.
inline const QString kSavedSceneGone =
    QStringLiteral("存档中的第%1个场景已经不在游戏里了(游戏现在有%2个场景),已打开最近的场景。");

/// Fixed paths of the game folder.
inline const QString kClosingPicture = QStringLiteral("BG/over.jpg");
inline const QString kBackgroundFolder = QStringLiteral("BG\\");
inline const QString kMessageBoxFolder = QStringLiteral("Msg\\");
inline const QString kMusicFolder = QStringLiteral("Music\\");

} // namespace PlayerTexts
