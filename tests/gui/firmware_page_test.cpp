// The page "Firmware (Paralelo+Serie)" driving the virtual receiver through a
// pseudo-terminal and its parallel side, and the " Puerto Paralelo " backend list.

#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WaitUntil;

struct UpgradeWindow : testing::VirtualReceiverWindow {
  UpgradeWindow() {
    WindowOptions options;
    options.virtual_cable = &cable;
    Open(std::move(options), "[TForm1]\r\nRetardoComienzo=200\r\nRetardoVerificacion=200\r\n");
  }
  FirmwarePage* page() { return window().firmware_page(); }
  // Presses "Enviar" and gives the box it ends with (none when nothing came in time).
  QString Send() {
    const qsizetype before = w->boxes->boxes.size();
    QTest::mouseClick(page()->send_button(), Qt::LeftButton);
    WaitUntil([&] { return w->boxes->boxes.size() > before; }, 60000);
    return w->boxes->boxes.size() > before ? w->LastBox() : QString();
  }

  sim::JtagTarget jtag;
  sim::TargetCable cable{jtag, receiver.parallel(), sim::TargetCable::Chips::kKeepBytes};
};

// The phases, their timeouts and refusals are proven on the upgrade itself; here, the page
// runs one whole, locked meanwhile.
TEST(FirmwarePage, WholeUpgradeFromAFile) {
  UpgradeWindow uw;
  ASSERT_TRUE(uw.started) << uw.error.toStdString();
  QByteArray data(30000, '\0');
  for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 + i / 256);
  ASSERT_TRUE(testing::WriteTestFile(uw.w->Path("fw.bin"), data));

  FirmwarePage* page = uw.page();
  QTest::mouseClick(page->file_source(), Qt::LeftButton);
  page->progress()->setChecked(true);
  uw.w->dialogs->Answer(uw.w->Path("fw.bin"));
  QTest::mouseClick(page->send_button(), Qt::LeftButton);
  EXPECT_EQ(uw.w->dialogs->requests.last().filter,
            "Archivo Binario (BIN, RCU o RCS)|*.bin;*.rcu;*.rcs|Todos los archivos (*.*)|*.*");
  EXPECT_FALSE(uw.window().PageTakesInput(Page::kFirmware));
  EXPECT_EQ(page->status_panel()->Value(StatusField::kTask), "Enviando");
  EXPECT_EQ(page->progress_bar()->maximum(), 30000);

  ASSERT_TRUE(WaitUntil([&] { return !uw.w->boxes->boxes.isEmpty(); }, 20000));
  EXPECT_EQ(uw.w->LastBox(), "¡ Actualización completada con éxito !");
  EXPECT_TRUE(uw.window().PageTakesInput(Page::kFirmware));
  EXPECT_EQ(uw.receiver.parallel().received(), data);
}

TEST(FirmwarePage, AddressListChoosesCommandAndPhasesAndFlashSourceNeedsAFlashList) {
  UpgradeWindow uw;
  FirmwarePage* page = uw.page();
  QComboBox* address = page->address();
  address->setFocus();
  // 7FE00000 -> 60000000 -> FFF90000 -> FFF82000
  for (int i = 0; i < 3; ++i) QTest::keyClick(address, Qt::Key_Down);
  EXPECT_EQ(address->currentText(), "FFF82000");
  EXPECT_TRUE(page->command(1)->isChecked());
  EXPECT_FALSE(page->phases()->isChecked());
  EXPECT_TRUE(uw.window().settings().Bool(Key::kFirmComando2));
  EXPECT_EQ(uw.window().settings().Int(Key::kFirmDireccion), 3);

  QTest::mouseClick(page->flash_source(), Qt::LeftButton);
  EXPECT_EQ(uw.Send(), "¡ No hay ninguna lista de canales cargada !");
  ChannelList& list = uw.window().services().channel_list;
  list.LoadRamImage(test::Channels(test::NumberedChannels(3, 1)));
  ASSERT_TRUE(list.ram());
  EXPECT_EQ(uw.Send(), "¡ La lista de canales en memoria no tiene transpondedores !");
  EXPECT_TRUE(uw.receiver.ReceivedFrames().isEmpty());
  EXPECT_TRUE(uw.window().PageTakesInput(Page::kFirmware));
}

