// Switching the interface language: every caption of every page and dialog follows at once,
// and the serial and model selections stay.
#include "core/settings/language.h"

#include <QAction>
#include <QRegularExpression>
#include <set>

#include "core/texts/text_names.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::FakeTransport;

// The text a marker language gives key N.
QString Marker(int key) { return QStringLiteral("<%1>").arg(key); }

// Every text a person can read in the widgets under `root`: labels, buttons, group titles,
// tabs, list entries, menu entries, table headings and window titles.
QStringList ShownTexts(QWidget* root) {
  QStringList texts;
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  widgets.prepend(root);
  for (QWidget* w : widgets) {
    if (w->isWindow()) texts << w->windowTitle();
    if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
    if (auto* group = qobject_cast<QGroupBox*>(w)) texts << group->title();
    if (auto* tabs = qobject_cast<QTabWidget*>(w))
      for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
    if (auto* list = qobject_cast<QComboBox*>(w))
      for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
    if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
      QAbstractItemModel* model = view->model();
      for (int c = 0; c < model->columnCount(); ++c)
        texts << model->headerData(c, Qt::Horizontal).toString();
    }
  }
  for (QAction* action : root->findChildren<QAction*>()) texts << action->text();
  texts.removeAll(QString());
  return texts;
}

// The keys that are captions rather than messages (behind a slot, or added after the
// captions).
std::set<int> CaptionKeys() {
  std::set<int> keys;
  for (const TextDefault& entry : DefaultTexts())
    if (entry.key < kFirstAddedMessageKey) keys.insert(entry.key);
  for (int slot = 0; slot < kSlotCount; ++slot) keys.erase(SlotKey(slot));
  return keys;
}

class LanguageSwitchTest : public ::testing::Test {
 protected:
  void WriteIni(const QString& name, const QByteArray& bytes) {
    testing::WriteTestFile(dir_.filePath(name), bytes);
  }
  // "Castellano" holds nothing (the built-in texts); "Marcas" gives every key its marker;
  // "English" a few texts and Qt's English; "Sin Qt" a Qt language that is not installed.
  void WriteLanguages(const QByteArray& list =
                          "Idioma0=Castellano\r\nIdioma1=Marcas\r\n"
                          "Idioma2=English\r\nIdioma3=Sin Qt\r\nIdioma=0") {
    QByteArray marks = "[Marcas]\r\n";
    for (const TextDefault& entry : DefaultTexts())
      marks +=
          "traduc" + QByteArray::number(entry.key) + "=" + Marker(entry.key).toLatin1() + "\r\n";
    WriteIni("Marcas.ini", marks);
    WriteIni("Tornavo.ini",
             "[TForm1]\r\n" + list + "\r\nControlFlujo=2\r\nModel1=K2002\r\nModel=1\r\n");
    WriteIni("K2002.ini", "[K2002]\r\nFlash1Start=7FE00000\r\n");
    WriteIni("Castellano.ini", "[Castellano]\r\n");
    WriteIni("English.ini", "[English]\r\ntraduc66=Odd\r\ntraduc47=Eeprom\r\nQtIdioma=en\r\n");
    WriteIni("Sin Qt.ini", "[Sin Qt]\r\nQtIdioma=zz\r\n");
  }
  void Open() {
    WindowOptions options = testing::WindowUnderTest::OnFakeTty(dir_.path());
    // With the virtual receiver, whose port choice has a caption of its own.
    options.virtual_cable = &cable_;
    w_ = std::make_unique<testing::WindowUnderTest>(std::move(options));
  }
  TForm1& window() { return *w_->window; }
  FakeTransport& port() { return w_->port(); }
  ConfigPage* page() { return window().config_page(); }
  QString Tab(Page tab) { return window().pages()->tabText(static_cast<int>(tab)); }
  void ExpectNoMarker() {
    const QRegularExpression any_marker("<\\d+>");
    for (const QString& text : ShownTexts(&window()))
      EXPECT_FALSE(text.contains(any_marker)) << text.toStdString();
  }
  // Picks a language in the list as the user does, with the keyboard: the language file
  // Idioma<language>, or -1 for the built-in Spanish the list offers first.
  void ChooseLanguage(int language) {
    QComboBox* list = page()->language_list();
    // Bounded: a list that jumps away from the key presses fails instead of hanging.
    for (int i = 0; i < 8 && list->currentIndex() != language + 1; ++i)
      QTest::keyClick(list, list->currentIndex() < language + 1 ? Qt::Key_Down : Qt::Key_Up);
    EXPECT_EQ(list->currentIndex(), language + 1);
  }
  // The filter of the log's "Guardar como...", built as it runs.
  QString LogFilter() {
    window().log(LogId::kEeprom)->PrepareMenu()->actions().first()->trigger();
    return w_->dialogs->requests.isEmpty() ? QString() : w_->dialogs->requests.last().filter;
  }

  QTemporaryDir dir_;
  sim::JtagTarget target_;
  sim::TargetCable cable_{target_, target_, sim::TargetCable::Chips::kKeepBytes};
  std::unique_ptr<testing::WindowUnderTest> w_;
};

