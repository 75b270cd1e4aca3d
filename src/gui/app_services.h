#pragma once

#include "core/settings/symbol_rate_table.h"

namespace tornavo {

class Texts;
class OperationHost;
class FileDialogs;
class MessageBoxes;
class SerialTransport;
class ServiceLink;
class Terminal;
class EepromImage;
class Settings;
class ChannelList;
class ChannelService;
class PictureService;

// The program-wide objects the main window owns, handed to the pages that need them.
struct AppServices {
  Texts& texts;
  OperationHost& host;
  FileDialogs& dialogs;
  MessageBoxes& boxes;
  SerialTransport& transport;
  ServiceLink& link;
  Terminal& terminal;
  SymbolRateTable& symbol_rates;
  // The held picture and the options it is made with.
  PictureService& pictures;
  EepromImage& eeprom_image;
  Settings& settings;
  // The held channel-list image and its tables: the service that loads, saves and sends them,
  // and its list, which the views show and the dialogs edit.
  ChannelService& channels;
  ChannelList& channel_list;
};

}  // namespace tornavo
