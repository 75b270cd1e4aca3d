#pragma once

#include <QStringList>

namespace tornavo {

// Opens the main window for the window options of the command line (the program name
// first) and runs the event loop until it closes.
int RunWindow(const QStringList& arguments);

}  // namespace tornavo
