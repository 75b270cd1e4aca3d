#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <tuple>
#include <utility>

#include "core/serial/checksum.h"
#include "support/qt_printers.h"
#include "support/scoped_env.h"
#include "tornavo_process.h"

namespace {

using tornavo::testing::Has;
using tornavo::testing::Lines;
using tornavo::testing::ReadFile;
using tornavo::testing::RunResult;
using tornavo::testing::WriteFile;

RunResult Eeprom(const QStringList& arguments) {
  return tornavo::testing::RunTornavo(QStringList{"eeprom"} + arguments);
}

class EepromCommandTest : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return dir_.filePath(name); }
  QByteArray Read(const char* name) const { return ReadFile(Path(name)); }
  RunResult Convert(const QString& in, const QString& out, const char* from, const char* to) {
    return Eeprom({"convert", in, out, "--from", from, "--to", to});
  }
  int Convert(const char* in, const char* out, const char* from, const char* to) {
    return Convert(Path(in), Path(out), from, to).exit_code;
  }

  QTemporaryDir dir_;
};

// Refused input leaves no output file; no name at all gets the command's own message, no
// warning from the library beneath; an endless device is read only up to the limit.
TEST_F(EepromCommandTest, ConvertChainsReadersAndWritersAndRefusesBadInput) {
  const QByteArray pattern = tornavo::testing::Pattern(2048, 1);
  WriteFile(Path("a.bin"), pattern);
  ASSERT_EQ(Convert("a.bin", "a.txt", "bin", "own"), 0);
  EXPECT_TRUE(Read("a.txt").startsWith("%EE=00010"));
  ASSERT_EQ(Convert("a.txt", "a.kvl", "own", "kvl"), 0);
  ASSERT_EQ(Convert("a.kvl", "b.bin", "kvl", "bin"), 0);
  EXPECT_EQ(Read("b.bin"), pattern);
  EXPECT_EQ(Convert("a.bin", "x", "hex", "own"), 2);

  WriteFile(Path("short.bin"), QByteArray(2047, '\0'));
  const QString length =
      QString::fromUtf8("¡ Fichero de eeprom erróneo !\nLa longitud del fichero es incorrecto.");
  for (const QString& bad : {Path("short.bin"), QString("/dev/zero"), QString()}) {
    const RunResult refused = Convert(bad, Path("out.txt"), "bin", "own");
    EXPECT_EQ(refused.exit_code, 2);
    EXPECT_TRUE(Has(refused.err, bad.isEmpty() ? QString("No file name given.") : length));
    EXPECT_FALSE(refused.err.contains("QFSFileEngine")) << refused.err.toStdString();
  }
  EXPECT_FALSE(QFile::exists(Path("out.txt")));

  WriteFile(Path("a.bin"), QByteArray(2048, '\x12'));
  const RunResult piped = Convert(Path("a.bin"), "-", "bin", "kvl");
  ASSERT_EQ(piped.exit_code, 0) << piped.err.toStdString();
  EXPECT_EQ(piped.out, QString("12").repeated(16).append("\r\n").repeated(128));
  EXPECT_FALSE(QFile::exists(Path("-")));
}

