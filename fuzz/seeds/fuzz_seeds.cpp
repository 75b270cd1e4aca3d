// Writes the seed corpora of the fuzz targets: files of the kinds the tests make (a patterned
// EEPROM image in each format, settings and catalogue files, frames, reply lines), one folder
// per target under the given folder. Made here, from nothing but this program.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <cstdio>

#include "core/eeprom/eeprom_files.h"
#include "core/jtag/jtag_dump.h"
#include "core/lpt/link_transfer.h"
#include "core/runtime/cp1252.h"
#include "core/serial/checksum.h"
#include "quiet_host.h"
#include "sim/jtag_target.h"
#include "sim/parallel_peripheral.h"

using namespace tornavo;

namespace {

bool Write(const QString& folder, const QString& target, const QList<QByteArray>& seeds) {
  QDir dir(folder);
  if (!dir.mkpath(target)) return false;
  for (int i = 0; i < seeds.size(); ++i) {
    QFile file(dir.filePath(target + QStringLiteral("/seed-%1").arg(i)));
    if (!file.open(QIODevice::WriteOnly) || file.write(seeds[i]) != seeds[i].size()) return false;
  }
  return true;
}

// Every address a different byte, so that a misplaced row shows.
void FillPattern(EepromImage& image) {
  for (int a = 0; a < kEepromBytes; ++a)
    image.SetCellAt(a, ByteText(static_cast<uint8_t>(a * 7 + a / 256)));
}

QList<QByteArray> EepromSeeds(EepromFormat format) {
  EepromImage image;
  FillPattern(image);
  EepromRows some;
  some.set(3);
  some.set(0x7F);
  QList<QByteArray> seeds = {EncodeEepromFile(format, image), QByteArray()};
  if (format == EepromFormat::kOwn) seeds << EncodeEepromFile(format, image, some);
  if (format == EepromFormat::kKvl)
    seeds << QByteArray("0123456789abcdef0123456789ABCDEF\r\nG1").append(30, '0');
  return seeds;
}

QList<QByteArray> SettingsSeeds() {
  const QByteArray settings = ToCp1252(QString::fromUtf8(
      "\r\n[TForm1]\r\nIdioma0=A\r\nIdioma=0\r\nFlashIC0=B\r\nModel1=C\r\nModel=1\r\nSR0=D\r\n"
      "SR=0\r\nVelocidad=0x6\r\nRetardoBusy=5000\r\nRetardoStrobe=300\r\nSat-A=España\r\n"
      "Tamano=0\r\nPestañaActiva=3\r\nWStartBits=$400\r\n"));
  const QByteArray language = "[A]\r\ntraduc0=Hola\r\ntraduc8=Fichero malo\r\n";
  const QByteArray flash =
      "[B]\r\nNumBlocks=4\r\nErasureMode=48\r\nblock0=10000\r\nblock1=8000\r\n";
  const QByteArray model = "[C]\r\nFlash1Start=7FE00000\r\nFlash1Type=0\r\nFlash2Type=0\r\n";
  const QByteArray rates = "[D]\r\nvalue00=27500\r\nvalue0F=$6B6C\r\n";
  const QByteArray separator(1, '\x1e');
  return {
      settings,
      settings + separator + language + separator + flash + separator + model + separator + rates,
      "\xEF\xBB\xBF[tform1]\nVelocidad=abc\n[Other]\nVelocidad=3\n"};
}

// Language files named "L": plain, with blanks and empty values, another section, a BOM and
// UTF-8, a Qt code, and one that spells every key.
QList<QByteArray> LanguageSeeds() {
  QByteArray every = "[L]\r\n";
  for (int key = 0; key < 350; ++key)
    every += "traduc" + QByteArray::number(key) + "=Text " + QByteArray::number(key) + "\r\n";
  return {"[L]\r\ntraduc4=Lee\r\nQtIdioma=en\r\n",
          "[l]\ntraduc0=\n  traduc70 =   State  \ntraduc66=Odd\ntraduc66=Second\n[M]\ntraduc5=x\n",
          "\xEF\xBB\xBF[L]\r\ntraduc47=\xC3\x89"
          "eprom\r\nQtIdioma=../x\r\ntraduc57=none\r\n",
          ToCp1252(QString::fromUtf8("[L]\r\ntraduc64=Ningún\r\nQtIdioma=pt_BR\r\n")), every};
}

QList<QByteArray> CaptureSeeds() {
  QByteArray small("\x01\x12\x0A", 3);
  for (int i = 0; i < 600; ++i) small.append(static_cast<char>(16 + i % 220));
  QByteArray real("\xF9\x04\x00", 3);
  for (int i = 0; i < 4096; ++i) real.append(static_cast<char>(i * 13 + i / 256));
  return {small, real, QByteArray("\x05\x00\x00", 3)};
}

QByteArray RowReply(int row) {
  QByteArray data;
  for (int i = 0; i < 16; ++i) data += ByteText(static_cast<uint8_t>(row * 16 + i)).toLatin1();
  return "$.EE" + data + "00\r";
}

QList<QByteArray> ReplySeeds() {
  QList<QByteArray> seeds;
  for (int choice = 0; choice < 12; ++choice) {
    QByteArray seed;
    seed.append(static_cast<char>(choice));
    seed.append(static_cast<char>(choice * 5));
    for (int row = 0; row < 12; ++row)
      seed += choice % 3 == 1 ? QByteArray("$.EE\r") : RowReply(row);
    seed += "$?C0\r$?C0\r";
    seed += AppendChecksum("%EE=00010" + QByteArray(32, 'F')) + "\r";
    seeds << seed;
  }
  seeds << QByteArray("\x00\x01garbage\x00\xff\r$.EE0G1\r", 19);
  return seeds;
}

// Forwards to a port and keeps the answer of every read, in order.
class AnswerRecorder : public PortRegisters {
 public:
  explicit AnswerRecorder(PortRegisters& port) : port_(port) {}
  bool Acquire(QString* error) override { return port_.Acquire(error); }
  void Release() override { port_.Release(); }
  uint8_t Read(PortRegister reg) override {
    const uint8_t value = port_.Read(reg);
    answers.append(static_cast<char>(value));
    return value;
  }
  void Write(PortRegister reg, uint8_t value) override { port_.Write(reg, value); }
  QByteArray answers;

