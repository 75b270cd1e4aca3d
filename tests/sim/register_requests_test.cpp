#include "sim/register_requests.h"

#include <gtest/gtest.h>

#include "sim/parallel_peripheral.h"

namespace tornavo::sim {
namespace {

RequestBatch Serve(PortRegisters& port, const QByteArray& bytes) {
  return ServeRegisterRequests(port, reinterpret_cast<const unsigned char*>(bytes.constData()),
                               static_cast<size_t>(bytes.size()));
}

TEST(RegisterRequestsTest, ServesWholeRequestsAndKeepsAPartialOneForLater) {
  ParallelPeripheral port;
  RequestBatch batch = Serve(port, QByteArray("W\x02\x0C"
                                              "R\x02"
                                              "R\x01"
                                              "W\x00",
                                              9));
  EXPECT_EQ(batch.used, 7u);
  EXPECT_FALSE(batch.invalid);
  EXPECT_EQ(batch.replies, QByteArray("\x0C\xD8", 2));  // control, then status (idle)

  batch = Serve(port, QByteArray("R\x06", 2));
  EXPECT_TRUE(batch.invalid);
  EXPECT_EQ(batch.used, 0u);
  batch = Serve(port, QByteArray("R\x00X", 3));
  EXPECT_TRUE(batch.invalid);
  EXPECT_EQ(batch.used, 2u);
  EXPECT_EQ(batch.replies.size(), 1);
}

}  // namespace
}  // namespace tornavo::sim
