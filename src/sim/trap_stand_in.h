#pragma once

#include <QByteArray>

namespace tornavo::sim {

// 696 bytes the virtual receiver accepts in place of the trap routine. They are not target
// code and do nothing on a real receiver; only the virtual one runs them.
QByteArray TrapStandIn();

}  // namespace tornavo::sim
