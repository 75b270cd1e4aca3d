#include "core/lpt/port_locator.h"

#include <QDir>
#include <algorithm>

namespace tornavo {

namespace {

class BorrowedPort : public PortRegisters {
 public:
  explicit BorrowedPort(PortRegisters& port) : port_(port) {}
  bool Acquire(QString* error) override { return port_.Acquire(error); }
  void Release() override { port_.Release(); }
  uint8_t Read(PortRegister reg) override { return port_.Read(reg); }
  void Write(PortRegister reg, uint8_t value) override { port_.Write(reg, value); }
  void Flush() override { port_.Flush(); }
  bool failed() const override { return port_.failed(); }
  QString failure() const override { return port_.failure(); }

 private:
  PortRegisters& port_;
};

}  // namespace

QString PortLocator::Text() const {
  switch (kind) {
    case Kind::kPpdev:
      return QStringLiteral("ppdev:") + path;
    case Kind::kDirect:
      return QStringLiteral("direct:") + QString::number(base, 16).toUpper();
    case Kind::kSocket:
      return QStringLiteral("socket:") + path;
    case Kind::kVirtual:
      return QStringLiteral("virtual");
  }
  return {};
}

bool ParsePortLocator(const QString& text, PortLocator* locator, QString* error) {
  auto fail = [&] {
    if (error)
      *error = QStringLiteral(
                   "'%1' is not a parallel port: give ppdev:/dev/parportN, direct:378 (or 278, "
                   "3BC, A068), socket:PATH or virtual.")
                   .arg(text);
    return false;
  };
  PortLocator result;
  if (text == QLatin1String("virtual")) {
    result.kind = PortLocator::Kind::kVirtual;
  } else if (text.startsWith(QLatin1String("ppdev:")) && text.size() > 6) {
    result.kind = PortLocator::Kind::kPpdev;
    result.path = text.mid(6);
  } else if (text.startsWith(QLatin1String("socket:")) && text.size() > 7) {
    result.kind = PortLocator::Kind::kSocket;
    result.path = text.mid(7);
  } else if (text.startsWith(QLatin1String("direct:"))) {
    bool ok = false;
    const uint32_t base = text.mid(7).toUInt(&ok, 16);
    if (!ok ||
        std::find(std::begin(kDirectBases), std::end(kDirectBases), base) == std::end(kDirectBases))
      return fail();
    result.kind = PortLocator::Kind::kDirect;
    result.base = static_cast<uint16_t>(base);
  } else {
    return fail();
  }
  *locator = result;
  return true;
}

std::unique_ptr<PortRegisters> MakeBorrowedPort(PortRegisters& port) {
  return std::make_unique<BorrowedPort>(port);
}

QStringList PpdevLocatorsPresent(const QString& dev_dir) {
  QStringList names =
      QDir(dev_dir).entryList({QStringLiteral("parport*")}, QDir::System | QDir::Files);
  std::sort(names.begin(), names.end(),
            [](const QString& a, const QString& b) { return a.mid(7).toInt() < b.mid(7).toInt(); });
  QStringList locators;
  for (const QString& name : names)
    if (name.size() > 7) locators << QStringLiteral("ppdev:") + dev_dir + '/' + name;
  return locators;
}

}  // namespace tornavo