// "show" prints each field as caption, text and raw digits, in page order.
TEST_F(EepromCommandTest, EditWritesThroughTheFieldsAndKeepsTheFileOnErrors) {
  const QString own = Path("e.txt");
  auto edit = [&](const QString& file, const char* format, const QStringList& fields) {
    return Eeprom(QStringList{"edit", file, "--format", format} + fields);
  };
  WriteFile(Path("e.bin"), QByteArray(2048, '\xFF'));
  ASSERT_EQ(Convert("e.bin", "e.txt", "bin", "own"), 0);
  const RunResult edited =
      edit(own, "own",
           {QString::fromUtf8("Satélite 2 Frecuencia :=8500"), "Luminosidad :=5",
            "Secciones activas :=1 y 3 (BCT15xx)", "Pais :=ESP"});
  ASSERT_EQ(edited.exit_code, 0) << edited.err.toStdString();
  const QByteArray text = ReadFile(own);
  EXPECT_TRUE(text.contains("%EE=04010FFFFFFFFFFFFFFFFFFFF2EC2"));  // 0x04A-0x04B
  EXPECT_TRUE(text.contains("%EE=40010FFFFFF85"));
  const RunResult show = Eeprom({"show", own, "--format", "own"});
  ASSERT_EQ(show.exit_code, 0) << show.err.toStdString();
  EXPECT_TRUE(
      Has(show.out, "\nSecciones activas :\t0 y 2 (BCT14xx)\t00800080000000000000000001A4\n"));
  EXPECT_TRUE(Has(show.out, "\nPais :\tESP\t455350\n"));
  EXPECT_TRUE(show.out.endsWith("\nEPG :\totro\tFFFFFFFFFFFFFFFF\n"));

  for (const QString& bad :
       {QString("Nada :=1"), QString("Pais :=xx"), QString::fromUtf8("Satélite 1 FEC :=9/10")}) {
    const RunResult refused = edit(own, "own", {"Pais :=ITA", bad});
    EXPECT_EQ(refused.exit_code, 2) << bad.toStdString();
    EXPECT_FALSE(refused.err.isEmpty());
  }
  EXPECT_EQ(ReadFile(own), text);

  // A file that lacks rows is not written back with them as FF: neither a kvl file that stops
  // early (a short line ends it) nor an own file whose edit reaches a row it lacks.
  QByteArray kvl = QByteArray("0123456789ABCDEF").repeated(2).append("\r\n").repeated(50);
  WriteFile(Path("p.kvl"), kvl + QByteArray(31, '0') + "\r\n" + QByteArray(32, '0') + "\r\n");
  ASSERT_EQ(Convert("p.kvl", "p.txt", "kvl", "own"), 0);
  const QByteArray partial_own = Read("p.txt");
  for (auto [file, format, said] :
       {std::tuple{"p.kvl", "kvl",
                   "defines 50 of the 128 rows to write back; it lacks rows 320-7F0"},
        std::tuple{"p.txt", "own", "defines 50 of the 51 rows to write back; it lacks rows 400"}}) {
    const QByteArray held = Read(file);
    const RunResult refused = edit(Path(file), format, {"Luminosidad :=5"});
    EXPECT_EQ(refused.exit_code, 2) << file;
    EXPECT_TRUE(Has(refused.err, said));
    EXPECT_EQ(Read(file), held) << file;
  }
  // Within its rows an own file is edited; --allow-partial writes the rest as asked.
  ASSERT_EQ(edit(Path("p.txt"), "own", {"Pais :=ESP"}).exit_code, 0);
  EXPECT_EQ(Lines(QString::fromLatin1(Read("p.txt"))).size(), 50);
  EXPECT_NE(Read("p.txt"), partial_own);
  ASSERT_EQ(edit(Path("p.kvl"), "kvl", {"Pais :=ESP", "--allow-partial"}).exit_code, 0);
  EXPECT_EQ(Lines(QString::fromLatin1(Read("p.kvl"))).size(), 128);
}

