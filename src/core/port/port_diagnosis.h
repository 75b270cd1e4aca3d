#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

#include "core/texts/texts.h"

struct stat;

namespace tornavo {

// Who asks: the process's user and the groups it runs with now.
struct UserIdentity {
  QString name;
  uint uid = 0;
  uint gid = 0;        // primary group
  QList<uint> groups;  // every group this process holds (primary included)
};

// This process's identity.
UserIdentity CurrentUser();

enum class PortKind { kSerial, kParallel, kDirectIo };

// One port as this user finds it: what it is, whether it can be opened now, and if not,
// why and what to do.
struct PortDiagnosis {
  PortKind kind = PortKind::kSerial;
  QString device;       // "/dev/ttyUSB0", "/dev/parport0", or "direct I/O"
  QString description;  // "USB 0403:6001 FTDI FT232R USB UART, serial number A5028"
  QStringList aliases;  // stable names of the same device (/dev/serial/by-id/...)
  bool usable = false;
  QString reason;  // why it cannot be opened now; empty when usable
  QString remedy;  // what to do about it

  // The reason and the remedy on two lines, as a tooltip or message shows them; empty when
  // usable.
  QString Explanation() const;
};

// Looks at the devices, kernel modules, capabilities and groups of a system whose files
// are under `root` ("/" for this machine; tests give a folder of their own), on behalf of
// `user`. Nothing is opened: permissions are read and judged as the kernel would.
class PortInspector {
 public:
  // The reasons and remedies of access to a device speak the language of the texts.
  PortInspector(QString root, UserIdentity user, const Texts& texts, bool x86 = kBuiltForX86);

  // Every serial device with a driver behind it, by device name.
  std::vector<PortDiagnosis> SerialPorts() const;
  // One serial device given by its path on the system ("/dev/ttyUSB0", "/dev/pts/3").
  PortDiagnosis Serial(const QString& device) const;
  // Every parallel port: the ppdev nodes and the ports the kernel knows; when there is none,
  // one entry that says why.
  std::vector<PortDiagnosis> ParallelPorts() const;
  // One ppdev device by its path ("/dev/parport0"), present or not.
  PortDiagnosis Parallel(const QString& device) const;
  // A device given by its path: a serial or parallel port as above, anything else named as
  // what it is and never usable.
  PortDiagnosis Device(const QString& path) const;
  // Whether this process may reach the port registers directly.
  PortDiagnosis DirectIo() const;

#if defined(__x86_64__) || defined(__i386__)
  static constexpr bool kBuiltForX86 = true;
#else
  static constexpr bool kBuiltForX86 = false;
#endif

 private:
  QString Path(const QString& system_path) const;
  QString ReadLine(const QString& system_path) const;
  bool ModuleLoaded(const QString& module) const;
  // Group name for a group id, and whether `user` belongs to it in the group database.
  QString GroupName(uint gid) const;
  bool ListedInGroup(uint gid) const;
  // Judges read and write access to a device node; fills usable, reason and remedy.
  void JudgeAccess(const QString& device, PortDiagnosis* diagnosis) const;
  QString UsbDescription(const QString& sys_device) const;
  // The kernel's class of a character device ("tty", "ppdev", "mem"), empty when unknown.
  QString CharacterClass(const struct stat& status) const;
  QStringList SerialAliases(const QString& name) const;
  // Another process that holds a serial device open: "program (pid)" parts, or nothing.
  std::optional<std::pair<QString, qint64>> Holder(const QString& device) const;

  QString root_;
  UserIdentity user_;
  Texts texts_;
  bool x86_;
};

}  // namespace tornavo
