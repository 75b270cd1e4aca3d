// The indexed reader and writer against the rules applied by rescanning the lines, over
// generated files full of what the rules must get right: sections repeated or written in
// another case, headers with blanks after them, entries repeated, names with blanks around
// them, lines without "=", empty values.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <random>

#include "core/settings/file_bytes.h"
#include "core/settings/ini_file.h"
#include "core/settings/scanning_ini.h"
#include "core/settings/settings_keys.h"
#include "support/qt_printers.h"

namespace tornavo {
namespace {

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  int Below(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(static_cast<int>(items.size()))];
  }

  QString Section() {
    static const std::vector<QString> sections = {
        "TForm1", "tform1", "TFORM1", "Otra", QString::fromUtf8("Señal"), "Rates", "a=b"};
    return Pick(sections);
  }
  QString Key() {
    static const std::vector<QString> keys = [] {
      std::vector<QString> all = {"Unknown", "puerto", "k", "Model1", "value0F", ""};
      for (const KeySpec& entry : KeyTable()) all.push_back(QString::fromUtf8(entry.name));
      return all;
    }();
    return Pick(keys);
  }
  QString Value() {
    static const std::vector<QString> values = {
        "",  "1",     "0x1F", " 7 ", "Astra 19.2",
        "=", "a=b=c", "$FF",  "[x]", QString::fromUtf8("Señal")};
    return Pick(values);
  }
  // Any line the files may hold, read as entries, headers or lines the reader skips; entries
  // come most often. \1 stands for a section, \2 for a key, \3 for a value.
  QString Line() {
    static const char* const kShapes[] = {"[\1]", "[\1] ",       "  [\1]",  "; \2", "",
                                          "=\3",  "  \2 = \3  ", "\2\t=\3", "[\2",  "\2=\3"};
    QString line = QString::fromLatin1(kShapes[std::min(Below(12), 9)]);
    return line.replace('\1', Section()).replace('\2', Key()).replace('\3', Value());
  }
  // A key the writer may be asked for, with the odd ones a caller could pass.
  QString WrittenKey() {
    const int pick = Below(10);
    const QString key = Key();
    return pick == 0 ? ' ' + key : pick == 1 ? key + "=x" : pick == 2 ? "[" + key : key;
  }
  QStringList Lines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i) lines << Line();
    return lines;
  }

 private:
  std::mt19937 random_;
};

TEST(IniIndexTest, ReadsAndWritesAgreeWithRescanningTheLines) {
  QTemporaryDir dir;
  const QString path = dir.filePath("catalogue.ini");
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    Generator generate(seed);
    QByteArray line_break = generate.Below(2) ? "\r\n" : "\n";
    ScanningIni expected(generate.Lines(generate.Below(40)));
    // A last empty line needs its break to stay a line.
    const bool final_break =
        expected.lines().isEmpty() || expected.lines().last().isEmpty() || generate.Below(3) > 0;
    ASSERT_TRUE(WriteBytes(path, expected.Bytes(line_break, final_break)));
    // A file without any break is given CR LF.
    if (!ReadBytes(path).contains('\n')) line_break = "\r\n";
    TIniFile32 ini(path);
    ASSERT_EQ(ini.lines(), expected.lines());
    for (int step = 0; step < 120; ++step) {
      const QString section = generate.Section();
      QString key = generate.Key();
      const bool write = generate.Below(3) == 0;
      const QString value = write ? generate.Value() : QString();
      if (write) {
        key = generate.WrittenKey();
        ini.SetString(section, key, value);
        expected.Write(section, key, value);
      }
      const std::string where =
          QString("step %1 [%2] %3").arg(step).arg(section, key).toStdString();
      if (write)
        ASSERT_EQ(ini.lines(), expected.lines()) << where;
      else
        ASSERT_EQ(ini.ReadString(section, key, "none"), expected.Read(section, key, "none"))
            << where;
    }
    ASSERT_TRUE(ini.Store());
    EXPECT_EQ(ReadBytes(path), expected.Bytes(line_break, final_break));
  }
}

}  // namespace
}  // namespace tornavo
