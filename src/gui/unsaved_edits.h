#pragma once

#include <QString>
#include <functional>

namespace tornavo {

struct AppServices;

// Before something would replace edits that no file holds: names the page that holds them
// (and `detail`, a line of its own when not empty), and asks to save them, discard them or
// stop; Cancel is the default and the Escape answer. True when the caller may go on: the
// edits were saved (`save` returns whether they were) or discarded.
bool SettleUnsavedEdits(AppServices& services, int page_key, const QString& detail,
                        const std::function<bool()>& save);

}  // namespace tornavo
