// The transfer's bookkeeping against a scripted far end: status values, progress, logs,
// retries and closing messages.
#include "core/eeprom/eeprom_transfer.h"

#include <gtest/gtest.h>

#include <QLocale>

#include "core/serial/checksum.h"
#include "core/serial/reply_accumulator.h"
#include "core/serial/terminal.h"
#include "support/fake_clock.h"
#include "support/fake_transport.h"
#include "support/recording_host.h"
#include "support/wait.h"

namespace tornavo {
namespace {

using testing::FakeClock;
using testing::FakeTransport;
using testing::RecordingHost;

QByteArray ReadReply(const QString& row_text) { return "$.EE" + row_text.toLatin1() + "00\r"; }

class EepromTransferTest : public ::testing::Test {
 protected:
  EepromTransferTest()
      : link_(transport_, host_),
        terminal_(link_, host_, texts_),
        transfer_(link_, host_, texts_, image_, clock_) {
    QString error;
    link_.SetTerminalRoute(&terminal_);
    transport_.Open(&error);
    transfer_.RegisterRoutes();
    transfer_.SetRefreshView([this] { ++refreshes_; });
    link_.SetTimeoutScale(0.001);
  }

  QString Status(StatusField field) const { return host_.Status(StatusPage::kEeprom, field); }

  Texts texts_;
  FakeTransport transport_;
  RecordingHost host_;
  FakeClock clock_;
  EepromImage image_;
  ServiceLink link_;
  Terminal terminal_;
  EepromTransfer transfer_;
  int refreshes_ = 0;
};

TEST_F(EepromTransferTest, FirstElevenRowsReadRowsZeroToAAndEndWithTheSuccessMessage) {
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kFirst176));
  EXPECT_EQ(host_.panels[0].total, 10);
  for (int row = 0; row < 11; ++row) {
    const QByteArray text =
        "%EE?" + QByteArray::number(row, 16).toUpper().rightJustified(2, '0') + "010";
    EXPECT_EQ(transport_.written.last(), AppendChecksum(text));
    EXPECT_EQ(Status(StatusField::kAddress), QString::fromLatin1(text.mid(4, 3)));
    clock_.now += 50;
    transport_.Deliver(ReadReply(QString(32, QChar('0' + row % 10))));
  }
  EXPECT_EQ(transport_.written.size(), 11);
  EXPECT_EQ(image_.RowText(11), QString(32, '0'));
  EXPECT_EQ(image_.RowText(12), QString(32, 'F'));
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_FALSE(host_.boxes[0].error);
  EXPECT_EQ(host_.boxes[0].text, "¡ Eeprom leída con éxito !");
  // The progress bar went up to the last row, then back to 0.
  EXPECT_EQ(*std::max_element(host_.progress_history[0].begin(), host_.progress_history[0].end()),
            10);
  EXPECT_EQ(host_.progress_history[0].back(), 0);
}

// With no row selected yet, the first row is meant.
TEST_F(EepromTransferTest, EndStateIsInPlaceBeforeTheClosingMessageShows) {
  bool clean_at_box = false;
  host_.on_box = [&](const RecordingHost::Box&) {
    clean_at_box = host_.StatusEmpty(StatusPage::kEeprom) && host_.panels[0].done == 0 &&
                   host_.pages_enabled && refreshes_ == 1 && !transfer_.running();
  };
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kSelectedRow));
  EXPECT_EQ(transport_.written.last(), AppendChecksum("%EE?00010"));
  transport_.Deliver(ReadReply(QString(32, 'A')));
  EXPECT_TRUE(clean_at_box);
  // A reply handed over after the end changes nothing and asks for nothing.
  transfer_.OnReply(ReadReply(QString(32, 'B')));
  EXPECT_EQ(image_.RowText(1), QString(32, 'A'));
  EXPECT_EQ(transport_.written.size(), 1);
}

TEST_F(EepromTransferTest, SpeedAndRemainingTime) {
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kAll));
  // Same tick as the start: speed 0, no remaining time.
  transport_.Deliver(ReadReply(QString(32, '1')));
  EXPECT_EQ(Status(StatusField::kSpeed), QLocale().toString(0.0, 'f', 2) + "b/s");
  EXPECT_EQ(Status(StatusField::kRemaining), "");
  // Two rows in 1000 ms: 32 b/s; (128 - 1) rows of 16 bytes left at that speed.
  clock_.now += 1000;
  transport_.Deliver(ReadReply(QString(32, '2')));
  EXPECT_EQ(Status(StatusField::kSpeed), QLocale().toString(32.0, 'f', 2) + "b/s");
  EXPECT_EQ(Status(StatusField::kRemaining), "64seg");
}

TEST_F(EepromTransferTest, NineRejectionsThenAcceptanceGoOnAndTenEndWithTheRetryLimit) {
  ASSERT_TRUE(transfer_.StartEepromWrite(EepromRange::kAll));
  for (int i = 0; i < 9; ++i) transport_.Deliver("$?C0\r");
  EXPECT_EQ(Status(StatusField::kErrors), "9");
  EXPECT_EQ(transport_.written.size(), 10);  // row 0 ten times
  transport_.Deliver("$.EE\r");
  EXPECT_EQ(transfer_.row_counter(), 1);
  EXPECT_TRUE(transport_.written.last().startsWith("%EE=01010"));
  // A damaged rejection or noise confirms nothing: the row goes again.
  transport_.Deliver("$?G04\r");
  transport_.Deliver("EE01\r");
  EXPECT_EQ(transfer_.row_counter(), 1);
  EXPECT_EQ(Status(StatusField::kErrors), "2");
  for (int i = 0; i < 8; ++i) transport_.Deliver("$?C0\r");
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_TRUE(host_.boxes[0].error);
  EXPECT_EQ(host_.boxes[0].text,
            "Se ha llegado al limite de reintentos. \nContacte con el autor de este programa.");
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kRetryLimit);
  EXPECT_TRUE(host_.StatusEmpty(StatusPage::kEeprom));
  EXPECT_EQ(transfer_.row_counter(), 0);
}