TEST_F(EepromCommandTest, WriteRefusesAFileThatDefinesFewerRowsThanItSends) {
  WriteFile(Path("empty.txt"), "");
  WriteFile(Path("short.kvl"), "0123456789\r\n");
  QByteArray eleven;
  for (int row = 0; row < 11; ++row)
    eleven += tornavo::AppendChecksum(
                  "%EE=" + QByteArray::number(row, 16).toUpper().rightJustified(2, '0') + "010" +
                  QByteArray(32, '0')) +
              "\r\n";
  WriteFile(Path("eleven.txt"), eleven);
  const QString port = "/dev/no-such-port";
  auto run = [&](const char* verb, const char* file, const QStringList& more = {}) {
    return Eeprom(QStringList{verb, "--port", port, Path(file)} + more);
  };
  const QStringList own = {"--format", "own"};
  // Refused before the port is opened: nothing can reach the receiver. A verify would report the
  // rows the file lacks as differing: refused the same way. A row is two hexadecimal digits, no
  // sign.
  const std::tuple<RunResult, QString, QString> refusals[] = {
      {run("write", "empty.txt", own), Path("empty.txt"), "lacks rows 000-7F0"},
      {run("write", "short.kvl", {"--format", "kvl"}), Path("short.kvl"), "lacks rows 000-7F0"},
      {run("write", "eleven.txt", own), "lacks rows 0B0-7F0", ""},
      {run("verify", "eleven.txt", own),
       "defines 11 of the 128 rows to compare; it lacks rows 0B0-7F0. Nothing "
       "was compared",
       ""},
      {Eeprom({"read", "--port", port, "--range", "row:+1", "-o", Path("row.bin")}), "", ""}};
  for (const auto& [result, said, also] : refusals) {
    EXPECT_EQ(result.exit_code, 2) << said.toStdString();
    EXPECT_TRUE(Has(result.err, said));
    EXPECT_TRUE(Has(result.err, also));
    EXPECT_FALSE(result.err.contains(port)) << result.err.toStdString();
  }
  // Asked for, or a range the file covers: on to the port.
  for (const RunResult& sent :
       {run("write", "eleven.txt", own + QStringList{"--range", "first"}),
        run("write", "eleven.txt", own + QStringList{"--range", "row:0A"}),
        run("write", "empty.txt", own + QStringList{"--allow-partial"}),
        run("verify", "eleven.txt", own + QStringList{"--range", "row:0A"})}) {
    EXPECT_EQ(sent.exit_code, 2);
    EXPECT_TRUE(Has(sent.err, port));
  }
  // Converting such a file to a format that holds every row is refused the same way.
  EXPECT_EQ(Convert("eleven.txt", "e.bin", "own", "bin"), 2);
  EXPECT_FALSE(QFile::exists(Path("e.bin")));
  ASSERT_EQ(Convert("eleven.txt", "e.txt", "own", "own"), 0);
  EXPECT_EQ(Read("e.txt") + "\r\n", eleven);
}

TEST_F(EepromCommandTest, PartialReadsWriteOnlyTheRowsReadOrTakeTheRestFromABase) {
  tornavo::testing::BackgroundReceiver receiver;
  ASSERT_FALSE(receiver.device().isEmpty());
  auto read = [&](QStringList more) {
    return Eeprom(QStringList{"read", "--port", receiver.device()} + more);
  };
  ASSERT_EQ(read({"-o", Path("all.bin")}).exit_code, 0);
  const QByteArray all = Read("all.bin");
  ASSERT_EQ(all.size(), 2048);

  const RunResult refused = read({"--range", "first", "-o", Path("first.bin")});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_TRUE(Has(refused.err, "--base"));
  EXPECT_FALSE(QFile::exists(Path("first.bin")));
  const RunResult nowhere = read({"-o", Path("nowhere/all.bin")});
  EXPECT_EQ(nowhere.exit_code, 2);
  EXPECT_TRUE(Has(nowhere.err, "nowhere/all.bin"));
  EXPECT_FALSE((nowhere.out + nowhere.err).contains("éxito")) << nowhere.out.toStdString();

  ASSERT_EQ(read({"--range", "row:7F", "--format", "own", "-o", Path("row.txt")}).exit_code, 0);
  const QByteArray row = Read("row.txt");
  EXPECT_TRUE(row.startsWith("%EE=7F010" + all.right(16).toHex().toUpper())) << row.data();
  EXPECT_EQ(row.size(), 43);

  WriteFile(Path("base.bin"), QByteArray(2048, '\x5A'));
  ASSERT_EQ(
      read({"--range", "first", "--base", Path("base.bin"), "-o", Path("first.bin")}).exit_code, 0);
  EXPECT_EQ(Read("first.bin"), all.left(176) + QByteArray(2048 - 176, '\x5A'));
}