TEST_F(LanguageSwitchTest, EveryCaptionOfEveryPageAndDialogFollowsAtOnce) {
  WriteLanguages();
  Open();
  ExpectNoMarker();

  ChooseLanguage(1);
  // A page or dialog built after the switch takes the new texts too.
  window().eeprom_page()->interpreted_fields();
  TuningPage* tuning = window().tuning_page();
  tuning->channel_dialog();
  tuning->transponder_dialog();
  tuning->section_dialog();
  tuning->search_dialog();
  const QStringList shown = ShownTexts(&window());
  // Every caption key shows somewhere ...
  const QString all = shown.join('\n');
  for (int key : CaptionKeys()) EXPECT_TRUE(all.contains(Marker(key))) << "traduc" << key;
  // ... and no built-in text is left.
  std::set<QString> defaults;
  for (const TextDefault& entry : DefaultTexts())
    defaults.insert(QString::fromUtf8(entry.text).trimmed());
  // Poland's country code among the interpreted view's data happens to spell a heading, and
  // the built-in language keeps its own name.
  defaults.erase("POL");
  defaults.erase(QString::fromUtf8(kBuiltInLanguageName));
  for (const QString& text : shown)
    EXPECT_EQ(defaults.count(text.trimmed()), 0u) << text.toStdString();
  // Captions that take another caption's text or a slot's follow their source.
  EXPECT_EQ(Tab(Page::kPicture), Marker(text_key::kImagen));
  EXPECT_TRUE(shown.contains(" " + Marker(text_key::kImagen) + " "));
  EXPECT_EQ(page()->jtag_group()->model_list()->itemText(0), Marker(text_key::kPersonalizado));
  // The JTAG page's two "Dirección" captions take the parallel+serial page's crosswise.
  const QStringList jtag_page = ShownTexts(window().jtag_page());
  EXPECT_TRUE(jtag_page.contains(Marker(text_key::kEstadoDireccion83)));
  EXPECT_TRUE(jtag_page.contains(Marker(text_key::kFirmwareParaleloSerieDireccion)));
  // Texts built when they are used (a file filter) follow as well.
  EXPECT_EQ(LogFilter(), Marker(text_key::kArchivoDeTextoTXTTxt));

  // Back to the built-in texts: no marker is left anywhere.
  ChooseLanguage(0);
  ExpectNoMarker();
  EXPECT_EQ(LogFilter(), "Archivo de Texto (TXT)|*.txt|Todos los archivos (*.*)|*.*");
}

TEST_F(LanguageSwitchTest, SwitchingKeepsTheSerialAndModelSelectionsAndAppliesThem) {
  WriteLanguages();
  Open();
  SerialGroup* serial = page()->serial_group();
  ASSERT_EQ(serial->parity_list()->currentText(), "Impar");
  // Something else set the line meanwhile: the switch puts the chosen parity back.
  port().SetParity(Parity::kNone);
  JtagGroup* jtag = page()->jtag_group();
  ASSERT_EQ(jtag->model_list()->currentIndex(), 1);

  ChooseLanguage(2);
  EXPECT_EQ(serial->parity_list()->currentText(), "Odd");
  EXPECT_EQ(port().settings().parity, Parity::kOdd);
  EXPECT_EQ(serial->flow_list()->currentIndex(), 2);
  EXPECT_EQ(window().port_choices().flow(), 2);
  EXPECT_EQ(jtag->model_list()->currentText(), "K2002");
  EXPECT_FALSE(jtag->flash_start_list(0)->isEnabled());
  EXPECT_EQ(jtag->flash_start_list(0)->currentText(), "7FE00000");
  EXPECT_TRUE(w_->boxes->boxes.isEmpty());

  // The choice is stored at close.
  ASSERT_TRUE(window().close());
  const QByteArray stored = testing::ReadTestFile(dir_.filePath("Tornavo.ini"));
  EXPECT_TRUE(stored.contains("\r\nIdioma=2\r\n"));
  EXPECT_TRUE(stored.contains("\r\nParidad=2\r\n"));
}

TEST_F(LanguageSwitchTest, AStoredLanguageShowsFromTheStartAndTheBuiltInSpanishIsOfferedFirst) {
  WriteLanguages("Idioma0=Marcas\r\nIdioma=0");
  Open();
  QComboBox* list = page()->language_list();
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), QString::fromUtf8("Español"));
  EXPECT_EQ(list->currentText(), "Marcas");
  EXPECT_EQ(Tab(Page::kEeprom), Marker(text_key::kEeprom));

  ChooseLanguage(-1);
  EXPECT_EQ(Tab(Page::kEeprom), "Eeprom");
  ExpectNoMarker();
  // The name of the built-in language does not change with the language shown.
  ChooseLanguage(0);
  EXPECT_EQ(list->itemText(0), QString::fromUtf8("Español"));
}

}  // namespace
}  // namespace tornavo
