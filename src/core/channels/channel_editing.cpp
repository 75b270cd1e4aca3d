// The editing operations of the two tables. Channels name their transponder by its row, so
// every operation that renumbers transponder rows renumbers the references with them.
#include "core/channels/channel_list.h"
#include "core/channels/clipboard_text.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

namespace {

// Clamps a selection to the data rows; false when nothing is left of it.
bool ClampSelection(int* top, int* bottom, int rows) {
  *top = std::max(*top, 1);
  *bottom = std::min(*bottom, rows - 1);
  return *top <= *bottom;
}

// The old row each row holds after rows top ... bottom move to target (clamped so the block
// fits): old_of_new[row]. The target used is returned in *target.
std::vector<int> BlockMoveOrder(int rows, int top, int bottom, int* target) {
  std::vector<int> order(static_cast<size_t>(rows));
  for (int r = 0; r < rows; ++r) order[static_cast<size_t>(r)] = r;
  int t = *target;
  if (t < 1 || t > rows - 1) t = 1;
  const int span = bottom - top;
  int next = 0;
  auto put = [&](int row, int old) { order[static_cast<size_t>(row)] = old; };
  if (t >= top) {
    if (t + span > rows - 1) t = rows - 1 - span;
    next = top;
    for (int old = bottom + 1; old <= bottom + (t - top); ++old) put(next++, old);
    for (int old = top; old <= bottom; ++old) put(next++, old);
  } else {
    next = t;
    for (int old = top; old <= bottom; ++old) put(next++, old);
    for (int old = t; old < top; ++old) put(next++, old);
  }
  *target = t;
  return order;
}

std::vector<int> Inverse(const std::vector<int>& old_of_new) {
  std::vector<int> new_of_old(old_of_new.size());
  for (size_t r = 0; r < old_of_new.size(); ++r)
    new_of_old[static_cast<size_t>(old_of_new[r])] = static_cast<int>(r);
  return new_of_old;
}

void Reorder(TextGrid& grid, const std::vector<int>& old_of_new) {
  const TextGrid scratch = grid;
  for (int r = 1; r < grid.rows(); ++r)
    grid.CopyData(r, scratch, old_of_new[static_cast<size_t>(r)]);
}

int StatusOf(const TextGrid& grid, int row) {
  return static_cast<int>(ParseHex(grid.Cell(row, kStatus)) & 0xFF);
}

// Pasted rows go in from row top on with their records; column 0 is numbered again afterwards.
void WriteRows(TextGrid& grid, int top, const std::vector<QStringList>& rows,
               const std::vector<QByteArray>& records) {
  for (size_t i = 0; i < rows.size(); ++i) {
    const int r = top + static_cast<int>(i);
    if (r >= grid.rows()) break;
    for (int c = 1; c < TextGrid::kColumns; ++c) grid.SetCell(r, c, rows[i].value(c));
    grid.SetRecord(r, records[i]);
  }
  grid.Renumber();
}

// Rows from top on move down by count; the last count rows fall off the end.
void OpenRows(TextGrid& grid, int top, int count) {
  for (int r = grid.rows() - 1; r >= top + count; --r) grid.CopyData(r, grid, r - count);
}

}  // namespace

std::vector<int> ChannelList::ChannelReferences() const {
  std::vector<int> references(static_cast<size_t>(channels_.rows()), -1);
  for (int r = 1; r < channels_.rows(); ++r) {
    if (const std::optional<int64_t> t = ParseDecimal(channels_.Cell(r, kChannelTransponder)))
      references[static_cast<size_t>(r)] = static_cast<int>(std::clamp<int64_t>(*t, -1, 1 << 20));
  }
  return references;
}

void ChannelList::RemapTransponderReferences(const std::vector<int>& new_of_old) {
  const std::vector<int> references = ChannelReferences();
  const int rows = transponders_.rows();
  for (int r = 1; r < channels_.rows(); ++r) {
    const int t = references[static_cast<size_t>(r)];
    if (t == -1 && !ParseDecimal(channels_.Cell(r, kChannelTransponder))) continue;  // not a number
    const int mapped = t >= 1 && t < rows ? new_of_old[static_cast<size_t>(t)] : 0;
    channels_.SetCell(r, kChannelTransponder, QString::number(mapped));
  }
}

int ChannelList::MoveChannels(int top, int bottom, int target) {
  if (!ClampSelection(&top, &bottom, channels_.rows())) return target;
  const std::vector<int> order = BlockMoveOrder(channels_.rows(), top, bottom, &target);
  Step([&] { Reorder(channels_, order); });
  return target;
}

int ChannelList::MoveTransponders(int top, int bottom, int target) {
  if (!ClampSelection(&top, &bottom, transponders_.rows())) return target;
  const std::vector<int> order = BlockMoveOrder(transponders_.rows(), top, bottom, &target);
  Step([&] {
    Reorder(transponders_, order);
    RemapTransponderReferences(Inverse(order));
  });
  return target;
}

