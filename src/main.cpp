#include <QApplication>

#include "cli/cli.h"
#include "launcher/virtual_receiver_command.h"
#include "launcher/window_launcher.h"

// The front end is chosen here, so that the command line never depends on the window, and
// neither depends on the virtual receiver: the launcher lends it to both.
int main(int argc, char** argv) {
  if (!tornavo::cli::OpensWindow(argc, argv))
    return tornavo::cli::Main(argc, argv, tornavo::VirtualReceiverLinks());
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (const std::optional<int> end = tornavo::WindowOptionsEnd(arguments)) return *end;
  QApplication app(argc, argv);
  return tornavo::RunWindow(app.arguments());
}
