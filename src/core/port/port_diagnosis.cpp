#include "core/port/port_diagnosis.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "core/texts/text_names.h"

namespace tornavo {

namespace {

constexpr int kCapSysRawio = 17;  // bit of CAP_SYS_RAWIO in the capability sets

QString ModeText(mode_t mode) {
  QString text = S_ISCHR(mode) ? QStringLiteral("c") : QStringLiteral("-");
  const char* letters = "rwxrwxrwx";
  for (int i = 0; i < 9; ++i) text += (mode & (0400 >> i)) ? QChar::fromLatin1(letters[i]) : u'-';
  return text;
}

// Natural order, so that ttyUSB2 comes before ttyUSB10.
void SortByDevice(std::vector<PortDiagnosis>* ports) {
  const auto key = [](const QString& device) {
    static const QRegularExpression digits(QStringLiteral("(\\d+)$"));
    const auto match = digits.match(device);
    const QString stem = match.hasMatch() ? device.left(match.capturedStart()) : device;
    return std::pair(stem, match.hasMatch() ? match.captured(1).toInt() : -1);
  };
  std::sort(ports->begin(), ports->end(), [&](const PortDiagnosis& a, const PortDiagnosis& b) {
    return key(a.device) < key(b.device);
  });
}

}  // namespace

QString PortDiagnosis::Explanation() const {
  if (usable) return {};
  return remedy.isEmpty() ? reason : reason + QStringLiteral(":\n") + remedy;
}

UserIdentity CurrentUser() {
  UserIdentity user;
  user.uid = getuid();
  user.gid = getgid();
  if (const passwd* entry = getpwuid(user.uid)) user.name = QString::fromLocal8Bit(entry->pw_name);
  if (user.name.isEmpty()) user.name = QString::number(user.uid);
  const int count = getgroups(0, nullptr);
  std::vector<gid_t> groups(count > 0 ? count : 0);
  if (count > 0 && getgroups(count, groups.data()) == count)
    for (gid_t group : groups) user.groups << group;
  if (!user.groups.contains(user.gid)) user.groups << user.gid;
  return user;
}

PortInspector::PortInspector(QString root, UserIdentity user, const Texts& texts, bool x86)
    : root_(QDir::cleanPath(std::move(root))), user_(std::move(user)), texts_(texts), x86_(x86) {}

QString PortInspector::Path(const QString& system_path) const {
  return root_ == QLatin1String("/") ? system_path : root_ + system_path;
}

QString PortInspector::ReadLine(const QString& system_path) const {
  QFile file(Path(system_path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLocal8Bit(file.readLine(4096)).trimmed();
}

bool PortInspector::ModuleLoaded(const QString& module) const {
  // Built-in drivers show in /sys/module without a line in /proc/modules.
  if (QFileInfo(Path(QStringLiteral("/sys/module/") + module)).isDir()) return true;
  QFile modules(Path(QStringLiteral("/proc/modules")));
  if (!modules.open(QIODevice::ReadOnly)) return false;
  const QByteArray prefix = module.toLatin1() + ' ';
  while (!modules.atEnd())
    if (modules.readLine(4096).startsWith(prefix)) return true;
  return false;
}

QString PortInspector::GroupName(uint gid) const {
  QFile groups(Path(QStringLiteral("/etc/group")));
  if (groups.open(QIODevice::ReadOnly)) {
    while (!groups.atEnd()) {
      const QStringList fields =
          QString::fromLocal8Bit(groups.readLine(65536)).trimmed().split(u':');
      if (fields.size() >= 3 && fields[2] == QString::number(gid)) return fields[0];
    }
  }
  return QString::number(gid);
}

bool PortInspector::ListedInGroup(uint gid) const {
  if (gid == user_.gid) return true;
  QFile groups(Path(QStringLiteral("/etc/group")));
  if (!groups.open(QIODevice::ReadOnly)) return false;
  while (!groups.atEnd()) {
    const QStringList fields = QString::fromLocal8Bit(groups.readLine(65536)).trimmed().split(u':');
    if (fields.size() >= 4 && fields[2] == QString::number(gid))
      return fields[3].split(u',').contains(user_.name);
  }
  return false;
}

void PortInspector::JudgeAccess(const QString& device, PortDiagnosis* diagnosis) const {
  const auto say = [&](int reason, const QStringList& reason_args, int remedy,
                       const QStringList& remedy_args) {
    diagnosis->reason = texts_.Format(reason, reason_args);
    diagnosis->remedy = texts_.Format(remedy, remedy_args);
  };
  struct stat status {};
  if (::stat(QFile::encodeName(Path(device)).constData(), &status) != 0) {
    say(text_key::kPuertoNoExiste, {device}, text_key::kCompruebaElCable, {});
    return;
  }
  // Owner (shift 0), group (3) or others (6) may read and write.
  const auto allows = [&](int shift) {
    const mode_t read_write = S_IRUSR | S_IWUSR;
    return ((status.st_mode << shift) & read_write) == read_write;
  };
  const QString mode = ModeText(status.st_mode);
  const QString group = GroupName(status.st_gid);
  if (user_.uid == 0) {
    diagnosis->usable = true;
  } else if (status.st_uid == user_.uid) {
    diagnosis->usable = allows(0);
    diagnosis->reason = texts_.Format(text_key::kEsTuyoPeroSuModo, {device, mode});
    // A command, the same in every language.
    diagnosis->remedy = QStringLiteral("chmod u+rw %1").arg(device);
  } else if (user_.groups.contains(status.st_gid)) {
    diagnosis->usable = allows(3);
    say(text_key::kPerteneceATuGrupo, {device, group, mode}, text_key::kPideAlAdministrador, {});
  } else if (allows(6)) {
    diagnosis->usable = true;
  } else if (!allows(3)) {
    say(text_key::kSoloRootPuedeAbrir, {device, mode}, text_key::kEjecutaElProgramaComo, {});
  } else if (ListedInGroup(status.st_gid)) {
    say(text_key::kTeAnadieronAlGrupo, {device, group}, text_key::kCierraLaSesion, {group});
  } else {
    say(text_key::kNoEresMiembro, {device, group}, text_key::kAnadeteAlGrupo, {group, user_.name});
  }
  if (diagnosis->usable) {
    diagnosis->reason.clear();
    diagnosis->remedy.clear();
  }
}

QString PortInspector::UsbDescription(const QString& sys_device) const {
  // The tty hangs below the USB interface, which hangs below the USB device.
  const QString stop = QFileInfo(Path(QStringLiteral("/sys"))).canonicalFilePath();
  QString folder = QFileInfo(sys_device).canonicalFilePath();
  for (int depth = 0;
       depth < 8 && !stop.isEmpty() && folder.startsWith(stop) && folder.size() > stop.size();
       ++depth) {
    QFile vendor(folder + QStringLiteral("/idVendor"));
    if (vendor.open(QIODevice::ReadOnly)) {
      const auto read = [&](const char* name) {
        QFile file(folder + u'/' + QLatin1String(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readLine(256)).trimmed()
                                              : QString();
      };
      QString text = QStringLiteral("USB %1:%2").arg(read("idVendor"), read("idProduct"));
      const QString maker = read("manufacturer");
      const QString product = read("product");
      const QString serial = read("serial");
      if (!maker.isEmpty()) text += u' ' + maker;
      if (!product.isEmpty()) text += u' ' + product;
      if (!serial.isEmpty()) text += QStringLiteral(", serial number ") + serial;
      return text;
    }
    folder = QFileInfo(folder).path();
  }
  return {};
}

QStringList PortInspector::SerialAliases(const QString& name) const {
  QStringList aliases;
  const QString system_folder = QStringLiteral("/dev/serial/by-id");
  const QDir folder(Path(system_folder));
  for (const QFileInfo& link : folder.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
    if (!link.isSymLink()) continue;
    if (QFileInfo(link.symLinkTarget()).fileName() == name)
      aliases << system_folder + u'/' + link.fileName();
  }
  return aliases;
}

PortDiagnosis PortInspector::Serial(const QString& device) const {
  PortDiagnosis diagnosis;
  diagnosis.kind = PortKind::kSerial;
  diagnosis.device = device;
  const QString name = QFileInfo(device).fileName();
  const QString sys_device = Path(QStringLiteral("/sys/class/tty/%1/device").arg(name));
  if (device.startsWith(QLatin1String("/dev/")) && QFileInfo::exists(sys_device)) {
    diagnosis.description = UsbDescription(sys_device);
    if (diagnosis.description.isEmpty()) {
      const QString driver =
          QFileInfo(QFileInfo(sys_device + QStringLiteral("/driver")).symLinkTarget()).fileName();
      diagnosis.description = name.startsWith(QLatin1String("ttyS")) || driver.isEmpty()
                                  ? QStringLiteral("built-in serial port")
                                  : QStringLiteral("serial port (%1)").arg(driver);
    }
    diagnosis.aliases = SerialAliases(name);
  } else if (device.startsWith(QLatin1String("/dev/pts/"))) {
    diagnosis.description = QStringLiteral("pseudo-terminal");
  }
  JudgeAccess(device, &diagnosis);
  // Permissions alone would call a port that another program keeps open free to use.
  if (diagnosis.usable) {
    if (const auto holder = Holder(device)) {
      diagnosis.usable = false;
      diagnosis.reason = texts_.Format(text_key::kLoTieneAbierto,
                                       {device, holder->first, QString::number(holder->second)});
      diagnosis.remedy = texts_.Format(text_key::kCierraEseProgram, {});
    }
  }
  return diagnosis;
}

std::optional<std::pair<QString, qint64>> PortInspector::Holder(const QString& device) const {
  const qint64 own = ::getpid();
  const auto holder = [&](qint64 pid) -> std::optional<std::pair<QString, qint64>> {
    if (pid <= 0 || pid == own || !QFileInfo::exists(Path(QStringLiteral("/proc/%1").arg(pid))))
      return std::nullopt;
    const QString program = ReadLine(QStringLiteral("/proc/%1/comm").arg(pid));
    return std::pair(program.isEmpty() ? QStringLiteral("?") : program, pid);
  };
  // The lock file serial programs leave (this one's included), named after the device's path
  // under /dev ("LCK..ttyUSB0", "LCK..pts_3"): the holder's pid as text, or in the old form as
  // a 4-byte number. One whose process is gone is stale and holds nothing.
  QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
  name.replace(u'/', u'_');
  for (const QString& dir : {QStringLiteral("/run/lock"), QStringLiteral("/var/lock")}) {
    QFile lock(Path(dir + QStringLiteral("/LCK..") + name));
    if (!lock.open(QIODevice::ReadOnly)) continue;
    const QByteArray head = lock.read(64);
    bool ok = false;
    qint64 pid = head.split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok && head.size() == 4) {
      int32_t binary = 0;
      std::memcpy(&binary, head.constData(), sizeof binary);
      pid = binary;
    }
    if (const auto found = holder(pid)) return found;
  }
  // Open descriptors, in the processes this user may look into. A pseudo-terminal is left
  // out: the program on its other side keeps its own end open on purpose.
  struct stat wanted {};
  if (device.startsWith(QLatin1String("/dev/pts/")) ||
      ::stat(QFile::encodeName(Path(device)).constData(), &wanted) != 0)
    return std::nullopt;
  const QDir proc(Path(QStringLiteral("/proc")));
  for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    bool numeric = false;
    const qint64 pid = entry.toLongLong(&numeric);
    if (!numeric || pid == own) continue;
    const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
    for (const QString& fd : fds.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
      char target[256];
      const ssize_t length =
          ::readlink(QFile::encodeName(fds.filePath(fd)).constData(), target, sizeof target - 1);
      if (length <= 0 || std::string_view(target, length).substr(0, 5) != "/dev/") continue;
      struct stat status {};
      const QString path = QString::fromLocal8Bit(target, length);
      if (::stat(QFile::encodeName(Path(path)).constData(), &status) == 0 &&
          status.st_dev == wanted.st_dev && status.st_ino == wanted.st_ino)
        return holder(pid);
    }
  }
  return std::nullopt;
}

std::vector<PortDiagnosis> PortInspector::SerialPorts() const {
  std::vector<PortDiagnosis> ports;
  const QDir ttys(Path(QStringLiteral("/sys/class/tty")));
  for (const QString& name : ttys.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
    // Consoles and virtual terminals have no device behind them.
    if (!QFileInfo::exists(ttys.filePath(name + QStringLiteral("/device")))) continue;
    // Legacy UART slots without a chip report the type 0.
    const QString type = ReadLine(QStringLiteral("/sys/class/tty/%1/type").arg(name));
    if (name.startsWith(QLatin1String("ttyS")) && type == QLatin1String("0")) continue;
    ports.push_back(Serial(QStringLiteral("/dev/") + name));
  }
  SortByDevice(&ports);
  return ports;
}

QString PortInspector::CharacterClass(const struct stat& status) const {
  // Unix98 pseudo-terminals have no entry of their own under /sys.
  if (major(status.st_rdev) >= 136 && major(status.st_rdev) <= 143) return QStringLiteral("tty");
  const QString link = Path(QStringLiteral("/sys/dev/char/%1:%2/subsystem")
                                .arg(major(status.st_rdev))
                                .arg(minor(status.st_rdev)));
  return QFileInfo(QFileInfo(link).symLinkTarget()).fileName();
}

PortDiagnosis PortInspector::Device(const QString& path) const {
  static const QRegularExpression parport(QStringLiteral("^parport\\d+$"));
  const QString name = QFileInfo(path).fileName();
  if (!path.isEmpty() && parport.match(name).hasMatch()) return Parallel(path);
  struct stat status {};
  const bool exists =
      !path.isEmpty() && ::stat(QFile::encodeName(Path(path)).constData(), &status) == 0;
  if (!path.isEmpty() && !exists) return Serial(path);
  QString what;
  if (path.isEmpty()) {
    what = QStringLiteral("no device was named");
  } else if (S_ISCHR(status.st_mode)) {
    const QString kind = CharacterClass(status);
    if (kind == QLatin1String("tty")) return Serial(path);
    if (kind == QLatin1String("ppdev")) return Parallel(path);
    what = QStringLiteral("%1 is a character device (%2)")
               .arg(path, kind.isEmpty() ? QStringLiteral("of no known kind") : kind);
  } else if (S_ISDIR(status.st_mode)) {
    what = QStringLiteral("%1 is a folder").arg(path);
  } else if (S_ISREG(status.st_mode)) {
    // In a system tree of files standing for devices, a serial device is a file under /dev
    // with its entry under /sys.
    if (root_ != QLatin1String("/") && path.startsWith(QLatin1String("/dev/")) &&
        QFileInfo::exists(Path(QStringLiteral("/sys/class/tty/") + name)))
      return Serial(path);
    what = QStringLiteral("%1 is a regular file").arg(path);
  } else {
    what = QStringLiteral("%1 is a %2")
               .arg(path, S_ISBLK(status.st_mode)    ? "block device"
                          : S_ISFIFO(status.st_mode) ? "FIFO"
                                                     : "socket");
  }
  PortDiagnosis diagnosis;
  diagnosis.device = path;
  diagnosis.reason =
      path.isEmpty() ? what : what + QStringLiteral(", not a serial or parallel port");
  diagnosis.remedy = QStringLiteral(
      "name a device such as /dev/ttyUSB0 or /dev/parport0; 'tornavo ports' "
      "lists those present");
  return diagnosis;
}

PortDiagnosis PortInspector::Parallel(const QString& device) const {
  PortDiagnosis diagnosis;
  diagnosis.kind = PortKind::kParallel;
  diagnosis.device = device;
  const QString name = QFileInfo(device).fileName();
  const QString known = QStringLiteral("/proc/sys/dev/parport/") + name;
  const QStringList bases =
      ReadLine(known + QStringLiteral("/base-addr")).split(u'\t', Qt::SkipEmptyParts);
  if (!bases.isEmpty()) {
    diagnosis.description =
        QStringLiteral("base address %1").arg(QString::number(bases[0].toUInt(), 16).toUpper());
    const QString modes = ReadLine(known + QStringLiteral("/modes"));
    if (!modes.isEmpty()) diagnosis.description += QStringLiteral(" (%1)").arg(modes);
  }
  if (QFileInfo::exists(Path(device))) {
    JudgeAccess(device, &diagnosis);
  } else if (!QFileInfo::exists(Path(known))) {
    diagnosis.reason =
        QStringLiteral("%1 does not exist and the kernel knows no such port").arg(device);
    diagnosis.remedy = ModuleLoaded(QStringLiteral("parport_pc"))
                           ? QStringLiteral("choose a port that 'tornavo ports' lists")
                           : QStringLiteral("sudo modprobe parport_pc ppdev");
  } else if (!ModuleLoaded(QStringLiteral("ppdev"))) {
    diagnosis.reason = QStringLiteral("the module ppdev is not loaded");
    diagnosis.remedy = QStringLiteral(
        "sudo modprobe ppdev (add the line ppdev to /etc/modules to load it at every start)");
  } else {
    diagnosis.reason = QStringLiteral("the module ppdev is loaded but %1 is missing").arg(device);
    diagnosis.remedy = QStringLiteral("check that udev runs, or use direct I/O");
  }
  return diagnosis;
}

std::vector<PortDiagnosis> PortInspector::ParallelPorts() const {
  static const QRegularExpression port_name(QStringLiteral("^parport\\d+$"));
  QStringList names;
  const QString dev = Path(QStringLiteral("/dev"));
  const QString known = QStringLiteral("/proc/sys/dev/parport");
  for (const QString& folder : {dev, Path(known)})
    for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::System))
      if (port_name.match(name).hasMatch() && !names.contains(name)) names << name;