// A receiver whose line goes dead in the middle of a read (it falls silent after three rows,
// then goes away): the read ends at once with the port's failure, long before its time-out,
// and writes nothing.
TEST_F(EepromCommandTest, AReadWhoseLineGoesDeadFailsAtOnceAndWritesNothing) {
  tornavo::testing::BackgroundReceiver receiver({"--fault", "silent:3"});
  ASSERT_FALSE(receiver.device().isEmpty());
  QProcess read;
  read.start(tornavo::testing::TornavoPath(), {"eeprom", "read", "--port", receiver.device(),
                                               "--timeout", "600000", "-o", Path("dead.bin")});
  ASSERT_TRUE(read.waitForStarted());
  read.waitForFinished(500);  // the three rows come at once; then the read waits
  receiver.Stop();
  ASSERT_TRUE(read.waitForFinished(30000));
  EXPECT_EQ(read.exitCode(), 4);
  EXPECT_TRUE(Has(QString::fromUtf8(read.readAllStandardError()), receiver.device()));
  EXPECT_FALSE(QFile::exists(Path("dead.bin")));
}

// Lines of a run's output that begin with `start`. --verbose shows each frame twice, once for
// the EEPROM log and once for the terminal's: the repeat is left out.
QStringList LinesStarting(const QString& text, const QString& start) {
  QStringList lines;
  QString previous;
  for (const QString& line : text.split('\n')) {
    if (line.startsWith(start) && line != previous) lines << line;
    previous = line;
  }
  return lines;
}

