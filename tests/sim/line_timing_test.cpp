#include <gtest/gtest.h>

#include "sim/reply_line.h"
#include "sim/request_framer.h"

// Computed schedules with made-up clock values: no real time is measured here.
namespace tornavo::sim {
namespace {

// Unpaced pieces and the gaps between them are met by the split replies over the pty.
TEST(ReplyLine, PacedPiecesLeaveOneCharacterTimeApart) {
  ReplyLine line;
  line.set_char_time(1000);
  line.Push("$.EE\r", 10000, 0, false);
  EXPECT_TRUE(line.TakeDue(10999).isEmpty());
  EXPECT_EQ(line.NextDeadline(), 11000);
  EXPECT_EQ(line.TakeDue(12500), QList<QByteArray>({"$."}));
  EXPECT_EQ(line.NextDeadline(), 13000);
  EXPECT_EQ(line.TakeDue(20000), QList<QByteArray>({"EE\r"}));
  EXPECT_TRUE(line.empty());
  // The line was free at 15000, so the next reply starts at once, not at 20000.
  line.Push("AB", 14000, 0, false);
  EXPECT_EQ(line.TakeDue(20000), QList<QByteArray>({"AB"}));
  // Back to back: a whole piece queues behind the other and leaves when it has crossed.
  line.Push("AAA", 30000, 0, false);
  line.Push("BB", 0, 0, true);
  EXPECT_EQ(line.TakeDue(34000), QList<QByteArray>({"AAA"}));
  EXPECT_EQ(line.NextDeadline(), 35000);
  EXPECT_TRUE(line.TakeDue(34999).isEmpty());
  EXPECT_EQ(line.TakeDue(35000), QList<QByteArray>({"BB"}));
}

TEST(RequestFramer, EndsFramesByLengthNewPercentOrQuietGap) {
  RequestFramer framer(20000);
  QList<QByteArray> frames;
  auto feed = [&](const QByteArray& text, Micros at) {
    for (char c : text) frames += framer.Feed(c, at);
  };
  feed("%EE?00010F", 0);
  EXPECT_TRUE(frames.isEmpty());
  feed("1%PR?", 10);
  EXPECT_EQ(frames, QList<QByteArray>({"%EE?00010F1"}));
  feed("E", 20);
  EXPECT_EQ(frames.size(), 1);
  feed("%HELP", 30);  // a short frame closed by the next '%'
  EXPECT_EQ(frames.last(), "%PR?E");
  EXPECT_FALSE(framer.TakeIfQuiet(20029).has_value());
  EXPECT_EQ(framer.QuietDeadline(), 20030);
  EXPECT_EQ(framer.TakeIfQuiet(20030), "%HELP");
  EXPECT_FALSE(framer.QuietDeadline().has_value());
  feed("%DL=7FE00000000000040105XX", 40000);
  EXPECT_EQ(frames.last(), "%DL=7FE00000000000040105XX");
}

}  // namespace
}  // namespace tornavo::sim