void ChannelList::DeleteChannels(int top, int bottom) {
  if (!ClampSelection(&top, &bottom, channels_.rows())) return;
  Step([&] {
    const int count = bottom - top + 1;
    const int rows = channels_.rows();
    for (int r = top; r + count < rows; ++r) channels_.CopyData(r, channels_, r + count);
    for (int r = rows - count; r < rows; ++r) SetEmptyChannel(channels_, r, context_);
  });
}

void ChannelList::DeleteTransponders(int top, int bottom) {
  if (!ClampSelection(&top, &bottom, transponders_.rows())) return;
  Step([&] {
    const std::vector<int> references = ChannelReferences();
    int kept = 1;
    for (int r = 1; r < channels_.rows(); ++r) {
      const int t = references[static_cast<size_t>(r)];
      if (t >= top && t <= bottom) continue;
      if (kept != r) channels_.CopyData(kept, channels_, r);
      ++kept;
    }
    for (int r = kept; r < channels_.rows(); ++r) SetEmptyChannel(channels_, r, context_);

    const int count = bottom - top + 1;
    const int rows = transponders_.rows();
    for (int r = top; r + count < rows; ++r) transponders_.CopyData(r, transponders_, r + count);
    for (int r = 1; r < channels_.rows(); ++r) {
      const std::optional<int64_t> t = ParseDecimal(channels_.Cell(r, kChannelTransponder));
      if (t && *t >= top && *t < rows)
        channels_.SetCell(r, kChannelTransponder, QString::number(*t - count));
    }
    for (int r = rows - count; r < rows; ++r) SetEmptyTransponder(transponders_, r, context_);
  });
}

QString ChannelList::CopyRows(bool transponders, int top, int bottom) {
  const TextGrid& grid = transponders ? transponders_ : channels_;
  copied_ = {transponders, RowsText(grid, top, bottom), {}, {}};
  for (int r = std::max(top, 0); r <= bottom && r < grid.rows(); ++r) {
    copied_.rows.push_back(grid.Row(r));
    copied_.records.push_back(grid.Record(r));
  }
  return copied_.text;
}

bool ChannelList::PastedRows(bool transponders, const QString& text, std::vector<QStringList>* rows,
                             std::vector<QByteArray>* records) const {
  // The clipboard text cannot hold every name (a TAB in it splits the row), so text copied
  // here brings back the rows themselves.
  if (!copied_.text.isEmpty() && copied_.transponders == transponders && copied_.text == text) {
    *rows = copied_.rows;
    *records = copied_.records;
    return true;
  }
  if (ClipboardKind(text) != (transponders ? kClipboardTransponders : kClipboardChannels))
    return false;
  *rows = ClipboardRows(text);
  records->assign(rows->size(), QByteArray());
  return true;
}

int ChannelList::RowPushedOff(bool transponders, int from, int count) const {
  const TextGrid& grid = transponders ? transponders_ : channels_;
  const int rows = grid.rows();
  std::vector<bool> referenced(static_cast<size_t>(rows), false);
  if (transponders) {
    for (const int t : ChannelReferences())
      if (t >= 1 && t < rows) referenced[static_cast<size_t>(t)] = true;
  }
  for (int r = std::max(from, rows - count); r < rows; ++r)
    if (referenced[static_cast<size_t>(r)] || !RowFree(transponders, r)) return r;
  return 0;
}

PasteResult ChannelList::PasteChannels(int top, const QString& text) {
  std::vector<QStringList> pasted;
  std::vector<QByteArray> records;
  if (!PastedRows(false, text, &pasted, &records)) return {};
  const int count = static_cast<int>(pasted.size());
  top = std::clamp(top, 1, channels_.rows() - 1);
  if (const int dropped = RowPushedOff(false, top, count))
    return {PasteResult::Kind::kRowWouldDrop, dropped};
  Step([&] {
    OpenRows(channels_, top, count);
    WriteRows(channels_, top, pasted, records);
  });
  return {PasteResult::Kind::kPasted, 0};
}

PasteResult ChannelList::PasteTransponders(int top, const QString& text) {
  std::vector<QStringList> pasted;
  std::vector<QByteArray> records;
  if (!PastedRows(true, text, &pasted, &records)) return {};
  const int count = static_cast<int>(pasted.size());
  const int rows = transponders_.rows();
  top = std::clamp(top, 1, rows - 1);
  if (const int dropped = RowPushedOff(true, top, count))
    return {PasteResult::Kind::kRowWouldDrop, dropped};
  Step([&] {
    // Channels follow their transponders down; no channel names a row that falls off.
    for (int r = 1; r < channels_.rows(); ++r) {
      const std::optional<int64_t> t = ParseDecimal(channels_.Cell(r, kChannelTransponder));
      if (t && *t >= top && *t < rows)
        channels_.SetCell(r, kChannelTransponder, QString::number(*t + count));
    }
    OpenRows(transponders_, top, count);
    WriteRows(transponders_, top, pasted, records);
  });
  return {PasteResult::Kind::kPasted, 0};
}