// A verify's limit is worded with the accent, a write's without.
TEST_F(EepromTransferTest, RejectedSingleRowIsRetriedAndNeverReportedAsSuccess) {
  image_.set_selected_row(128);
  ASSERT_TRUE(transfer_.StartEepromVerify(EepromRange::kSelectedRow));
  for (int i = 0; i < 10; ++i) transport_.Deliver("$?C0\r");
  EXPECT_EQ(transport_.written, QList<QByteArray>(10, AppendChecksum("%EE?7F010")));
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(host_.boxes[0].text,
            "Se ha llegado al límite de reintentos. \nContacte con el autor de este programa.");
}

TEST_F(EepromTransferTest, InvalidCellStopsWriteAndVerifyBeforeAnythingIsSent) {
  image_.SetCell(128, 4, "a5");
  EXPECT_FALSE(transfer_.StartEepromWrite(EepromRange::kAll));
  EXPECT_FALSE(transfer_.StartEepromVerify(EepromRange::kAll));
  EXPECT_TRUE(transport_.written.isEmpty());
  EXPECT_TRUE(host_.pages_enabled);
  EXPECT_EQ(host_.boxes.size(), 2u);  // the image test words the message
}

TEST_F(EepromTransferTest, ReadRetriesEveryReplyThatDoesNotCarryARowAndTakesLowerCaseDigits) {
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kAll));
  const QList<QByteArray> bad = {
      "$.EE0G1\r",  // cut short, not hex
      "garbage that is long enough to hold a row\r",
      "$.EE" + QByteArray(32, '\0') + "\r",                    // NUL bytes
      "$.EE" + QByteArray(32, '\xC1') + "\r",                  // bytes above 0x7F
      "$.EE" + QByteArray(31, '0') + "\r",                     // one digit short
      QByteArray(ReplyAccumulator::kMaxReplyLength + 1, '7'),  // never ends: dropped
  };
  for (const QByteArray& reply : bad) transport_.Deliver(reply);
  EXPECT_EQ(transfer_.row_counter(), 0);
  EXPECT_EQ(Status(StatusField::kErrors), QString::number(bad.size()));
  EXPECT_EQ(transport_.written.size(), bad.size() + 1);
  for (const QByteArray& frame : transport_.written) EXPECT_EQ(frame, AppendChecksum("%EE?00010"));
  EXPECT_EQ(image_.RowText(1), QString(32, 'F'));
  // Each is logged as received.
  EXPECT_TRUE(host_.Log(LogId::kEeprom).contains("garbage that is long enough to hold a row\r"));

  transport_.Deliver(ReadReply("0123456789abcdef" + QString(16, 'e')));
  EXPECT_EQ(image_.RowText(1), "0123456789ABCDEF" + QString(16, 'E'));
  for (int i = 0; i < EepromTransfer::kRetryLimit; ++i) transport_.Deliver("$.EE\r");
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kRetryLimit);
  EXPECT_EQ(image_.RowText(2), QString(32, 'F'));
}

TEST_F(EepromTransferTest, VerifyCountsGarbageAsRejectionAndComparesDigitsInEitherCase) {
  image_.SetCell(1, 1, "AB");
  image_.set_selected_row(1);
  ASSERT_TRUE(transfer_.StartEepromVerify(EepromRange::kSelectedRow));
  transport_.Deliver("$.EE" + QByteArray(32, 'x') + "\r");
  EXPECT_EQ(transport_.written.size(), 2);
  transport_.Deliver(ReadReply("ab" + QString(30, 'f')));
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kDone);
  EXPECT_TRUE(transfer_.differing_rows().isEmpty());
  EXPECT_EQ(host_.Log(LogId::kEeprom).last(), "Ninguna fila diferente.");
  EXPECT_EQ(host_.boxes.back().text, "¡ Verificación completada !\nNinguna fila diferente.");
}

TEST(DifferingRowsVerdict, CountsEveryRowAndNamesTheFirstEight) {
  const Texts texts;
  // One row is worded by the end-to-end verify.
  EXPECT_EQ(DifferingRowsVerdict({0, 1, 2, 3, 4, 5, 6, 7, 8, 0x7F}, texts),
            "10 filas diferentes: 000, 010, 020, 030, 040, 050, 060, 070, ...");
}

TEST_F(EepromTransferTest, TimeoutKeepsTheRowsReadAndReportsTheSilentReceiver) {
  transport_.SetPortName("/dev/ttyUSB3");
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kAll));
  transport_.Deliver(ReadReply(QString(32, '3')));
  ASSERT_TRUE(testing::WaitUntil([&] { return transfer_.outcome() == TransferOutcome::kNoReply; }));
  EXPECT_TRUE(host_.pages_enabled);
  EXPECT_TRUE(host_.StatusEmpty(StatusPage::kEeprom));
  EXPECT_EQ(host_.boxes.back().text,
            "¡ No hay respuesta del decodificador en ese puerto serie !\n"
            "Comprueba que está en Modo de Servicio y que el puerto es el adecuado.\n"
            "Puerto : /dev/ttyUSB3");
  EXPECT_EQ(image_.RowText(1), QString(32, '3'));
  EXPECT_EQ(refreshes_, 0);
}

}  // namespace
}  // namespace tornavo
