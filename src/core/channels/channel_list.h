#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/channels/table_records.h"
#include "core/channels/text_grid.h"

namespace tornavo {

class Texts;

// Picks one section when an image holds several of a table. The window asks the user, the
// command line takes an option, tests answer from a script.
class SectionChooser {
 public:
  virtual ~SectionChooser() = default;
  // The match position of the section to use, or nothing to give up the load.
  virtual std::optional<int64_t> ChooseSection(const char* tag,
                                               const std::vector<int64_t>& sections) = 0;
};

enum class LoadResult { kOk = 0, kNoChannelTable = 1, kNoTransponderTable = 2, kNoChoice = 3 };

// A stretch of the image, [start, end): what a save writes or wipes, a live table, a block or
// the image itself. A table or a wipe belongs to the block of its section.
struct ImageRange {
  enum class Kind {
    kChannelTable,
    kTransponderTable,
    kChannelWipe,
    kTransponderWipe,
    kBlock,
    kImage
  };
  Kind kind = Kind::kImage;
  int64_t start = 0;
  int64_t end = 0;
  int64_t block = 0;
  bool Overlaps(const ImageRange& other) const { return start < other.end && other.start < end; }
};

struct ChannelError {
  enum class Kind {
    kNone,
    kCell,
    kBlockOutsideImage,
    kBlocksOverlap,
    kFile,
    kRangesOverlap,  // range would overwrite the live table other
    kPastBlock,      // range runs past other, its block
    kPastImage,      // range holds records in use past other, the image
  };
  Kind kind = Kind::kNone;
  CellError cell;
  int64_t block = 0;
  QString file_error;
  ImageRange range;
  ImageRange other;
};

// What a paste did. A paste that would push a row in use off the end of its table changes
// nothing and names that row.
struct PasteResult {
  enum class Kind { kPasted, kNotThisTable, kRowWouldDrop };
  Kind kind = Kind::kNotThisTable;
  int row = 0;
  explicit operator bool() const { return kind == Kind::kPasted; }
};

// The channel-list image the tool holds (flash or RAM) with its live table sections, the
// channel and transponder tables being edited, and their undo history. Each front end holds
// one through its channel service. Every change to the tables goes through here.
class ChannelList {
 public:
  static constexpr int kSmallChannelRows = 1000;
  static constexpr int kLargeChannelRows = 2003;

  ChannelList();

  // Headings and table names in the current language.
  void ApplyTexts(const Texts& texts);
  const TableContext& context() const { return context_; }
  void SetContext(const TableContext& context) { context_ = context; }

  // Loading a flash image: the sections are found by content, one of several chosen. On
  // failure nothing the list holds changes.
  LoadResult LoadFlashImage(const QByteArray& image, SectionChooser& chooser);
  // "Añadir archivo...": the further image's tables go behind the rows in use, its channels'
  // references following their transponders. The held image stays as it is.
  LoadResult AppendFlashImage(const QByteArray& image, SectionChooser& chooser);
  // A RAM channel table: records from offset 0, no transponders.
  void LoadRamImage(const QByteArray& image);
  void Release();

  // Writes the tables into the held flash image, moving a table whose block differs from the
  // given one there and wiping the sections it supersedes. Every range it would write or wipe
  // is checked before a byte changes: a cell that does not convert, a block outside the image,
  // both tables in one block, a range over a live table it does not rewrite, a table or a wipe
  // running past its block, or records in use past the image end leave the image unchanged.
  bool BuildFlashImage(int64_t tcs_block, int64_t tpt_block, ChannelError* error);
  // Brings the held image up to date (flash: BuildFlashImage) and replaces the file with it.
  bool SaveChannelImage(const QString& path, int64_t tcs_block, int64_t tpt_block,
                        ChannelError* error);
  // The message a failed build or save shows; the text naming one range in it.
  QString ErrorText(const ChannelError& error, const Texts& texts) const;
  QString RangeText(const ImageRange& range, const Texts& texts) const;

  int FirstFreeChannelRow() const;
  int FirstFreeTransponderRow() const;
  void ClearTables();
  // Table sizes (rows with the heading row: 1000 or 2003 and 100 or 200). Rows added while an
  // image is held become empty entries; rows past the new size are dropped.
  void ApplyChannelTableSize(int rows);
  void ApplyTransponderTableSize(int rows);