 private:
  PortRegisters& port_;
};

// The target's answers to a whole 64-byte dump and to a whole 32-byte transfer, as the
// parallel socket fuzz target replays them, and a few requests of a peer.
QList<QByteArray> ParallelSocketSeeds() {
  QuietHost host;
  Texts texts;
  sim::JtagTarget target;
  AnswerRecorder jtag(target);
  StepClock jtag_clock;
  JtagState state;
  JtagSession session{jtag,  jtag_clock, host,
                      texts, state,      {.tck_cycles = 0, .wait_start_bits = 16}};
  JtagDumpRequest dump;
  dump.address = 0x40000000;
  dump.length = 64;
  RunJtagDump(session, dump);

  sim::ParallelPeripheral peripheral;
  peripheral.Expect('D', 32, 32 * 0x5A);
  AnswerRecorder link(peripheral);
  StepClock link_clock;
  QString link_state;
  LinkDelays delays;
  delays.start_ms = 0;
  LinkTransferRequest transfer;
  transfer.buffer = QByteArray(32, '\x5A');
  SendBufferOverLink(link, link_clock, host, texts, delays, link_state, transfer);

  return {QByteArray("\x01\x00\x00\x0F", 4) + jtag.answers,
          QByteArray("\x02\x00\x00\x1F", 4) + link.answers,
          QByteArray("\x00\x00W\x02\x0CR\x01W\x00\x5AR\x02", 12)};
}

// A channel-list image: a channel section at tcs with a few channels on transponders 1 to 3,
// and a transponder section at tpt with three transponders.
QByteArray ChannelImage(int size, int tcs, int tpt) {
  QByteArray image(size, '\xFF');
  auto section = [&](int at, const char* tag, int records, int record_size) {
    image.replace(at, 68, QByteArray(68, '\x20'));
    image.replace(at + 32, 3, tag);
    image.replace(at + 48, 3, tag);
    image.replace(at + 68, records * record_size, QByteArray(records * record_size, '\0'));
  };
  section(tcs, "TCS", 999, 30);
  section(tpt, "TPT", 99, 12);
  for (int k = 0; k < 12; ++k) {
    const int at = tcs + 68 + k * 30;
    image.replace(at, 6, "CANAL" + QByteArray(1, static_cast<char>('A' + k)));
    image[at + 16] = static_cast<char>(0x04 | (k % 3) << 5);
    image[at + 17] = static_cast<char>(k % 3 + 1);
    image[at + 19] = static_cast<char>(k + 1);
    image[at + 21] = static_cast<char>(0x40 + k);
  }
  for (int k = 0; k < 3; ++k) {
    const int at = tpt + 68 + k * 12;
    image.replace(at, 4, QByteArray("\x46\x36\x1C\x00", 4));  // 1178000000 Hz
    image[at + 5] = static_cast<char>(k + 1);
    image[at + 9] = static_cast<char>(k == 2 ? 0x2A : k);  // a code that names no entry
    image[at + 11] = static_cast<char>(k);
  }
  return image;
}

// An operation count with the table sizes, operations of four bytes, two target blocks, then
// the image: editing sequences on roomy layouts and on the layouts whose saves must refuse.
QList<QByteArray> ChannelOperationSeeds() {
  const QByteArray operations = QByteArray::fromHex(
      "00030209"    // move channels 4..6 to 9
      "01020004"    // move transponders 3 to 4
      "05010003"    // copy transponders 2 and paste at 3
      "08040140"    // encryption
      "0c000001");  // grow the channel table
  QList<QByteArray> seeds;
  auto seed = [&](int flags, const QByteArray& targets, const QByteArray& image) {
    seeds << QByteArray(1, static_cast<char>(flags | 5)) + operations + targets + image;
  };
  seed(0, "\xFF\xFF", ChannelImage(0x10600, 0, 0x10000));
  seed(0x80, QByteArray("\x02\xFF", 2), ChannelImage(0x28000, 0x100, 0x10000));
  seed(0, "\xFF\xFF", ChannelImage(0x10000, 0, 0x7556));
  seed(0, "\x03\xFF", ChannelImage(0x30100, 0x10000, 0x18000));
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
    return 1;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const bool ok = Write(folder, "eeprom_own_fuzz", EepromSeeds(EepromFormat::kOwn)) &&
                  Write(folder, "eeprom_kvl_fuzz", EepromSeeds(EepromFormat::kKvl)) &&
                  Write(folder, "eeprom_bin_fuzz", EepromSeeds(EepromFormat::kBin)) &&
                  Write(folder, "settings_fuzz", SettingsSeeds()) &&
                  Write(folder, "language_fuzz", LanguageSeeds()) &&
                  Write(folder, "capture_fuzz", CaptureSeeds()) &&
                  Write(folder, "serial_replies_fuzz", ReplySeeds()) &&
                  Write(folder, "parallel_socket_fuzz", ParallelSocketSeeds()) &&
                  Write(folder, "hex_to_int_fuzz", {"7F0", "0123456789ABCDEF", "ab", "G1", ""}) &&
                  Write(folder, "channel_operations_fuzz", ChannelOperationSeeds());
  if (!ok) std::fprintf(stderr, "fuzz_seeds: could not write under %s\n", argv[1]);
  return ok ? 0 : 1;
}
