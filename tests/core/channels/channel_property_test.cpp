// Random images and random sequences of editing operations, then a save, compared byte for byte
// with a small model that moves whole records and renumbers references. The layouts leave
// every table and every wipe room in its block, so every save must succeed.
//
// TORNAVO_PROPERTY_SEQUENCES (default 300) or TORNAVO_PROPERTY_SECONDS sets how long it runs;
// TORNAVO_PROPERTY_SEED the first seed (each sequence takes the next one).
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <numeric>
#include <random>

#include "core/channels/channel_list.h"
#include "core/channels/test_images.h"
#include "core/texts/texts.h"

namespace tornavo {
namespace {

using Records = std::vector<QByteArray>;  // [0] unused: row k is records[k]

int Word(const QByteArray& r, int at) {
  return static_cast<uint8_t>(r[at]) << 8 | static_cast<uint8_t>(r[at + 1]);
}
int Ref(const QByteArray& channel) { return static_cast<uint8_t>(channel[17]); }
void SetRef(QByteArray& channel, int t) { channel[17] = static_cast<char>(t); }

// The model: the records of both tables, edited as whole byte strings.
struct Model {
  Records channels, transponders;

  static bool Free(const QByteArray& r, bool transponder) {
    return transponder ? Word(r, 0) == 0 && Word(r, 2) == 0 && Word(r, 4) == 0 && Word(r, 6) == 0
                       : Ref(r) == 0 && Word(r, 18) == 0 && Word(r, 20) == 0;
  }
  Records& Table(bool t) { return t ? transponders : channels; }
  static int Size(bool t) { return t ? kTransponderRecordSize : kChannelRecordSize; }
  int FirstFree(bool t) {
    const Records& rows = Table(t);
    for (size_t r = 1; r < rows.size(); ++r)
      if (Free(rows[r], t)) return static_cast<int>(r);
    return static_cast<int>(rows.size());
  }
  void Resize(bool t, int rows) {
    Table(t).resize(static_cast<size_t>(rows), QByteArray(Size(t), 0));
  }
  // Channel references through a renumbering of transponder rows: new_of_old[old] (0 for
  // gone); values naming no row become 0.
  void Renumber(const std::vector<int>& new_of_old) {
    for (size_t r = 1; r < channels.size(); ++r) {
      const int t = Ref(channels[r]);
      SetRef(channels[r], t >= 1 && t < static_cast<int>(transponders.size()) ? new_of_old[t] : 0);
    }
  }
  // Rows top ... bottom taken out and put back at target (the block ending at the last row at
  // most); returns the new row of every old one.
  std::vector<int> Move(bool t, int top, int bottom, int target) {
    const int n = static_cast<int>(Table(t).size());
    if (target < 1 || target > n - 1) target = 1;
    target = std::min(target, n - 1 - (bottom - top));
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    // The block top ... bottom lands at target of what is left.
    if (target <= top)
      std::rotate(order.begin() + target, order.begin() + top, order.begin() + bottom + 1);
    else
      std::rotate(order.begin() + top, order.begin() + bottom + 1,
                  order.begin() + target + (bottom - top) + 1);
    return Reorder(t, order);
  }
  std::vector<int> Reorder(bool t, const std::vector<int>& old_of_new) {
    Records& rows = Table(t);
    const Records before = rows;
    std::vector<int> new_of_old(rows.size());
    for (size_t r = 0; r < rows.size(); ++r) {
      rows[r] = before[old_of_new[r]];
      new_of_old[old_of_new[r]] = static_cast<int>(r);
    }
    if (t) Renumber(new_of_old);
    return new_of_old;
  }
  void DeleteChannels(int top, int bottom) {
    channels.erase(channels.begin() + top, channels.begin() + bottom + 1);
    channels.resize(channels.size() + (bottom - top + 1), QByteArray(kChannelRecordSize, 0));
  }
  void DeleteTransponders(int top, int bottom) {
    const size_t n = channels.size();
    std::erase_if(channels, [&](const QByteArray& c) {
      return c.size() == kChannelRecordSize && Ref(c) >= top && Ref(c) <= bottom;
    });
    channels.resize(n, QByteArray(kChannelRecordSize, 0));
    const int m = static_cast<int>(transponders.size()), k = bottom - top + 1;
    for (size_t r = 1; r < n; ++r)
      if (Ref(channels[r]) > bottom && Ref(channels[r]) < m)
        SetRef(channels[r], Ref(channels[r]) - k);
    transponders.erase(transponders.begin() + top, transponders.begin() + bottom + 1);
    transponders.resize(static_cast<size_t>(m), QByteArray(kTransponderRecordSize, 0));
  }
  // False when a row in use (or, for transponders, named by a channel) would fall off.
  bool Paste(bool t, int top, const Records& pasted) {
    Records& rows = Table(t);
    const int n = static_cast<int>(rows.size()), count = static_cast<int>(pasted.size());
    for (int r = std::max(top, n - count); r < n; ++r) {
      bool named = false;
      for (size_t c = 1; t && c < channels.size(); ++c) named = named || Ref(channels[c]) == r;
      if (named || !Free(rows[r], t)) return false;
    }
    if (t) {
      for (size_t c = 1; c < channels.size(); ++c)
        if (Ref(channels[c]) >= top && Ref(channels[c]) < n)
          SetRef(channels[c], Ref(channels[c]) + count);
    }
    rows.insert(rows.begin() + top, pasted.begin(), pasted.end());
    rows.resize(static_cast<size_t>(n));
    return true;
  }
  void Append(const QByteArray& image, int64_t tcs, int64_t tpt) {
    const int first_t = FirstFree(true), first_c = FirstFree(false);
    const int m = static_cast<int>(transponders.size());
    for (int r = first_t; r < m; ++r) {
      const int64_t at = tpt + 68 + int64_t{r - first_t} * kTransponderRecordSize;
      if (at + kTransponderRecordSize > image.size()) break;
      transponders[r] = image.mid(at, kTransponderRecordSize);
    }
    for (int r = first_c; r < static_cast<int>(channels.size()); ++r) {
      const int64_t at = tcs + 68 + int64_t{r - first_c} * kChannelRecordSize;
      if (at + kChannelRecordSize > image.size()) break;
      channels[r] = image.mid(at, kChannelRecordSize);
      const int t = Ref(channels[r]);
      if (t != 0) SetRef(channels[r], t + first_t - 1 < m ? t + first_t - 1 : 0);
    }
  }
};

// A random record: an empty one, or one in use with fields drawn to hit every cell form.
QByteArray RandomRecord(QRandomGenerator& random, bool transponder, int references) {
  QByteArray r(transponder ? kTransponderRecordSize : kChannelRecordSize, '\0');
  for (char& b : r) b = static_cast<char>(random.bounded(256));
  if (transponder) {
    r[9] = static_cast<char>(random.bounded(4) ? random.bounded(16) : random.bounded(256));
    r[10] = static_cast<char>(random.bounded(3) ? random.bounded(8) : random.bounded(256));
  } else {
    if (random.bounded(3) == 0) r[random.bounded(16)] = 0;  // bytes after the terminator
    r[17] = static_cast<char>(random.bounded(10) ? random.bounded(references + 1)
                                                 : random.bounded(256));
  }
  return r;
}

// Records for a section's whole extent: a used prefix with some free rows, and now and then a
// row in use near the end of either table size.
QByteArray RandomTable(QRandomGenerator& random, bool transponder, int count, int references) {
  const int size = transponder ? kTransponderRecordSize : kChannelRecordSize;
  QByteArray records(count * size, '\0');
  const int used = random.bounded(transponder ? 25 : 60);
  for (int k = 0; k < used; ++k)
    if (random.bounded(10) != 0)
      records.replace(k * size, size, RandomRecord(random, transponder, references));
  for (const int end : {count / 2, count}) {
    if (random.bounded(3) == 0) {
      const int k = end - 1 - random.bounded(4);
      records.replace(k * size, size, RandomRecord(random, transponder, references));
    }
  }
  return records;
}

// A section holding exactly these records.
void PutTable(QByteArray& image, int64_t p, const char* tag, const QByteArray& records) {
  test::PutSection(image, p, tag, records, 1, static_cast<int>(records.size()));
}

struct Layout {
  QByteArray image;
  int64_t tcs = 0, tpt = 0;  // match positions
  std::vector<int64_t> stale_tcs, stale_tpt;
  std::vector<int64_t> free_blocks;  // blocks holding nothing
};

// Random bytes in 4 to 10 blocks; each table, and each stale copy, in a block of its own at
// an offset that leaves it (and its wipe) room in the block at either table size.
Layout RandomLayout(QRandomGenerator& random, int blocks, int stale) {
  Layout layout;
  layout.image.resize(blocks * kBlockSize);
  for (char& b : layout.image) b = static_cast<char>(random.bounded(256));
  std::vector<int64_t> order;
  for (int b = 0; b < blocks; ++b) order.push_back(b * kBlockSize);
  std::shuffle(order.begin(), order.end(), std::mt19937(random.generate()));
  auto offset = [&](bool transponder) {
    return random.bounded(2) ? 0 : 1 + random.bounded(transponder ? 0xF000 : 0x500);
  };
  layout.tcs = order[0] + offset(false);
  layout.tpt = order[1] + offset(true);
  PutTable(layout.image, layout.tcs, kChannelTag, RandomTable(random, false, 2002, 20));
  PutTable(layout.image, layout.tpt, kTransponderTag, RandomTable(random, true, 199, 0));
  size_t next = 2;
  for (int s = 0; s < stale && next < order.size(); ++s, ++next) {
    const bool transponder = random.bounded(2);
    const int64_t p = order[next] + offset(transponder);
    PutTable(layout.image, p, transponder ? kTransponderTag : kChannelTag, QByteArray(600, '\x11'));
    (transponder ? layout.stale_tpt : layout.stale_tcs).push_back(p);
  }
  layout.free_blocks.assign(order.begin() + next, order.end());
  return layout;
}

Records ReadRecords(const QByteArray& image, int64_t p, int rows, int size) {
  Records records(static_cast<size_t>(rows), QByteArray(size, '\0'));
  for (int k = 1; k < rows; ++k) {
    const int64_t at = p + kSectionHeaderSize + int64_t{k - 1} * size;
    if (at + size <= image.size()) records[k] = image.mid(at, size);
  }
  return records;
}

// What the save must leave: the original bytes, superseded sections wiped, moved headers, and
// the model's records (flag bits 0x10 to 0x80 are not kept).
QByteArray Expected(const Layout& layout, const Model& model, int64_t tcs_block,
                    int64_t tpt_block) {
  QByteArray out = layout.image;
  auto wipe = [&](int64_t p, int length) {
    const int64_t from = p % kBlockSize == 0 ? p : p + 32;
    out.replace(from, length, QByteArray(length, '\0'));
  };
  const int64_t old_positions[2] = {layout.tcs, layout.tpt};
  const int64_t blocks[2] = {tcs_block, tpt_block};
  int64_t positions[2];
  for (int t = 0; t < 2; ++t) {
    const int64_t p = old_positions[t];
    positions[t] = blocks[t] == (p & ~(kBlockSize - 1)) ? p : blocks[t];
    if (positions[t] != p) wipe(p, t ? kTransponderWipeLength : kChannelWipeLength);
  }
  for (int64_t p : layout.stale_tcs) wipe(p, kChannelWipeLength);
  for (int64_t p : layout.stale_tpt) wipe(p, kTransponderWipeLength);
  for (int t = 0; t < 2; ++t) {
    if (positions[t] == old_positions[t]) continue;
    out.replace(positions[t], 68, layout.image.mid(old_positions[t], 68));
    if (old_positions[t] % kBlockSize != 0)
      out.replace(positions[t], 32, QByteArray(1, ' ') + QByteArray(31, '\0'));
  }
  for (int t = 0; t < 2; ++t) {
    const Records& rows = t ? model.transponders : model.channels;
    for (size_t k = 1; k < rows.size(); ++k) {
      QByteArray record = rows[k];
      if (t) record[11] = static_cast<char>(record[11] & 0x0F);
      out.replace(positions[t] + 68 + int64_t(k - 1) * record.size(), record.size(), record);
    }
  }
  return out;
}

// One random sequence on a list and on the model side by side.
class Sequence {
 public:
  explicit Sequence(quint32 seed) : random_(seed) {}

