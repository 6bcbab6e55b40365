#pragma once

/// The talerun program: its command line, the choice of a game, and the Game window.
/// Returns the process exit status.
int runPlayer(int argc, char *argv[]);
