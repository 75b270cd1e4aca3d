#pragma once

#include <QByteArray>
#include <QString>

namespace tornavo {

class Texts;

// The files the tool reads, told apart by their contents, so that a load refused for the
// type the user chose can say which type the file looks like.
enum class FileKind {
  kUnknown,
  kEepromOwnText,    // "Archivo de Texto Tornavo (TXT)": one "%EE=" write command a line
  kEepromKvlText,    // "Archivo de Texto KVL5208 (TXT)": 32 hex digits a line
  kEepromBin,        // "Archivo Binario (BIN)" of the EEPROM page: its 2048 bytes
  kFlashImage,       // a flash image: channel or transponder sections, found by their tags
  kRamChannelTable,  // a RAM channel table as a dump or a save leaves it
  kRawCapture,       // the frame memory a capture dump reads
};

// The most of a file a reader takes to tell its kind: a flash image or a capture fits.
inline constexpr qsizetype kMaxKindFileBytes = 4 * 1024 * 1024;

FileKind GuessFileKind(const QByteArray& contents);

// The type's label in the file dialogs of its page, and the page: "«Archivo Binario (BIN)» de
// la página «Eeprom»".
QString FileKindName(FileKind kind, const Texts& texts);

// A refused load's message, with a line that names the type the file looks like when that
// is another of the tool's types than the chosen one.
QString WithLooksLike(const QString& message, const QByteArray& contents, FileKind chosen,
                      const Texts& texts);

}  // namespace tornavo
