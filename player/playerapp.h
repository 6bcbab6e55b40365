#pragma once

#include <functional>

/// The talerun program: its command line, the choice of a game, and the Game window.
/// Returns the process exit status. @p firstPainted, when given, is called once the first scene
/// has been painted, after what talerun itself does then (the benchmark's mark).
int runPlayer(int argc, char *argv[], const std::function<void()> &firstPainted = {});
