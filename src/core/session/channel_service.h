#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "core/channels/channel_list.h"
#include "core/jtag/jtag_dump.h"
#include "core/settings/settings.h"
#include "core/settings/symbol_rate_table.h"

namespace tornavo {

class Texts;

// What a load into the held list came to. Unless loaded, the list is as it was.
struct ChannelLoad {
  enum class Kind { kLoaded, kUnreadable, kRefused, kGivenUp };
  Kind kind = Kind::kLoaded;
  // Unreadable: the system's reason; refused: the message to show; given up: empty.
  QString error;
  explicit operator bool() const { return kind == Kind::kLoaded; }
};

// How a channel-list image file is taken: a flash image, a RAM channel table, or a further
// flash image whose tables go behind the rows in use.
enum class ChannelFileKind { kFlash, kRam, kAddedFlash };

// Where a save or a send puts the channel (TCS) and transponder (TPT) tables.
struct TableBlocks {
  int64_t tcs = 0;
  int64_t tpt = 0;
};

// The held channel list and the work both front ends do with it: image files opened with
// their checks and messages, saves and exports, a dump's tables, and the bytes a send
// writes. The settings are read at each call, so the tables follow the sizes, satellite
// names, symbol rates and positions they hold now.
class ChannelService {
 public:
  ChannelService(const Settings& settings, const SymbolRateTable& symbol_rates, const Texts& texts)
      : settings_(settings), symbol_rates_(symbol_rates), texts_(texts) {}

  ChannelList& list() { return list_; }
  const ChannelList& list() const { return list_; }

  // The tables' context and grid sizes from the settings.
  void ApplyTableSettings();
  // The tables' context alone: satellite names, symbol rates and LNB frequencies.
  void SyncContext();

  // Reads the file and loads it as kind says (see LoadImage).
  ChannelLoad OpenImageFile(const QString& path, ChannelFileKind kind, SectionChooser& chooser);
  // A RAM table is refused when its contents show it is another of the tool's files; a flash
  // image without tables is refused with what the file looks like; several sections of a
  // table are chosen by the chooser.
  ChannelLoad LoadImage(const QByteArray& bytes, ChannelFileKind kind, SectionChooser& chooser);
  // The tables of a completed RAM or FLASH dump.
  ChannelLoad TakeDump(const JtagDumpRequest& request, const JtagDumpResult& result,
                       SectionChooser& chooser);

  // The blocks "Posición TCS :" and "Posición TPT :" choose; a table without an entry there
  // stays in its live block.
  TableBlocks ChosenBlocks() const;
  // The blocks the tables were loaded from.
  TableBlocks LiveBlocks() const;

  // Brings the held image up to date with the tables at blocks and replaces the file with
  // it. False, with the message, when a check refused the save or the file was not written.
  bool SaveImageFile(const QString& path, TableBlocks blocks, QString* error);
  // One table as text or HTML. The list stays marked as unsaved: neither can be loaded back.
  bool ExportTable(const QString& path, bool transponders, bool html, QString* error) const;

  // What a send to the flash writes: the held flash image with the tables at blocks. Empty
  // without a flash image (no message) or when a check refused the tables (*error says why).
  QByteArray FlashSendImage(TableBlocks blocks, QString* error);
  // What a RAM table send writes, sized by "Número de canales :". Empty without a RAM table
  // (no message) or when a cell does not convert (*error says which).
  QByteArray RamSendBuffer(QString* error);

 private:
  const Settings& settings_;
  const SymbolRateTable& symbol_rates_;
  const Texts& texts_;
  ChannelList list_;
};

}  // namespace tornavo
