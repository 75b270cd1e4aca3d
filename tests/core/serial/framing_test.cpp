#include <gtest/gtest.h>

#include "core/serial/checksum.h"
#include "core/serial/reply_accumulator.h"

namespace tornavo {
namespace {

TEST(AppendChecksum, FramesServiceCommands) {
  EXPECT_EQ(AppendChecksum("%EE?00010"), "%EE?00010F1");
  // The first character never counts, so one character or none gets the complement of 0.
  EXPECT_EQ(AppendChecksum("%"), "%FF");
  EXPECT_EQ(AppendChecksum(""), "FF");
  EXPECT_EQ(AppendChecksum("XA"), "XABE");  // ~0x41
  // Characters above 0x7F are 8-bit codes, not sign-extended.
  EXPECT_EQ(AppendChecksum(QByteArray("%\xF1", 2)), QByteArray("%\xF1"
                                                               "0E",
                                                               4));
}

TEST(ReplyAccumulator, HandsOverOnlyWhenAPieceEndsWithCarriageReturn) {
  ReplyAccumulator acc;
  EXPECT_FALSE(acc.Feed("$.EE0011"));
  EXPECT_FALSE(acc.Feed("2233"));
  EXPECT_EQ(acc.Feed("44\r").value_or("none"), "$.EE0011223344\r");
  EXPECT_TRUE(acc.pending().isEmpty());
}

TEST(ReplyAccumulator, LoneCarriageReturnWaitsAndStartsTheNextLine) {
  ReplyAccumulator acc;
  EXPECT_FALSE(acc.Feed("\r"));
  EXPECT_EQ(acc.Feed("$.EE\r").value_or("none"), "\r$.EE\r");
}

TEST(ReplyAccumulator, TwoLinesInOnePieceComeOutTogether) {
  ReplyAccumulator acc;
  EXPECT_EQ(acc.Feed("$?C0\r$.EE\r").value_or("none"), "$?C0\r$.EE\r");
  // A carriage return inside the text does not complete it: only the last character counts.
  EXPECT_FALSE(acc.Feed("$.A\r$.B"));
  EXPECT_EQ(acc.Feed("C\r").value_or("none"), "$.A\r$.BC\r");
}

}  // namespace
}  // namespace tornavo