  std::vector<PortDiagnosis> ports;
  for (const QString& name : names) ports.push_back(Parallel(QStringLiteral("/dev/") + name));
  SortByDevice(&ports);
  if (!ports.empty()) return ports;

  PortDiagnosis none;
  none.kind = PortKind::kParallel;
  none.device = QStringLiteral("/dev/parport*");
  none.description = QStringLiteral("no parallel port found");
  if (!ModuleLoaded(QStringLiteral("parport_pc"))) {
    none.reason = QStringLiteral("the module parport_pc is not loaded");
    none.remedy = QStringLiteral(
        "sudo modprobe parport_pc ppdev; if no port appears, this "
        "machine has none (USB printer cables cannot drive a receiver)");
  } else {
    none.reason = QStringLiteral("the kernel found no parallel port");
    none.remedy = QStringLiteral(
        "enable the port in the BIOS, or fit a PCI or PCIe parallel "
        "card (USB printer cables cannot drive a receiver)");
  }
  ports.push_back(none);
  return ports;
}

PortDiagnosis PortInspector::DirectIo() const {
  PortDiagnosis diagnosis;
  diagnosis.kind = PortKind::kDirectIo;
  diagnosis.device = QStringLiteral("direct I/O");
  diagnosis.description = QStringLiteral("port registers reached with ioperm");
  if (!x86_) {
    diagnosis.reason = QStringLiteral("direct I/O exists only on x86 PCs");
    diagnosis.remedy = QStringLiteral("use a ppdev device (/dev/parportN)");
    return diagnosis;
  }
  // Under lockdown (Secure Boot) the kernel refuses ioperm even to root.
  const QString lockdown = ReadLine(QStringLiteral("/sys/kernel/security/lockdown"));
  if (lockdown.contains(QLatin1String("[integrity]")) ||
      lockdown.contains(QLatin1String("[confidentiality]"))) {
    diagnosis.reason = QStringLiteral(
        "the kernel is locked down (Secure Boot), which refuses direct I/O even "
        "to root");
    diagnosis.remedy = QStringLiteral("use a ppdev device (/dev/parportN)");
    return diagnosis;
  }
  // The capability decides, not the user id: root in a container may lack it.
  QFile status(Path(QStringLiteral("/proc/self/status")));
  bool raw_io = user_.uid == 0;
  if (status.open(QIODevice::ReadOnly)) {
    while (!status.atEnd()) {
      const QString line = QString::fromLatin1(status.readLine(4096)).trimmed();
      if (!line.startsWith(QLatin1String("CapEff:"))) continue;
      bool ok = false;
      const qulonglong effective = line.mid(7).trimmed().toULongLong(&ok, 16);
      if (ok) raw_io = (effective >> kCapSysRawio) & 1;
    }
  }
  diagnosis.usable = raw_io;
  if (raw_io) return diagnosis;
  if (user_.uid == 0) {
    diagnosis.reason = QStringLiteral("this process lacks the CAP_SYS_RAWIO capability");
    diagnosis.remedy = QStringLiteral("run it outside the container, or use a ppdev device");
  } else {
    diagnosis.reason = QStringLiteral("direct I/O needs root");
    diagnosis.remedy =
        QStringLiteral("use a ppdev device (/dev/parportN, group lp), or run the program as root");
  }
  return diagnosis;
}

}  // namespace tornavo