TEST(FirmwarePage, FlashSourceSendsTheHeldListWithItsEdits) {
  UpgradeWindow uw;
  ASSERT_TRUE(uw.started) << uw.error.toStdString();
  // A small flash image whose tables sit in the blocks the settings name (0 and 1).
  const QByteArray image = test::FlashImage(test::NumberedChannels(3, 2),
                                            test::NumberedTransponders(2), 0x100, 0x10000, 0x20000);
  ChannelList& list = uw.window().services().channel_list;
  test::ScriptedChooser chooser;
  ASSERT_EQ(list.LoadFlashImage(image, chooser), LoadResult::kOk);
  Settings& settings = uw.window().settings();
  settings.SetInt(Key::kTpt, 1);
  // An edit not yet written into the image: the send must carry it.
  list.DeleteChannels(1, 1);

  // A table placed outside the image stops before anything is sent.
  settings.SetInt(Key::kTcs, 5);
  QTest::mouseClick(uw.page()->flash_source(), Qt::LeftButton);
  EXPECT_EQ(uw.Send(), "La posición 050000 queda fuera de la imagen.");
  EXPECT_TRUE(uw.w->boxes->boxes.last().error);
  EXPECT_TRUE(uw.receiver.ReceivedFrames().isEmpty());

  settings.SetInt(Key::kTcs, 0);
  EXPECT_EQ(uw.Send(), "¡ Actualización completada con éxito !");
  EXPECT_TRUE(uw.page()->log()->Lines().first().startsWith("%DL=7FE0000000020000"));
  const QByteArray sent = uw.receiver.parallel().received();
  EXPECT_EQ(sent, list.image());
  // The first channel record now holds what was the second channel.
  EXPECT_EQ(sent.mid(0x100 + 68, 3), "CH2");
  EXPECT_TRUE(uw.w->dialogs->requests.isEmpty());
}

TEST(FirmwarePage, PortCheckShowsTheReceiversVerdictAndTheBackendListStoresItsLocator) {
  UpgradeWindow uw;
  ASSERT_TRUE(uw.started) << uw.error.toStdString();
  uw.receiver.SetParallelCheckAccepted(false);
  QTest::mouseClick(uw.page()->check_button(), Qt::LeftButton);
  EXPECT_FALSE(uw.window().PageTakesInput(Page::kFirmware));
  ASSERT_TRUE(WaitUntil([&] { return !uw.w->boxes->boxes.isEmpty(); }));
  EXPECT_TRUE(uw.w->boxes->boxes[0].error);
  EXPECT_EQ(uw.w->LastBox(),
            "El decodificador informa que el puerto paralelo no funciona correctamente.");
  EXPECT_TRUE(uw.window().PageTakesInput(Page::kFirmware));
  EXPECT_TRUE(uw.page()->log()->Lines().first().startsWith("%PR?"));

  ParallelGroup* group = uw.window().config_page()->parallel_group();
  QComboBox* access = group->access_list();
  EXPECT_EQ(access->currentText(), "Virtual");
  access->setFocus();
  QTest::keyClick(access, Qt::Key_Up);
  EXPECT_EQ(uw.window().settings().Text(Key::kAccesoParalelo), "direct:378");
  // Direct I/O follows the address range.
  group->address_list()->setFocus();
  QTest::keyClick(group->address_list(), Qt::Key_End);
  EXPECT_EQ(uw.window().settings().Text(Key::kAccesoParalelo), "direct:A068");
}

}  // namespace
}  // namespace tornavo
