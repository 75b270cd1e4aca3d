#pragma once

#include <QStringList>
#include <optional>

namespace tornavo {

// Checks the window's options before the window system is reached, so that a mistyped option
// or --help is answered without a display. The exit status when the program ends here.
std::optional<int> WindowOptionsEnd(const QStringList& arguments);

// Opens the main window for the window options of the command line (the program name
// first) and runs the event loop until it closes.
int RunWindow(const QStringList& arguments);

}  // namespace tornavo
