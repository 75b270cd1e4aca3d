#pragma once

namespace tornavo::cli {

// The one entry point: no subcommand opens the window, a subcommand runs from the shell.
int Main(int argc, char** argv);

}  // namespace tornavo::cli
