#pragma once

namespace tornavo {

class Texts;
class OperationHost;
class FileDialogs;
class MessageBoxes;
class SerialTransport;
class ServiceLink;
class Terminal;

// The program-wide objects the main window owns, handed to the pages that need them.
struct AppServices {
  Texts& texts;
  OperationHost& host;
  FileDialogs& dialogs;
  MessageBoxes& boxes;
  SerialTransport& transport;
  ServiceLink& link;
  Terminal& terminal;
};

}  // namespace tornavo
