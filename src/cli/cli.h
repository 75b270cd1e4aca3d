#pragma once

namespace tornavo::cli {

// True when the arguments name no command (none, or window options only): the window opens.
bool OpensWindow(int argc, char** argv);

// Runs a command from the shell, or prints the usage or the version.
int Main(int argc, char** argv);

}  // namespace tornavo::cli
