#pragma once

/// The scriptwell program: its command line, the choice or creation of a game, and the GameSet
/// window. Returns the process exit status.
int runEditor(int argc, char *argv[]);
