#pragma once

#include <QStringList>
#include <functional>

#include "core/lpt/virtual_cable.h"

namespace tornavo::cli {

// What main lends the command line: the virtual receiver, which the command line does not
// link.
struct CommandLineLinks {
  // "tornavo virtual-receiver".
  std::function<int(const QStringList& arguments)> run_virtual_receiver;
  // The target of "--parallel virtual", with the --fault values switched on.
  VirtualCableMaker make_virtual_cable;
};

// True when the arguments name no command (none, or window options only): the window opens.
bool OpensWindow(int argc, char** argv);

// Runs a command from the shell, or prints the usage or the version.
int Main(int argc, char** argv, const CommandLineLinks& links);

}  // namespace tornavo::cli
