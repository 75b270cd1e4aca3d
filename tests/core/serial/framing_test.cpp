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
  EXPECT_EQ(AppendChecksum("%\xF1"), QByteArray::fromHex("25F13045"));
}

// A piece is handed over only when its last character is a carriage return: a lone one waits
// and starts the next line, two lines in one piece come out together.
TEST(ReplyAccumulator, HandsOverOnlyWhenAPieceEndsWithCarriageReturn) {
  ReplyAccumulator acc;
  EXPECT_FALSE(acc.Feed("$.EE0011"));
  EXPECT_EQ(acc.Feed("44\r").value_or("none"), "$.EE001144\r");
  EXPECT_TRUE(acc.pending().isEmpty());
  EXPECT_FALSE(acc.Feed("\r"));
  EXPECT_EQ(acc.Feed("$.EE\r").value_or("none"), "\r$.EE\r");
  EXPECT_FALSE(acc.Feed("$.A\r$.B"));
  EXPECT_EQ(acc.Feed("C\r$?C0\r").value_or("none"), "$.A\r$.BC\r$?C0\r");
}

}  // namespace
}  // namespace tornavo
