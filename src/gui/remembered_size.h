#pragma once

#include <QWidget>

#include "core/settings/settings.h"

namespace tornavo {

// A dialog's size kept in two settings keys: taken when it shows, stored when it closes.
inline void RestoreSize(QWidget* widget, const Settings& settings, Key width, Key height) {
  widget->resize(static_cast<int>(settings.Int(width)), static_cast<int>(settings.Int(height)));
}

inline void StoreSize(const QWidget* widget, Settings& settings, Key width, Key height) {
  settings.SetInt(width, widget->width());
  settings.SetInt(height, widget->height());
}

}  // namespace tornavo
