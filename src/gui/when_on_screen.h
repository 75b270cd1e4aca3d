#pragma once

#include <functional>

class QWidget;

namespace tornavo {

// Runs `work` once the window is on screen (from the event loop, after the window's first
// expose), so that work which need not precede it does not delay it. A window that is not
// shown, or already on screen, runs it at once. Nothing runs if the window goes first.
void WhenOnScreen(QWidget* window, std::function<void()> work);

}  // namespace tornavo
