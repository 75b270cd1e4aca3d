#pragma once

#include <QByteArray>

namespace tornavo::sim {

// Eight vertical colour bars (white, yellow, cyan, green, magenta, red, blue, black at 75 %)
// as a 720 x 576 frame in the decoder's tiled video-memory format: what the virtual
// receiver shows on screen.
QByteArray BuildTestPicture();

}  // namespace tornavo::sim
