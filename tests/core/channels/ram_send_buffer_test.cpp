#include "core/channels/ram_send_buffer.h"

#include <gtest/gtest.h>

namespace tornavo {
namespace {

TEST(RamSendBufferTest, RecordsOverTheHeldImageSizedByTheChannelCount) {
  ChannelList list;
  CellError error;
  EXPECT_TRUE(BuildRamChannelSendBuffer(list, 1000, &error).isEmpty());  // nothing held

  // 999 records of 30 bytes end at 0x7512; the bytes after them keep the image's values.
  QByteArray image(0x7600, '\0');
  for (int i = 0x7512; i < 0x7600; ++i) image[i] = static_cast<char>(i);
  list.LoadRamImage(image);
  const QByteArray small = BuildRamChannelSendBuffer(list, 1000, &error);
  ASSERT_EQ(small.size(), 0x7600) << error.text.toStdString();
  EXPECT_EQ(small.mid(0x7512), image.mid(0x7512));

  // A short image: the bytes past it are 0, the size still the table's.
  list.ApplyChannelTableSize(ChannelList::kLargeChannelRows);
  list.LoadRamImage(image.left(0x100));
  const QByteArray large = BuildRamChannelSendBuffer(list, 2000, &error);
  ASSERT_EQ(large.size(), 0xEC00);
  EXPECT_EQ(large.mid(0xEA9C), QByteArray(0xEC00 - 0xEA9C, '\0'));
}

}  // namespace
}  // namespace tornavo
