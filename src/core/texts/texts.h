#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "core/texts/text_table.h"

namespace tornavo {

// A text of the catalogue and the values for its %1, %2 ...: kept as such and formed when
// shown, so that it speaks the language chosen then.
struct TextRef {
  int key = -1;
  QStringList args;

  bool empty() const { return key < 0; }
  bool operator==(const TextRef&) const = default;
};

// The current interface texts: every key with its built-in default, overridable by a
// language file. Messages are looked up by slot, captions by key.
class Texts {
 public:
  Texts();

  // Text of key traducN; empty for numbers that have no key.
  QString Key(int key) const;
  // Text of message slot N; empty for slots no key fills or out of range.
  QString Slot(int slot) const;
  // Two slots joined on two lines, as the message boxes show them.
  QString TwoLines(int first_slot, int second_slot) const;
  // The key's text with %1, %2 ... replaced in one pass (a value that holds "%2" stays as
  // it is); empty for an empty reference.
  QString Format(const TextRef& text) const;
  QString Format(int key, const QStringList& args) const { return Format(TextRef{key, args}); }

  void Set(int key, const QString& text);
  // Every key back to its default, and Qt's own texts back to Spanish.
  void ResetToDefaults();

  // Code of Qt's translation that goes with these texts (standard buttons, file dialogs).
  const QString& qt_language() const { return qt_language_; }
  void SetQtLanguage(const QString& code) { qt_language_ = code; }

 private:
  std::array<QString, kKeyCount> texts_;
  QString qt_language_;
};

// Qt's translation for the built-in Spanish texts.
inline constexpr const char* kDefaultQtLanguage = "es";

// Message slots used by more than one subsystem.
namespace slot {
inline constexpr int kTaskRead = 4;              // "Recibe"
inline constexpr int kTaskWrite = 5;             // "Envía"
inline constexpr int kTaskVerify = 6;            // "Verifica"
inline constexpr int kNoReply = 43;              // "¡ No hay respuesta del decodificador ..."
inline constexpr int kCheckServiceMode = 44;     // "Comprueba que está en Modo de Servicio ..."
inline constexpr int kTextFileFilter = 47;       // "Archivo de Texto (TXT)|*.txt|..."
inline constexpr int kBytesPerSecond = 136;      // "b/s"
inline constexpr int kSeconds = 137;             // "seg"
inline constexpr int kKilobytesPerSecond = 138;  // "Kb/seg"
}  // namespace slot

}  // namespace tornavo
