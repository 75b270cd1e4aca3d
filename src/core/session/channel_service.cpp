#include "core/session/channel_service.h"

#include "core/channels/clipboard_text.h"
#include "core/channels/image_file_checks.h"
#include "core/channels/ram_send_buffer.h"
#include "core/channels/table_settings.h"
#include "core/jtag/dump_hand_over.h"
#include "core/runtime/text_file.h"

namespace tornavo {

namespace {

// A load's result, with the message a refusal shows.
ChannelLoad LoadOf(LoadResult result, const QString& refusal) {
  switch (result) {
    case LoadResult::kOk:
      return {};
    case LoadResult::kNoChoice:
      return {ChannelLoad::Kind::kGivenUp, {}};
    case LoadResult::kNoChannelTable:
    case LoadResult::kNoTransponderTable:
      break;
  }
  return {ChannelLoad::Kind::kRefused, refusal};
}

}  // namespace

void ChannelService::ApplyTableSettings() {
  tornavo::ApplyTableSettings(settings_, symbol_rates_, list_);
}

void ChannelService::SyncContext() { list_.SetContext(TableContextOf(settings_, symbol_rates_)); }

ChannelLoad ChannelService::OpenImageFile(const QString& path, ChannelFileKind kind,
                                          SectionChooser& chooser) {
  QByteArray bytes;
  QString error;
  if (!ReadWholeFile(path, &bytes, &error)) return {ChannelLoad::Kind::kUnreadable, error};
  return LoadImage(bytes, kind, chooser);
}

ChannelLoad ChannelService::LoadImage(const QByteArray& bytes, ChannelFileKind kind,
                                      SectionChooser& chooser) {
  QString error;
  if (kind == ChannelFileKind::kRam) {
    if (!CheckRamTableFile(bytes, texts_, &error)) return {ChannelLoad::Kind::kRefused, error};
    SyncContext();
    list_.LoadRamImage(bytes);
    return {};
  }
  SyncContext();
  const LoadResult result = kind == ChannelFileKind::kAddedFlash
                                ? list_.AppendFlashImage(bytes, chooser)
                                : list_.LoadFlashImage(bytes, chooser);
  return LoadOf(result, FlashFileErrorText(result, bytes, texts_));
}

ChannelLoad ChannelService::TakeDump(const JtagDumpRequest& request, const JtagDumpResult& result,
                                     SectionChooser& chooser) {
  SyncContext();
  const LoadResult loaded =
      HandOverChannelDump(request, result, list_, chooser).value_or(LoadResult::kNoChoice);
  return LoadOf(loaded, MissingTableText(loaded, texts_));
}

TableBlocks ChannelService::ChosenBlocks() const {
  return {PositionBlock(settings_.Int(Key::kTcs), list_.tcs_block()),
          PositionBlock(settings_.Int(Key::kTpt), list_.tpt_block())};
}

TableBlocks ChannelService::LiveBlocks() const { return {list_.tcs_block(), list_.tpt_block()}; }

bool ChannelService::SaveImageFile(const QString& path, TableBlocks blocks, QString* error) {
  SyncContext();
  ChannelError failure;
  if (list_.SaveChannelImage(path, blocks.tcs, blocks.tpt, &failure)) return true;
  *error = list_.ErrorText(failure, texts_);
  return false;
}

bool ChannelService::ExportTable(const QString& path, bool transponders, bool html,
                                 QString* error) const {
  const TextGrid& grid = transponders ? list_.transponders() : list_.channels();
  return WriteFileAtomically(path, html ? GridHtmlFile(grid, !transponders) : GridTextFile(grid),
                             error);
}

QByteArray ChannelService::FlashSendImage(TableBlocks blocks, QString* error) {
  error->clear();
  if (!list_.flash_held()) return {};
  SyncContext();
  ChannelError failure;
  if (list_.BuildFlashImage(blocks.tcs, blocks.tpt, &failure)) return list_.image();
  *error = list_.ErrorText(failure, texts_);
  return {};
}

QByteArray ChannelService::RamSendBuffer(QString* error) {
  error->clear();
  SyncContext();
  ChannelError failure;
  failure.kind = ChannelError::Kind::kCell;
  const QByteArray buffer =
      BuildRamChannelSendBuffer(list_, settings_.channel_table_size(), &failure.cell);
  if (buffer.isEmpty() && list_.held() && list_.ram()) *error = list_.ErrorText(failure, texts_);
  return buffer;
}

}  // namespace tornavo