QString ChannelList::PasteRefusalText(bool transponders, const PasteResult& result,
                                      const Texts& texts) const {
  return texts.Format(
      text_key::kNoSeHaPegadoNada,
      {QString::number(result.row), transponders ? transponder_table_name_ : channel_table_name_});
}

void ChannelList::DragChannelRow(int from, int to) {
  const int rows = channels_.rows();
  if (from < 1 || to < 1 || from >= rows || to >= rows) return;
  Step([&] { channels_.MoveRow(from, to); });
}

void ChannelList::DragTransponderRow(int from, int to) {
  const int rows = transponders_.rows();
  if (from < 1 || to < 1 || from >= rows || to >= rows) return;
  Step([&] {
    std::vector<int> old_of_new(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) old_of_new[static_cast<size_t>(r)] = r;
    if (from <= to)
      for (int k = from; k < to; ++k) old_of_new[static_cast<size_t>(k)] = k + 1;
    else
      for (int k = to + 1; k <= from; ++k) old_of_new[static_cast<size_t>(k)] = k - 1;
    old_of_new[static_cast<size_t>(to)] = from;
    transponders_.MoveRow(from, to);
    RemapTransponderReferences(Inverse(old_of_new));
  });
}

void ChannelList::SetStatusBit(int top, int bottom, int bit, bool set) {
  if (!ClampSelection(&top, &bottom, channels_.rows())) return;
  Step([&] {
    for (int r = top; r <= bottom; ++r) {
      const int status = StatusOf(channels_, r);
      channels_.SetCell(r, kStatus, HexByteText(set ? status | bit : status & ~bit));
    }
  });
}

void ChannelList::SetEncryption(int top, int bottom, int value) {
  if (!ClampSelection(&top, &bottom, channels_.rows())) return;
  Step([&] {
    for (int r = top; r <= bottom; ++r)
      channels_.SetCell(r, kStatus, HexByteText((StatusOf(channels_, r) & 0x0F) | value));
  });
}

void ChannelList::SetChannelFields(int row, const QStringList& cells, int status) {
  if (row < 1 || row >= channels_.rows()) return;
  Step([&] {
    for (int c = kName; c <= kPcrPid; ++c) channels_.SetCell(row, c, cells.value(c - kName));
    channels_.SetCell(row, kStatus, HexByteText(status));
  });
}

void ChannelList::SetTransponderFields(int row, const QStringList& cells,
                                       const QString& satellite) {
  if (row < 1 || row >= transponders_.rows()) return;
  Step([&] {
    for (int c = kFrequency; c <= kBand; ++c)
      transponders_.SetCell(row, c, cells.value(c - kFrequency));
    if (transponders_.Cell(row, kTransponderSatellite) != satellite)
      for (const int channel : ChannelsOnTransponder(row))
        channels_.SetCell(channel, kChannelSatellite, satellite);
    transponders_.SetCell(row, kTransponderSatellite, satellite);
  });
}

void ChannelList::RenameSatellite(int satellite, const QString& new_name) {
  QString& name = satellite == 0 ? context_.satellite_a : context_.satellite_b;
  if (name == new_name) return;
  Step([&] {
    for (TextGrid* grid : {&channels_, &transponders_})
      for (int r = 1; r < grid->rows(); ++r)
        if (grid->Cell(r, kChannelSatellite) == name) grid->SetCell(r, kChannelSatellite, new_name);
    name = new_name;
  });
}

int ChannelList::FindChannel(int after_row, const QString& text) const {
  if (text.isEmpty()) return -1;
  for (int r = std::max(after_row + 1, 1); r < channels_.rows(); ++r)
    if (channels_.Cell(r, kName).contains(text, Qt::CaseInsensitive)) return r;
  return -1;
}

std::vector<int> ChannelList::ChannelsOnTransponder(int transponder_row) const {
  std::vector<int> rows;
  const std::vector<int> references = ChannelReferences();
  for (int r = 1; r < channels_.rows(); ++r)
    if (references[static_cast<size_t>(r)] == transponder_row) rows.push_back(r);
  return rows;
}

QString ChannelList::TunedFrequency(int transponder_row) const {
  if (transponder_row < 1 || transponder_row >= transponders_.rows()) return {};
  const bool high = transponders_.Cell(transponder_row, kTone) == QLatin1String("On");
  return TunedFrequencyText(transponders_.Cell(transponder_row, kFrequency),
                            high ? context_.lnb_high : context_.lnb_low);
}

}  // namespace tornavo
