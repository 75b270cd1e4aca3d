#pragma once

#include <span>

namespace tornavo {

inline constexpr int kKeyCount = 425;  // traduc0 ... traduc424
// Keys added after the catalogue's own traduc0 ... traduc349: captions first, then messages.
inline constexpr int kFirstAddedKey = 350;
inline constexpr int kFirstAddedMessageKey = 362;
inline constexpr int kSlotCount = 201;  // message slots 0 ... 200

struct TextDefault {
  int key;           // the N of traducN
  const char* text;  // UTF-8
};

// Built-in Spanish default of every key that has one, in key order.
std::span<const TextDefault> DefaultTexts();

// Key that fills a message slot, or -1 for the slots no key fills.
int SlotKey(int slot);

}  // namespace tornavo
