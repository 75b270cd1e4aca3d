#pragma once

#include <QStringList>

#include "cli/cli.h"

namespace tornavo {

// "tornavo virtual-receiver": a virtual receiver on a pseudo-terminal (and a socket for its
// parallel side) until interrupted.
int RunVirtualReceiverCommand(const QStringList& arguments);

// The command line's links to the virtual receiver: its command and the target of
// "--parallel virtual".
cli::CommandLineLinks VirtualReceiverLinks();

}  // namespace tornavo
