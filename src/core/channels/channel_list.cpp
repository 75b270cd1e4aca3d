#include "core/channels/channel_list.h"

#include <algorithm>
#include <cstring>

#include "core/runtime/text_file.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

namespace {

// Heading keys of columns 1 to 10.
constexpr int kChannelHeadingKeys[] = {
    text_key::kNombre173, text_key::kTrsp174, text_key::kSID, text_key::kVpid, text_key::kApid,
    text_key::kVecm,      text_key::kAecm,    text_key::kPCR, text_key::kSTA,  text_key::kSAT};
constexpr int kTransponderHeadingKeys[] = {
    text_key::kFrec, text_key::kTrsp185,   text_key::kNET, text_key::kFEC187,   text_key::kPOL,
    text_key::kSR,   text_key::kN22KHz190, text_key::kCAN, text_key::kBanda210, text_key::kSAT};
constexpr int kChannelTableNameKey = text_key::kTablaDeCanales;
constexpr int kTransponderTableNameKey = text_key::kTablaDeTranspondedores;

bool IsZeroOrEmpty(const QString& text) { return text.isEmpty() || text == QLatin1String("0"); }

// Wipes the sections of a tag other than the live one, stopping at the image end, and returns
// the ranges wiped. Searching again from every block start finds what one pass finds: a wipe
// only removes sections, so the search resumes after the last one found.
std::vector<ImageRange> WipeSuperseded(QByteArray& image, const char* tag, int64_t live, int length,
                                       ImageRange::Kind kind) {
  std::vector<ImageRange> wiped;
  const int64_t size = image.size();
  int64_t resume = 0;
  for (int64_t start = 0;; start += kBlockSize) {
    const int64_t p = FindTableSection(tag, std::max(start, resume), image);
    if (p == -1) return wiped;
    if (p == live) {
      resume = p;
      continue;
    }
    const int64_t from = ShownSectionAddress(p & ~(kBlockSize - 1), p & (kBlockSize - 1));
    const int64_t count = std::min<int64_t>(length, size - from);
    std::memset(image.data() + from, 0, static_cast<size_t>(count));
    wiped.push_back({kind, from, from + count, p & ~(kBlockSize - 1)});
    resume = p + 1;
  }
}

ImageRange BlockOf(const ImageRange& range) {
  return {ImageRange::Kind::kBlock, range.block, range.block + kBlockSize, range.block};
}

QString HexAddress(int64_t address) {
  return QStringLiteral("%1").arg(address, 6, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

ChannelList::ChannelList() : channels_(kSmallChannelRows), transponders_(100) {
  ApplyTexts(Texts());
}

void ChannelList::ApplyTexts(const Texts& texts) {
  for (int c = 1; c < TextGrid::kColumns; ++c) {
    channels_.SetCell(0, c, texts.Key(kChannelHeadingKeys[c - 1]));
    transponders_.SetCell(0, c, texts.Key(kTransponderHeadingKeys[c - 1]));
  }
  channel_table_name_ = texts.Key(kChannelTableNameKey);
  transponder_table_name_ = texts.Key(kTransponderTableNameKey);
}

ChannelList::Snapshot ChannelList::Current() const {
  return {channels_, transponders_, context_.satellite_a, context_.satellite_b};
}

void ChannelList::Restore(Snapshot snapshot) {
  channels_ = std::move(snapshot.channels);
  transponders_ = std::move(snapshot.transponders);
  context_.satellite_a = std::move(snapshot.satellite_a);
  context_.satellite_b = std::move(snapshot.satellite_b);
}

void ChannelList::Step(const std::function<void()>& action) {
  Snapshot before = Current();
  action();
  if (before.channels == channels_ && before.transponders == transponders_ &&
      before.satellite_a == context_.satellite_a && before.satellite_b == context_.satellite_b)
    return;
  undo_.push_back(std::move(before));
  if (undo_.size() > kUndoLimit) undo_.erase(undo_.begin());
  redo_.clear();
}

void ChannelList::ForgetHistory() {
  undo_.clear();
  redo_.clear();
}

bool ChannelList::Undo() {
  if (undo_.empty()) return false;
  redo_.push_back(Current());
  Restore(std::move(undo_.back()));
  undo_.pop_back();
  return true;
}

bool ChannelList::Redo() {
  if (redo_.empty()) return false;
  undo_.push_back(Current());
  Restore(std::move(redo_.back()));
  redo_.pop_back();
  return true;
}

void ChannelList::ResetGrids() {
  for (int r = 1; r < channels_.rows(); ++r) SetEmptyChannel(channels_, r, context_);
  for (int r = 1; r < transponders_.rows(); ++r) SetEmptyTransponder(transponders_, r, context_);
}

LoadResult ChannelList::LoadFlashTables(const QByteArray& image, bool append,
                                        SectionChooser& chooser) {
  const std::vector<int64_t> channel_sections = ListTableSections(kChannelTag, image);
  if (channel_sections.empty()) return LoadResult::kNoChannelTable;
  const std::vector<int64_t> transponder_sections = ListTableSections(kTransponderTag, image);
  if (transponder_sections.empty()) return LoadResult::kNoTransponderTable;
  auto choose = [&](const char* tag, const std::vector<int64_t>& sections) {
    if (sections.size() == 1) return std::optional<int64_t>(sections.front());
    std::optional<int64_t> chosen = chooser.ChooseSection(tag, sections);
    if (chosen && std::find(sections.begin(), sections.end(), *chosen) == sections.end())
      chosen.reset();
    return chosen;
  };
  const std::optional<int64_t> tcs = choose(kChannelTag, channel_sections);
  if (!tcs) return LoadResult::kNoChoice;
  const std::optional<int64_t> tpt = choose(kTransponderTag, transponder_sections);
  if (!tpt) return LoadResult::kNoChoice;

  if (!append) {
    image_ = image;
    held_ = true;
    ram_ = false;
    tcs_block_ = *tcs & ~(kBlockSize - 1);
    tcs_offset_ = *tcs & (kBlockSize - 1);
    tpt_block_ = *tpt & ~(kBlockSize - 1);
    tpt_offset_ = *tpt & (kBlockSize - 1);
    block_form_[0] = block_form_[1] = false;
    ForgetHistory();
    ResetGrids();
    ReadTransponderRecords(*tpt + kSectionHeaderSize, image, 1, context_, transponders_);
    ReadChannelRecords(*tcs + kSectionHeaderSize, image, 1, kKeepReferences, false, context_,
                       transponders_, channels_);
    Keep();
    return LoadResult::kOk;
  }
  Step([&] {
    const int first_transponder = FirstFreeTransponderRow();
    const int first_channel = FirstFreeChannelRow();
    ReadTransponderRecords(*tpt + kSectionHeaderSize, image, first_transponder, context_,
                           transponders_);
    ReadChannelRecords(*tcs + kSectionHeaderSize, image, first_channel, first_transponder - 1,
                       false, context_, transponders_, channels_);
  });
  return LoadResult::kOk;
}

LoadResult ChannelList::LoadFlashImage(const QByteArray& image, SectionChooser& chooser) {
  return LoadFlashTables(image, false, chooser);
}

LoadResult ChannelList::AppendFlashImage(const QByteArray& image, SectionChooser& chooser) {
  block_form_[0] = block_form_[1] = true;
  return LoadFlashTables(image, true, chooser);
}

void ChannelList::LoadRamImage(const QByteArray& image) {
  image_ = image;
  held_ = true;
  ram_ = true;
  ForgetHistory();
  for (int r = 1; r < channels_.rows(); ++r) SetEmptyChannel(channels_, r, context_);
  for (int r = 1; r < transponders_.rows(); ++r) transponders_.ClearData(r);
  ReadChannelRecords(0, image, 1, kKeepReferences, true, context_, transponders_, channels_);
  Keep();
}

void ChannelList::Release() {
  image_.clear();
  held_ = false;
  ram_ = false;
}

namespace {

// Where a save puts one table, and what it will occupy: from the block start or the first tag
// to the last record.
struct TablePlan {
  int64_t block = 0;
  int64_t offset = 0;
  bool moves = false;
  int64_t source = 0;  // the section's position now
  QByteArray records;
  int record_size = 0;
  ImageRange range;
};

TablePlan PlanTable(ImageRange::Kind kind, int64_t wanted, int64_t block, int64_t offset,
                    QByteArray records, int record_size) {
  TablePlan plan;
  plan.moves = wanted != block;
  plan.block = plan.moves ? wanted : block;
  plan.offset = plan.moves ? 0 : offset;
  plan.source = block + offset;
  plan.records = std::move(records);
  plan.record_size = record_size;
  plan.range = {kind, ShownSectionAddress(plan.block, plan.offset),
                plan.block + plan.offset + kSectionHeaderSize + plan.records.size(), plan.block};
  return plan;
}

bool Refuse(ChannelError::Kind kind, const ImageRange& range, const ImageRange& other,
            ChannelError* error) {
  if (error) {
    *error = {};
    error->kind = kind;
    error->range = range;
    error->other = other;
  }
  return false;
}

// The two tables may not overlap, and each must lie in its block; records past the image end
// are not written, which loses nothing only while they are empty entries.
bool CheckTables(const TablePlan (&plans)[2], int64_t size, ChannelError* error) {
  if (plans[0].range.Overlaps(plans[1].range))
    return Refuse(ChannelError::Kind::kRangesOverlap, plans[0].range, plans[1].range, error);
  for (const TablePlan& plan : plans) {
    if (plan.range.end > BlockOf(plan.range).end)
      return Refuse(ChannelError::Kind::kPastBlock, plan.range, BlockOf(plan.range), error);
    const int64_t first_record = plan.block + plan.offset + kSectionHeaderSize;
    const int64_t fitting = std::max<int64_t>(size - first_record, 0) / plan.record_size;
    if (RecordsHoldDataFrom(plan.records, plan.record_size, fitting))
      return Refuse(ChannelError::Kind::kPastImage, plan.range,
                    {ImageRange::Kind::kImage, 0, size, 0}, error);
  }
  return true;
}

// A moved table takes its section's header to the start of its new block (a section that did
// not start a block gets a block header of its own); the records follow, up to the image end.
void WriteTables(const TablePlan (&plans)[2], const QByteArray& image, QByteArray& work) {
  const int64_t size = work.size();
  for (const TablePlan& plan : plans) {
    if (plan.moves) {
      std::memcpy(work.data() + plan.block, image.constData() + plan.source,
                  static_cast<size_t>(std::min<int64_t>(kSectionHeaderSize, size - plan.source)));
      if (plan.source % kBlockSize != 0) {
        work[static_cast<qsizetype>(plan.block)] = 0x20;
        std::memset(work.data() + plan.block + 1, 0, 31);
      }
    }
    const int64_t first = plan.block + plan.offset + kSectionHeaderSize;
    const int64_t room = std::max<int64_t>(size - first, 0);
    const int64_t count = std::min<int64_t>(room - room % plan.record_size, plan.records.size());
    if (count > 0)
      std::memcpy(work.data() + first, plan.records.constData(), static_cast<size_t>(count));
  }
}

// A wipe may touch neither table, nor run past its section's block.
bool CheckWipes(const std::vector<ImageRange>& wipes, const TablePlan (&plans)[2],
                ChannelError* error) {
  for (const ImageRange& wipe : wipes) {
    for (const TablePlan& plan : plans)
      if (wipe.Overlaps(plan.range))
        return Refuse(ChannelError::Kind::kRangesOverlap, wipe, plan.range, error);
    if (wipe.end > BlockOf(wipe).end)
      return Refuse(ChannelError::Kind::kPastBlock, wipe, BlockOf(wipe), error);
  }
  return true;
}

}  // namespace

bool ChannelList::BuildFlashImage(int64_t tcs_block, int64_t tpt_block, ChannelError* error) {
  ChannelError failure;
  auto fail = [&](ChannelError::Kind kind, int64_t block) {
    failure.kind = kind;
    failure.block = block;
    if (error) *error = failure;
    return false;
  };
  if (!flash_held()) return fail(ChannelError::Kind::kNone, 0);
  const int64_t size = image_.size();
  for (const auto& [wanted, live] : {std::pair{tcs_block, tcs_block_}, {tpt_block, tpt_block_}}) {
    if (wanted != live &&
        (wanted < 0 || wanted % kBlockSize != 0 || wanted + kSectionHeaderSize > size))
      return fail(ChannelError::Kind::kBlockOutsideImage, wanted);
  }
  // A table moved into the other's block would overwrite it.
  if ((tcs_block != tcs_block_ || tpt_block != tpt_block_) && tcs_block == tpt_block)
    return fail(ChannelError::Kind::kBlocksOverlap, tcs_block);
  std::optional<QByteArray> channel_records = ChannelTableRecords(channels_, &failure.cell);
  std::optional<QByteArray> transponder_records;
  if (channel_records)
    transponder_records = TransponderTableRecords(transponders_, context_, &failure.cell);
  if (!transponder_records) return fail(ChannelError::Kind::kCell, 0);

  const TablePlan plans[2] = {
      PlanTable(ImageRange::Kind::kChannelTable, tcs_block, tcs_block_, tcs_offset_,
                std::move(*channel_records), kChannelRecordSize),
      PlanTable(ImageRange::Kind::kTransponderTable, tpt_block, tpt_block_, tpt_offset_,
                std::move(*transponder_records), kTransponderRecordSize)};
  if (!CheckTables(plans, size, error)) return false;
  // Everything happens on a copy, the wipes too, so that a refused wipe changes nothing.
  QByteArray work = image_;
  WriteTables(plans, image_, work);
  const TablePlan& tcs = plans[0];
  const TablePlan& tpt = plans[1];
  std::vector<ImageRange> wipes =
      WipeSuperseded(work, kTransponderTag, tpt.block + tpt.offset, kTransponderWipeLength,
                     ImageRange::Kind::kTransponderWipe);
  for (const ImageRange& wipe : WipeSuperseded(work, kChannelTag, tcs.block + tcs.offset,
                                               kChannelWipeLength, ImageRange::Kind::kChannelWipe))
    wipes.push_back(wipe);
  if (!CheckWipes(wipes, plans, error)) return false;
  image_ = std::move(work);
  tcs_block_ = tcs.block;
  tcs_offset_ = tcs.offset;
  tpt_block_ = tpt.block;
  tpt_offset_ = tpt.offset;
  if (tcs.moves) block_form_[0] = false;
  if (tpt.moves) block_form_[1] = false;
  return true;
}

bool ChannelList::SaveChannelImage(const QString& path, int64_t tcs_block, int64_t tpt_block,
                                   ChannelError* error) {
  if (!held_) return false;
  if (ram_) {
    CellError cell;
    const std::optional<QByteArray> records = ChannelTableRecords(channels_, &cell);
    if (!records) {
      if (error) {
        *error = {};
        error->kind = ChannelError::Kind::kCell;
        error->cell = cell;
      }
      return false;
    }
    // The bytes beyond the records keep their values; records past a short image are lost
    // unless they are empty entries.
    const int64_t size = image_.size();
    if (RecordsHoldDataFrom(*records, kChannelRecordSize, size / kChannelRecordSize))
      return Refuse(ChannelError::Kind::kPastImage,
                    {ImageRange::Kind::kChannelTable, 0, records->size(), 0},
                    {ImageRange::Kind::kImage, 0, size, 0}, error);
    const int64_t count = std::min<int64_t>(size - size % kChannelRecordSize, records->size());
    std::memcpy(image_.data(), records->constData(), static_cast<size_t>(count));
  } else if (!BuildFlashImage(tcs_block, tpt_block, error)) {
    return false;
  }
  QString file_error;
  if (!WriteFileAtomically(path, image_, &file_error)) {
    if (error) {
      *error = {};
      error->kind = ChannelError::Kind::kFile;
      error->file_error = file_error;
    }
    return false;
  }
  Keep();
  return true;
}

QString ChannelList::ErrorText(const ChannelError& error, const Texts& texts) const {
  switch (error.kind) {
    case ChannelError::Kind::kCell: {
      const TextGrid& grid = error.cell.transponder_table ? transponders_ : channels_;
      return texts.Format(
          text_key::kNoSePuedeConvertir,
          {error.cell.text,
           error.cell.transponder_table ? transponder_table_name_ : channel_table_name_,
           QString::number(error.cell.row), grid.Cell(0, error.cell.column)});
    }
    case ChannelError::Kind::kBlockOutsideImage:
      return texts.Format(
          text_key::kLaPosicionQuedaFuera,
          {QStringLiteral("%1").arg(error.block, 6, 16, QLatin1Char('0')).toUpper()});
    case ChannelError::Kind::kBlocksOverlap:
      return texts.Key(text_key::kLasTablasDeCanalesY);
    case ChannelError::Kind::kFile:
      return error.file_error;
    case ChannelError::Kind::kRangesOverlap:
      return texts.Format(text_key::kNoSeHaGuardadoSolapa,
                          {RangeText(error.range, texts), RangeText(error.other, texts)});
    case ChannelError::Kind::kPastBlock:
      return texts.Format(text_key::kNoSeHaGuardadoBloque,
                          {RangeText(error.range, texts), RangeText(error.other, texts)});
    case ChannelError::Kind::kPastImage:
      return texts.Format(text_key::kNoSeHaGuardadoImagen,
                          {RangeText(error.range, texts), RangeText(error.other, texts)});
    case ChannelError::Kind::kNone:
      break;
  }
  return texts.Key(text_key::kNoHayNingunaListaDe);
}

QString ChannelList::RangeText(const ImageRange& range, const Texts& texts) const {
  const QString span = HexAddress(range.start) + QStringLiteral("–") + HexAddress(range.end - 1);
  switch (range.kind) {
    case ImageRange::Kind::kChannelTable:
      return QStringLiteral("%1 (TCS %2)").arg(channel_table_name_, span);
    case ImageRange::Kind::kTransponderTable:
      return QStringLiteral("%1 (TPT %2)").arg(transponder_table_name_, span);
    case ImageRange::Kind::kChannelWipe:
      return texts.Format(text_key::kElBorradoDeUnaAnterior,
                          {channel_table_name_, QStringLiteral("TCS ") + span});
    case ImageRange::Kind::kTransponderWipe:
      return texts.Format(text_key::kElBorradoDeUnaAnterior,
                          {transponder_table_name_, QStringLiteral("TPT ") + span});
    case ImageRange::Kind::kBlock:
    case ImageRange::Kind::kImage:
      break;
  }
  return QStringLiteral("(%1)").arg(span);
}

bool ChannelList::RowFree(bool transponders, int row) const {
  // Free by the table's rule: its three key cells all empty or all "0".
  static constexpr int kKeys[2][3] = {{kChannelTransponder, kServiceId, kVideoPid},
                                      {kFrequency, kTransponderId, kNetworkId}};
  const TextGrid& grid = transponders ? transponders_ : channels_;
  for (const int c : kKeys[transponders ? 1 : 0])
    if (!IsZeroOrEmpty(grid.Cell(row, c))) return false;
  return true;
}

int ChannelList::FirstFreeChannelRow() const {
  for (int r = 1; r < channels_.rows(); ++r)
    if (RowFree(false, r)) return r;
  return channels_.rows();
}

int ChannelList::FirstFreeTransponderRow() const {
  for (int r = 1; r < transponders_.rows(); ++r)
    if (RowFree(true, r)) return r;
  return transponders_.rows();
}

void ChannelList::ClearTables() {
  for (int r = 1; r < channels_.rows(); ++r) channels_.ClearData(r);
  for (int r = 1; r < transponders_.rows(); ++r) transponders_.ClearData(r);
  ForgetHistory();
}

void ChannelList::ApplyChannelTableSize(int rows) {
  if (rows < 2 || rows == channels_.rows()) return;
  if (!held_) {
    channels_.Resize(rows);
    return;
  }
  Step([&] {
    const int old_rows = channels_.rows();
    channels_.Resize(rows);
    for (int r = old_rows; r < rows; ++r) SetEmptyChannel(channels_, r, context_);
  });
}

void ChannelList::ApplyTransponderTableSize(int rows) {
  if (rows < 2 || rows == transponders_.rows()) return;
  if (!held_) {
    transponders_.Resize(rows);
    return;
  }
  Step([&] {
    const int old_rows = transponders_.rows();
    transponders_.Resize(rows);
    if (!ram_)
      for (int r = old_rows; r < rows; ++r) SetEmptyTransponder(transponders_, r, context_);
  });
}

namespace {

QString BlockDisplay(int64_t block) {
  return QStringLiteral("%1 (%2)")
      .arg(block / kBlockSize, 1, 16)
      .arg(block, 5, 16, QLatin1Char('0'))
      .toUpper();
}

}  // namespace

QString ChannelList::ChannelSectionText() const {
  if (!held_) return {};
  if (ram_) return QStringLiteral("RAM");
  return block_form_[0] ? BlockDisplay(tcs_block_) : SectionDisplay(tcs_block_, tcs_offset_);
}

QString ChannelList::TransponderSectionText() const {
  if (!held_ || ram_) return {};
  return block_form_[1] ? BlockDisplay(tpt_block_) : SectionDisplay(tpt_block_, tpt_offset_);
}

}  // namespace tornavo
