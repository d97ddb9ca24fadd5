// Every built-in profile through the host's protocol primitives over a real
// pseudo-terminal: identity, status, memory pointer and the whole image.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/text.h"
#include "link/logger_status.h"
#include "link/protocol.h"
#include "sim_rig.h"
#include "sim_test_support.h"

namespace kts {
namespace {

class EveryProfile : public testing::TestWithParam<std::string> {};

TEST_P(EveryProfile, IdentifiesItselfAndServesItsWholeImage) {
  // Small deployments keep the test quick; the tide-and-wave logger still
  // gets bursts, the older QZ its calibration records.
  test::SimRig rig(GetParam(), {"records = 150"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  const sim::Profile& p = rig.sim->profile();
  Session& s = rig.s();

  ASSERT_TRUE(QueryTagged(s, "A", "KTS"));
  EXPECT_EQ(s.reply.text(), Format("KTS %s %d.%02d %06d\r\n", p.model.c_str(), p.firmware / 100,
                                   p.firmware % 100, p.serial));

  ASSERT_TRUE(QueryTagged(s, "T", "Logger"));
  int code = -1, second = -1;
  ASSERT_TRUE(ParseStatusReply(s.reply.text(), sim::IsExtended(p), &code, &second))
      << s.reply.text();
  EXPECT_EQ(code, p.status);

  ASSERT_TRUE(QueryTagged(s, "G", "CDP"));
  const uint32_t pointer = test::PointerFromReply(s.reply.text());
  const sim::LoggerSnapshot snap = rig.sim->snapshot();
  EXPECT_EQ(pointer, snap.memoryPointer);
  EXPECT_EQ(snap.memoryBase, sim::IsExtended(p) ? 0u : 0x20000u);

  std::vector<uint8_t> read;
  ASSERT_TRUE(test::ReadImage(s, snap.memoryBase, pointer, sim::SendsCheckByte(p), &read));
  // A logging logger may have added a record since: compare what was read.
  const std::vector<uint8_t> image = rig.sim->image();
  ASSERT_GE(image.size(), read.size());
  EXPECT_TRUE(std::equal(read.begin(), read.end(), image.begin()));
  if (p.records > 0) {
    EXPECT_GE(read.size(), 150u * 3);
  }
}

INSTANTIATE_TEST_SUITE_P(BuiltIn, EveryProfile,
                         testing::Values("extended", "qz", "hv140", "hv2", "lv", "hkv",
                                         "rangeswitch", "yp930"));

}  // namespace
}  // namespace kts
