#pragma once

#include "scripteditor.h"

#include <QString>

#include <optional>

class GameSet;
struct EditorPlatform;

/// The picture pickers ("获取"): the file dialog opens in BG or Msg; a picture from elsewhere
/// may be copied there, and a different picture the player would find by the same name (in
/// any letter case) is replaced only after a second question that names it and says how many
/// scenes show it. Returns the name the scene is to store, or nothing when cancelled.
std::optional<QString> pickScenePicture(GameSet &form, ScriptEditor &editor,
                                        EditorPlatform &platform, ScriptEditor::PictureKind kind);
