#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tornavo::testing {

// Sets an environment variable for as long as it lives and then puts back what was there, also
// when a failed ASSERT leaves the test early, so that no later test runs with it.
class ScopedEnv {
 public:
  // A null value unsets the variable.
  ScopedEnv(const char* name, const QByteArray& value) : name_(name), saved_(qgetenv(name)) {
    Set(value);
  }
  ~ScopedEnv() { Set(saved_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

  void Set(const QByteArray& value) {
    if (value.isNull())
      qunsetenv(name_);
    else
      qputenv(name_, value);
  }

 private:
  const char* name_;
  QByteArray saved_;
};

}  // namespace tornavo::testing
