#pragma once

#include "playtexts.h"

#include <QString>

/// The player's window's own texts, in one place, beside the words both readers show
/// (playtexts.h).
namespace PlayerTexts {

/// Title of the window before start-up names it.
inline const QString kInitialTitle = QStringLiteral("Game");
/// What a screen reader says for the message box, which advances the game.
inline const QString kNextAccessibleName = QStringLiteral("下一个");
/// Ctrl+= when the next larger window would not fit the screen.
inline const QString kZoomNoRoom = QStringLiteral("屏幕放不下更大的窗口，可按 F11 全屏");

/// The reader's menu, each entry with its key shown beside it.
inline const QString kMenuSave = QStringLiteral("存档");
inline const QString kMenuLoad = QStringLiteral("读档");
inline const QString kMenuBacklog = QStringLiteral("回顾");
inline const QString kMenuAuto = QStringLiteral("自动");
inline const QString kMenuSkip = QStringLiteral("快进");
inline const QString kMenuHide = QStringLiteral("隐藏文字框");
inline const QString kMenuSettings = QStringLiteral("设置");
inline const QString kMenuRestart = QStringLiteral("回到开头");
inline const QString kMenuQuit = QStringLiteral("退出");
inline const QString kMenuQuickSave = QStringLiteral("快速存档");
inline const QString kMenuQuickLoad = QStringLiteral("快速读档");
inline const QString kMenuMute = QStringLiteral("静音");

/// The slots window: its titles, a slot by its number, an empty slot.
inline const QString kSaveTitle = QStringLiteral("存档");
inline const QString kLoadTitle = QStringLiteral("读档");
inline const QString kSlotName = QStringLiteral("第%1个");
inline const QString kQuickSlotName = QStringLiteral("快速存档");
inline const QString kEmptySlot = QStringLiteral("(空)");
inline const QString kSlotTime = QStringLiteral("yyyy-MM-dd HH:mm");
/// Saving over a slot that holds a save: the slot's name.
inline const QString kOverwriteSlot = QStringLiteral("%1已经有存档,要覆盖它吗?");
/// A slot's scene, beside the slot's number: the scene's number counted from 1.
inline const QString kSlotScene = QStringLiteral("第%1个场景");
/// The notices after saving into slot N, the quick save and the quick load.
inline const QString kSavedToSlot = QStringLiteral("已存档到第%1格");
inline const QString kQuickSaved = QStringLiteral("已快速存档");
inline const QString kQuickLoaded = QStringLiteral("已快速读档");
inline const QString kNoQuickSave = QStringLiteral("还没有快速存档。");
inline const QString kPlaceNotKept = QStringLiteral("阅读进度无法保存,下次不能从这里继续。\n");
inline const QString kSettingsNotKept = QStringLiteral("设置只在这次有效,无法保存。\n");
inline const QString kCannotSave = QStringLiteral("无法存档:%1");
inline const QString kNothingToSave = QStringLiteral("游戏已经结束,没有可以存档的场景。");
inline const QString kRestartQuestion = QStringLiteral("回到第一个场景吗?");
inline const QString kBackToSceneQuestion = QStringLiteral("回到第%1个场景吗?");

/// The backlog: what a screen reader calls it, and an entry: the scene's number and text.
inline const QString kBacklogName = QStringLiteral("回顾");
inline const QString kBacklogEntry = QStringLiteral("第%1个场景:%2");
inline const QString kBacklogBack = QStringLiteral("回到这里");
inline const QString kBacklogHelp = QStringLiteral("按Enter回到所选的场景,按Esc关闭");

/// What a screen reader is told when auto, skip or the mute change.
inline const QString kAutoOn = QStringLiteral("自动播放");
inline const QString kSkipOn = QStringLiteral("快进");
inline const QString kModeOff = QStringLiteral("停止自动和快进");
inline const QString kMuted = QStringLiteral("静音");
inline const QString kUnmuted = QStringLiteral("取消静音");

/// The reader's settings window.
inline const QString kSettingsTitle = QStringLiteral("设置");
inline const QString kTextSpeed = QStringLiteral("文字速度(&T):");
inline const QString kAutoSpeed = QStringLiteral("自动速度(&A):");
inline const QString kVolume = QStringLiteral("音乐音量(&V):");
inline const QString kMute = QStringLiteral("静音(&M)");
inline const QString kSkipAll = QStringLiteral("快进时也跳过没有读过的场景(&S)");
inline const QString kFullScreen = QStringLiteral("全屏(&F)");
inline const QString kSpeedSlow = QStringLiteral("慢");
inline const QString kSpeedNormal = QStringLiteral("正常(游戏的速度)");
inline const QString kSpeedFast = QStringLiteral("快");
inline const QString kSpeedFaster = QStringLiteral("很快");

} // namespace PlayerTexts
