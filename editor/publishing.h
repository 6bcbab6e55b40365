#pragma once

#include <QString>

class GameFolder;
class GameSet;
struct EditorPlatform;

/// Publishing a game as a web page, as this build has it: publishing.cpp where the build holds
/// the publisher (its font subsetter, WOFF2, zip, MP3 and MIDI renderers), publishing_unbuilt.cpp
/// where it does not yet (the Windows build), which says so plainly.
namespace Publishing {

/// The form's 发布: asks where, publishes with a progress window and tells how it went.
void fromWindow(EditorPlatform &platform, GameSet &form, const GameFolder &folder);

/// `scriptwell --publish FOLDER OUT`: publishes without a window and prints what was written;
/// returns the exit status.
int fromCommandLine(int argc, char *argv[], const QString &folder, const QString &out);

} // namespace Publishing