// Against the virtual receiver: the write keeps what the rows held, then sends only those that
// differ; the backup, written back, restores the receiver. CopiaSeguridad=0 in the settings
// folder, or --no-backup: every row goes and no file is kept. A backup that cannot be kept or
// read: nothing is sent and the status says it failed.
TEST_F(EepromCommandTest, WriteKeepsABackupAndSendsOnlyTheDifferingRows) {
  tornavo::testing::BackgroundReceiver receiver;
  ASSERT_FALSE(receiver.device().isEmpty());
  const QStringList ini = {"--ini-dir", dir_.path()};
  auto write = [&](const QString& file, const QStringList& more, const QString& device = {}) {
    return Eeprom(QStringList{"write", "--verbose", file, "--port",
                              device.isEmpty() ? receiver.device() : device} +
                  more);
  };
  auto held_now = [&] {
    EXPECT_EQ(Eeprom(QStringList{"read", "-o", Path("now.bin"), "--port", receiver.device()} + ini)
                  .exit_code,
              0);
    return Read("now.bin");
  };
  const QByteArray held = held_now();
  ASSERT_EQ(held.size(), 2048);
  WriteFile(Path("held.bin"), held);
  QByteArray edited = held;
  for (int address : {0x120, 0x3A5, 0x7FF}) edited[address] = static_cast<char>(~edited[address]);
  WriteFile(Path("edited.bin"), edited);

  const RunResult written = write(Path("edited.bin"), ini);
  ASSERT_EQ(written.exit_code, 0) << written.err.toStdString();
  const QStringList out = Lines(written.out);
  ASSERT_EQ(out.size(), 3) << written.out.toStdString();
  const QDir backups(QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath("tornavo/backups"));
  EXPECT_TRUE(out[0].startsWith("Copia de seguridad : " + backups.path() + "/"));
  EXPECT_EQ(out.mid(1), (QStringList{QString::fromUtf8("Filas diferentes que se enviarán : 3"),
                                     QString::fromUtf8("¡ Eeprom escrita con éxito !")}));
  EXPECT_EQ(LinesStarting(written.err, "%EE?").size(), 128);
  QStringList sent;
  for (const QString& frame : LinesStarting(written.err, "%EE=")) sent << frame.left(9);
  EXPECT_EQ(sent, (QStringList{"%EE=12010", "%EE=3A010", "%EE=7F010"}));
  EXPECT_EQ(held_now(), edited);

  // The backup holds what the receiver held, in the own format, all 128 rows.
  const QString backup = out[0].mid(21);
  EXPECT_TRUE(QFileInfo(backup).fileName().endsWith("_eeprom-send_00000000.txt"));
  ASSERT_EQ(Convert(backup, Path("backup.bin"), "own", "bin").exit_code, 0);
  EXPECT_EQ(Read("backup.bin"), held);
  ASSERT_EQ(write(backup, ini + QStringList{"--format", "own"}).exit_code, 0);
  EXPECT_EQ(held_now(), held);
  // Nothing differs: nothing is sent, and the output says so.
  const RunResult same = write(Path("held.bin"), ini);
  EXPECT_EQ(same.exit_code, 0);
  EXPECT_TRUE(
      same.out.endsWith(QString::fromUtf8("La Eeprom del decodificador ya contiene estos datos: "
                                          "no se envía ninguna fila.\n")))
      << same.out.toStdString();
  EXPECT_TRUE(LinesStarting(same.err, "%EE=").isEmpty());
  // A one-row write keeps that row alone: a copy never claims rows it did not read.
  const RunResult one_row = write(Path("edited.bin"), ini + QStringList{"--range", "row:12"});
  ASSERT_EQ(one_row.exit_code, 0) << one_row.err.toStdString();
  const QStringList copy =
      Lines(QString::fromLatin1(ReadFile(Lines(one_row.out).value(0).mid(21))));
  ASSERT_EQ(copy.size(), 1) << copy.join('\n').toStdString();
  EXPECT_TRUE(copy[0].startsWith("%EE=1201")) << copy[0].toStdString();

  WriteFile(Path("off/Tornavo.ini"), "[TForm1]\r\nCopiaSeguridad=0\r\n");
  WriteFile(Path("ff.bin"), QByteArray(2048, '\xFF'));
  const QStringList kept = backups.entryList(QDir::Files);
  for (const QStringList& off :
       {QStringList{"--ini-dir", Path("off")}, ini + QStringList{"--no-backup"}}) {
    const RunResult whole = write(Path("ff.bin"), off);
    EXPECT_EQ(whole.exit_code, 0) << whole.err.toStdString();
    EXPECT_TRUE(whole.out.startsWith("Sin copia de seguridad (desactivada)\n"))
        << whole.out.toStdString();
    EXPECT_EQ(LinesStarting(whole.err, "%EE=").size(), 128);
    EXPECT_TRUE(LinesStarting(whole.err, "%EE?").isEmpty());
  }
  EXPECT_EQ(backups.entryList(QDir::Files), kept);
  EXPECT_TRUE(Eeprom({"write", "--help"}).out.contains("--no-backup"));

  WriteFile(Path("file"), "");
  const RunResult unsavable = [&] {
    tornavo::testing::ScopedEnv data_home("XDG_DATA_HOME", Path("file/data").toUtf8());
    return write(Path("held.bin"), ini);
  }();
  tornavo::testing::BackgroundReceiver silent({"--fault", "silent"});
  const RunResult unread =
      write(Path("held.bin"), ini + QStringList{"--timeout", "300"}, silent.device());
  for (auto [failed, exit_code] : {std::pair{unsavable, 4}, std::pair{unread, 3}}) {
    EXPECT_EQ(failed.exit_code, exit_code);
    EXPECT_TRUE(Has(failed.err, "No se ha escrito nada."));
    EXPECT_TRUE(LinesStarting(failed.err, "%EE=").isEmpty()) << failed.err.toStdString();
  }
}

}  // namespace