  // A description of the first difference; empty when there is none.
  std::string Run() {
    layout_ = RandomLayout(random_, Between(4, 10), random_.bounded(3));
    TableContext context;
    const int rates[] = {0, 22000, 27500, 27500, 30000, 49, 6111};
    for (int& rate : context.symbol_rates) rate = rates[random_.bounded(7)];
    list_.SetContext(context);
    const int channel_rows = random_.bounded(2) ? 1000 : 2003;
    const int transponder_rows = random_.bounded(2) ? 100 : 200;
    list_.ApplyChannelTableSize(channel_rows);
    list_.ApplyTransponderTableSize(transponder_rows);
    // The layout's live sections among the stale ones; the chooser is asked only where there
    // are several.
    test::ScriptedChooser chooser;
    if (!layout_.stale_tcs.empty()) chooser.answers.push_back(layout_.tcs);
    if (!layout_.stale_tpt.empty()) chooser.answers.push_back(layout_.tpt);
    if (list_.LoadFlashImage(layout_.image, chooser) != LoadResult::kOk) return "load failed";
    model_ = {ReadRecords(layout_.image, layout_.tcs, channel_rows, kChannelRecordSize),
              ReadRecords(layout_.image, layout_.tpt, transponder_rows, kTransponderRecordSize)};
    for (int step = Between(1, 12); step > 0; --step)
      if (!Operate()) return log_ + ": outcome differs";
    return Save();
  }

