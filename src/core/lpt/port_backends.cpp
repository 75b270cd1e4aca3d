#include "core/lpt/port_backends.h"

#include "core/lpt/virtual_cable.h"

namespace tornavo {

std::unique_ptr<PortRegisters> PortBackends::Make(const PortLocator& locator,
                                                  QString* error) const {
  switch (locator.kind) {
    case PortLocator::Kind::kPpdev:
      return MakePpdevPort(locator.path);
    case PortLocator::Kind::kDirect:
      return MakeDirectIoPort(locator.base);
    case PortLocator::Kind::kSocket:
      return MakeSocketPort(locator.path);
    case PortLocator::Kind::kVirtual:
      if (cable_) return MakeBorrowedPort(cable_->registers());
      if (error) *error = QStringLiteral("No virtual receiver is running.");
      return nullptr;
  }
  return nullptr;
}

std::unique_ptr<PortRegisters> PortBackends::Open(const QString& locator_text,
                                                  QString* error) const {
  PortLocator locator;
  if (!ParsePortLocator(locator_text, &locator, error)) return nullptr;
  return Make(locator, error);
}

}  // namespace tornavo