  // Editing. Rows are data rows 1 ... rows - 1; a selection is top ... bottom.
  int MoveChannels(int top, int bottom, int target);  // returns the target used
  int MoveTransponders(int top, int bottom, int target);
  void DeleteChannels(int top, int bottom);
  void DeleteTransponders(int top, int bottom);  // with every channel on them
  // The clipboard text of rows top ... bottom. The rows' records are kept with it, so that
  // pasting that text brings the whole records back.
  QString CopyRows(bool transponders, int top, int bottom);
  // Clipboard text of kind 2 (channels) or 3 (transponders) pastes at top, the rows from top
  // on moving down (references following transponders); any other text does nothing.
  PasteResult PasteChannels(int top, const QString& text);
  PasteResult PasteTransponders(int top, const QString& text);
  QString PasteRefusalText(bool transponders, const PasteResult& result, const Texts& texts) const;
  void DragChannelRow(int from, int to);
  void DragTransponderRow(int from, int to);
  // A status box: sets or clears the bit in every selected channel.
  void SetStatusBit(int top, int bottom, int bit, bool set);
  void SetEncryption(int top, int bottom, int value);
  // The channel dialog's "Ok": columns 1 to 8 and the status byte.
  void SetChannelFields(int row, const QStringList& cells, int status);
  // The transponder dialog's "Ok": columns 1 to 9 and the satellite, which its channels
  // take too.
  void SetTransponderFields(int row, const QStringList& cells, const QString& satellite);
  // Satellite 0 (A) or 1 (B) takes a new name: every satellite cell of both tables holding the
  // old one takes it too. Undo brings the old name back to the context as well.
  void RenameSatellite(int satellite, const QString& new_name);

  // The first row after the given one whose name holds the text, case ignored; -1 for none.
  int FindChannel(int after_row, const QString& text) const;
  std::vector<int> ChannelsOnTransponder(int transponder_row) const;
  // "Frecuencia :" of a transponder row: "FREC" plus the LNB its tone selects.
  QString TunedFrequency(int transponder_row) const;

  // Undo goes back one user action, as far as the last load.
  bool Undo();
  bool Redo();
  bool can_undo() const { return !undo_.empty(); }
  bool can_redo() const { return !redo_.empty(); }

  // The held tables differ from those last loaded or saved to a file: edits no file holds.
  // Undoing back to them settles the list again.
  bool modified() const {
    return held_ &&
           !(channels_.SameData(kept_.channels) && transponders_.SameData(kept_.transponders));
  }

  const TextGrid& channels() const { return channels_; }
  const TextGrid& transponders() const { return transponders_; }
  bool held() const { return held_; }
  bool ram() const { return ram_; }
  bool flash_held() const { return held_ && !ram_; }
  const QByteArray& image() const { return image_; }
  int64_t tcs_block() const { return tcs_block_; }
  int64_t tcs_offset() const { return tcs_offset_; }
  int64_t tpt_block() const { return tpt_block_; }
  int64_t tpt_offset() const { return tpt_offset_; }
  // The values of "Canales (TCS) :" and "Transp. (TPT) :". A load shows each section's block
  // number and address ("1E (1E0120)"); after an added file they show the block's number and
  // start in their shortest form ("1E (1E0000)", "1 (10000)") until a load or a table move.
  QString ChannelSectionText() const;
  QString TransponderSectionText() const;

 private:
  struct Snapshot {
    TextGrid channels;
    TextGrid transponders;
    QString satellite_a;
    QString satellite_b;
  };
  Snapshot Current() const;
  void Restore(Snapshot snapshot);
  static constexpr size_t kUndoLimit = 200;

  // Runs one user action; it becomes an undo step when it changed the tables.
  void Step(const std::function<void()>& action);
  // The tables as they stand are those of a file.
  void Keep() { kept_ = Current(); }
  void ForgetHistory();
  LoadResult LoadFlashTables(const QByteArray& image, bool append, SectionChooser& chooser);
  void ResetGrids();
  void RemapTransponderReferences(const std::vector<int>& new_row_of_old);
  std::vector<int> ChannelReferences() const;
  bool RowFree(bool transponders, int row) const;
  // The first row at or after from, up to the end of the table, that a paste of count rows
  // would push off the end while it is in use; 0 for none.
  int RowPushedOff(bool transponders, int from, int count) const;
  // The rows a paste writes, with their records: rows copied here come back whole, other text
  // of the table's kind is split into fields and makes new records. False for text of
  // another kind.
  bool PastedRows(bool transponders, const QString& text, std::vector<QStringList>* rows,
                  std::vector<QByteArray>* records) const;

  QByteArray image_;
  bool held_ = false;
  bool ram_ = false;
  int64_t tcs_block_ = 0;
  int64_t tcs_offset_ = 0;
  int64_t tpt_block_ = 0;
  int64_t tpt_offset_ = 0;
  TextGrid channels_;
  TextGrid transponders_;
  TableContext context_;
  QString channel_table_name_;
  QString transponder_table_name_;
  std::vector<Snapshot> undo_;
  std::vector<Snapshot> redo_;
  Snapshot kept_;
  // The rows last copied: their text, cells and records.
  struct Copied {
    bool transponders = false;
    QString text;
    std::vector<QStringList> rows;
    std::vector<QByteArray> records;
  } copied_;
  // Per table: the section value shows the block only (after an added file).
  bool block_form_[2] = {false, false};
};

}  // namespace tornavo