 private:
  struct Clip {
    bool transponders;
    QString text;
    Records records;
  };

  int Between(int low, int high) { return low + random_.bounded(high - low + 1); }

  // One random operation on both; false when the list and the model disagree on it.
  bool Operate() {
    const bool t = random_.bounded(2);
    const Records& rows = model_.Table(t);
    const int n = static_cast<int>(rows.size());
    const int top = Between(1, std::min(n - 1, 40));
    const int bottom = std::min(n - 1, top + random_.bounded(4));
    const int op = random_.bounded(9);
    static const char* const kNames[] = {"move", "delete", "copy", "paste", "cut",
                                         "drag", "add",    "size", "status"};
    log_ += std::string(kNames[op]) + (t ? "T " : "C ");
    if (op == 2 || op == 4)
      clip_ = Clip{t, list_.CopyRows(t, top, bottom),
                   Records(rows.begin() + top, rows.begin() + bottom + 1)};
    switch (op) {
      case 0: {
        const int target = random_.bounded(6) ? Between(1, 60) : Between(0, 3000);
        t ? list_.MoveTransponders(top, bottom, target) : list_.MoveChannels(top, bottom, target);
        model_.Move(t, top, bottom, target);
        return true;
      }
      case 1:
      case 4:
        t ? list_.DeleteTransponders(top, bottom) : list_.DeleteChannels(top, bottom);
        t ? model_.DeleteTransponders(top, bottom) : model_.DeleteChannels(top, bottom);
        return true;
      case 3:
        return Paste();
      case 5: {
        const int to = Between(1, std::min(n - 1, 40));
        t ? list_.DragTransponderRow(top, to) : list_.DragChannelRow(top, to);
        model_.Move(t, top, top, to);
        return true;
      }
      case 6: {
        const Layout other = RandomLayout(random_, 2, 0);
        test::ScriptedChooser chooser;
        model_.Append(other.image, other.tcs, other.tpt);
        return list_.AppendFlashImage(other.image, chooser) == LoadResult::kOk;
      }
      case 7: {
        const int size = t ? (n == 100 ? 200 : 100) : (n == 1000 ? 2003 : 1000);
        t ? list_.ApplyTransponderTableSize(size) : list_.ApplyChannelTableSize(size);
        model_.Resize(t, size);
        return true;
      }
      case 8:
        SetStatus(top, bottom);
        return true;
    }
    return true;
  }

