#include "core/runtime/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>

#include "core/runtime/cp1252.h"

namespace tornavo {

namespace {

bool Fail(const QString& path, const QFileDevice& file, QString* error) {
  if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
  return false;
}

// Devices and FIFOs take the bytes as a stream: unbuffered, so that a failure shows here.
bool WriteInPlace(const QString& path, const QByteArray& bytes, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return Fail(path, file, error);
  qsizetype done = 0;
  while (done < bytes.size()) {
    const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
    if (written <= 0) return Fail(path, file, error);
    done += written;
  }
  return true;
}

bool NoName(QString* error) {
  if (error) *error = QStringLiteral("No file name given.");
  return false;
}

bool SystemFail(const QString& path, int code, QString* error) {
  if (error)
    *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(code)));
  return false;
}

// A save's temporary is named ".<name>.tornavo-save-XXXXXX" beside the file, and only for
// the moment between taking a name and the rename; a save killed in that moment leaves it,
// and the next save of the same file removes it. The marker keeps any file of the user's
// from ever being taken for one.
constexpr char kTemporaryMarker[] = ".tornavo-save-";
constexpr int kRandomLength = 6;

QString TemporaryPrefix(const QString& name) {
  return QLatin1Char('.') + name + QLatin1String(kTemporaryMarker);
}

QString RandomSuffix() {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  QString suffix;
  for (int i = 0; i < kRandomLength; ++i)
    suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(62)]);
  return suffix;
}

void RemoveLeftovers(const QString& folder, const QString& name) {
  QDir dir(folder);
  const QString prefix = TemporaryPrefix(name);
  for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
    if (entry.size() == prefix.size() + kRandomLength && entry.startsWith(prefix))
      dir.remove(entry);
}

bool WriteAll(int fd, const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.constData() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += written;
  }
  return true;
}

// Writes the bytes to an unnamed file in the target's folder, gives it a temporary name only
// once it is whole and on disk, and renames it over the target: at every moment the target
// is the old file or the new one.
bool ReplaceRegularFile(const QString& path, const QString& target, const QByteArray& bytes,
                        QString* error) {
  const QFileInfo info(target);
  const QString folder = info.absolutePath();
  const QString name = info.fileName();
  struct stat old_stat;
  const bool existed = ::stat(QFile::encodeName(target).constData(), &old_stat) == 0;
  QByteArray temporary;
  int fd = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  const bool unnamed = fd >= 0;
  if (!unnamed) {
    // A file system without unnamed files: a named temporary from the start.
    temporary = QFile::encodeName(QDir(folder).filePath(TemporaryPrefix(name))) + "XXXXXX";
    fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return SystemFail(path, errno, error);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  // The new file keeps the old one's permissions.
  if (existed) ::fchmod(fd, old_stat.st_mode & 07777);
  auto give_up = [&](int code) {
    ::close(fd);
    if (!temporary.isEmpty()) ::unlink(temporary.constData());
    return SystemFail(path, code, error);
  };
  if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) return give_up(errno);
  if (unnamed) {
    const QByteArray own = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; temporary.isEmpty(); ++attempt) {
      const QByteArray candidate =
          QFile::encodeName(QDir(folder).filePath(TemporaryPrefix(name) + RandomSuffix()));
      if (::linkat(AT_FDCWD, own.constData(), AT_FDCWD, candidate.constData(), AT_SYMLINK_FOLLOW) ==
          0)
        temporary = candidate;
      else if (errno != EEXIST || attempt > 100)
        return give_up(errno);
    }
  }
  // Named only for the instant before the rename: the file is closed after it.
  if (::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
    const int code = errno;
    ::unlink(temporary.constData());
    ::close(fd);
    return SystemFail(path, code, error);
  }
  if (::close(fd) != 0) return SystemFail(path, errno, error);
  RemoveLeftovers(folder, name);
  return true;
}

// Where a chain of links ends, for a chain whose last target does not exist.
QString LinkEnd(QString path) {
  for (int depth = 0; depth < 40; ++depth) {
    const QFileInfo link(path);
    if (!link.isSymLink()) break;
    path = link.symLinkTarget();
  }
  return path;
}

// The file a save replaces: the link's target, not the link; a link whose target is missing
// creates it.
QString SaveTarget(const QString& path, const QFileInfo& info) {
  if (!info.isSymLink()) return path;
  return info.exists() ? info.canonicalFilePath() : LinkEnd(path);
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
  if (path.isEmpty()) return NoName(error);
  const QFileInfo info(path);
  if (info.exists() && !info.isFile() && !info.isDir()) return WriteInPlace(path, bytes, error);
  return ReplaceRegularFile(path, SaveTarget(path, info), bytes, error);
}

bool FileCanBeWritten(const QString& path, QString* error) {
  if (path.isEmpty()) return NoName(error);
  const QFileInfo info(path);
  if (info.isDir()) return SystemFail(path, EISDIR, error);
  if (info.exists() && !info.isFile()) {
    if (::access(QFile::encodeName(path).constData(), W_OK) != 0)
      return SystemFail(path, errno, error);
    return true;
  }
  // A replacement is made in the folder and renamed over the file: the folder must take it.
  const QString folder = QFileInfo(SaveTarget(path, info)).absolutePath();
  if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
    return SystemFail(path, errno, error);
  return true;
}

namespace {
QByteArray EncodeLines(const QStringList& lines, QByteArray (*encode)(const QString&)) {
  QByteArray out;
  for (const QString& line : lines) {
    out += encode(line);
    out += "\r\n";
  }
  return out;
}
QByteArray ToUtf8(const QString& text) { return text.toUtf8(); }
}  // namespace

QByteArray EncodeLines8Bit(const QStringList& lines) { return EncodeLines(lines, ToCp1252); }
QByteArray EncodeLinesUtf8(const QStringList& lines) { return EncodeLines(lines, ToUtf8); }

bool ReadWholeFile(const QString& path, QByteArray* bytes, QString* error, qsizetype max_bytes,
                   bool* too_long) {
  if (too_long) *too_long = false;
  if (path.isEmpty()) return NoName(error);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Fail(path, file, error);
  // A regular file's size is known before reading; a device's or a FIFO's only by reading,
  // and never more than one byte past the limit.
  QByteArray read = file.size() > max_bytes ? QByteArray() : file.read(max_bytes + 1);
  if (file.error() != QFileDevice::NoError) return Fail(path, file, error);
  if (file.size() > max_bytes || read.size() > max_bytes) {
    if (too_long) *too_long = true;
    if (error) *error = QStringLiteral("%1: longer than %2 bytes").arg(path).arg(max_bytes);
    return false;
  }
  *bytes = read;
  return true;
}

}  // namespace tornavo