  bool Paste() {
    if (!clip_) return true;
    const bool t = clip_->transponders;
    const int at = Between(1, static_cast<int>(model_.Table(t).size()) - 1);
    const PasteResult pasted =
        t ? list_.PasteTransponders(at, clip_->text) : list_.PasteChannels(at, clip_->text);
    return model_.Paste(t, at, clip_->records) == static_cast<bool>(pasted);
  }

  void SetStatus(int top, int bottom) {
    const int values[] = {0, 0x20, 0x40, 0x60, 0x80, 0xA0}, bits[] = {1, 2, 4, 8};
    const bool encryption = random_.bounded(2), set = random_.bounded(2);
    const int value = values[random_.bounded(6)], bit = bits[random_.bounded(4)];
    encryption ? list_.SetEncryption(top, bottom, value)
               : list_.SetStatusBit(top, bottom, bit, set);
    for (int r = top; r <= bottom; ++r) {
      const int status = static_cast<uint8_t>(model_.channels[r][16]);
      model_.channels[r][16] = static_cast<char>(encryption ? (status & 0x0F) | value
                                                 : set      ? status | bit
                                                            : status & ~bit);
    }
  }

  // The save, now and then moving a table to an empty block, against the model.
  std::string Save() {
    int64_t blocks[2] = {layout_.tcs & ~(kBlockSize - 1), layout_.tpt & ~(kBlockSize - 1)};
    for (int64_t& block : blocks) {
      if (!layout_.free_blocks.empty() && random_.bounded(3) == 0) {
        block = layout_.free_blocks.back();
        layout_.free_blocks.pop_back();
      }
    }
    ChannelError error;
    if (!list_.BuildFlashImage(blocks[0], blocks[1], &error))
      return log_ + ": save refused: " + list_.ErrorText(error, Texts()).toStdString();
    const QByteArray expected = Expected(layout_, model_, blocks[0], blocks[1]);
    const QByteArray& saved = list_.image();
    if (saved != expected) {
      qsizetype at = 0;
      while (at < saved.size() && saved[at] == expected[at]) ++at;
      return log_ + ": first difference at " + QByteArray::number(at, 16).toStdString();
    }
    if (ListTableSections(kChannelTag, saved) !=
            std::vector<int64_t>{blocks[0] + list_.tcs_offset()} ||
        ListTableSections(kTransponderTag, saved) !=
            std::vector<int64_t>{blocks[1] + list_.tpt_offset()})
      return log_ + ": the saved image holds other sections";
    return {};
  }

  QRandomGenerator random_;
  Layout layout_;
  ChannelList list_;
  Model model_;
  std::optional<Clip> clip_;
  std::string log_;
};

quint32 EnvironmentNumber(const char* name, quint32 fallback) {
  bool ok = false;
  const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
  return ok ? value : fallback;
}

TEST(ChannelPropertyTest, SavedTablesMatchAModelOfWholeRecords) {
  const quint32 seconds = EnvironmentNumber("TORNAVO_PROPERTY_SECONDS", 0);
  const quint32 sequences = EnvironmentNumber("TORNAVO_PROPERTY_SEQUENCES", 300);
  const quint32 first_seed = EnvironmentNumber("TORNAVO_PROPERTY_SEED", 1);
  QElapsedTimer clock;
  clock.start();
  int findings = 0;
  for (quint32 run = 0; seconds > 0 ? clock.elapsed() < seconds * 1000LL : run < sequences; ++run) {
    const std::string finding = Sequence(first_seed + run).Run();
    if (!finding.empty()) {
      ADD_FAILURE() << "seed " << first_seed + run << ": " << finding;
      if (++findings == 5) break;
    }
  }
}

}  // namespace
}  // namespace tornavo
