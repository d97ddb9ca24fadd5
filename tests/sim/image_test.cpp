// The generated memory images, walked with a small independent reader of
// the stamp stream, and their values converted with the host's equations.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include "convert/calibration.h"
#include "core/checksum.h"
#include "core/text.h"
#include "link/protocol.h"
#include "sim/simulated_logger.h"
#include "sim_rig.h"

namespace kts {
namespace {

constexpr const char* kCodes[] = {"TIM", "CLD", "CHG", "LUK", "WRM", "STP",
                                  "TTY", "REC", "BST", "SER", "RTC", "GAN"};

struct Walk {
  int records = 0;
  int midRecordStamps = 0;
  int backToBack = 0;
  int zeroWords = 0;
  std::map<std::string, int> stamps;
  std::vector<int> burstLengths;
  std::vector<std::vector<uint32_t>> words;  // per channel
};

bool IsCode(const uint8_t* p) {
  for (const char* c : kCodes)
    if (std::memcmp(p, c, 3) == 0) return true;
  return false;
}

Walk WalkImage(const std::vector<uint8_t>& image, size_t header, int channels, bool bursts) {
  Walk w;
  w.words.resize(static_cast<size_t>(channels));
  size_t at = header;
  int channel = 0;
  bool afterStamp = false, inBurst = false;
  while (at + 3 <= image.size()) {
    const uint32_t word = uint32_t{image[at]} << 16 | uint32_t{image[at + 1]} << 8 | image[at + 2];
    if (word == 0 && at + 12 <= image.size() && IsCode(&image[at + 3])) {
      const std::string code(reinterpret_cast<const char*>(&image[at + 3]), 3);
      ++w.stamps[code];
      if (channel != 0) ++w.midRecordStamps;
      if (afterStamp) ++w.backToBack;
      channel = 0;
      inBurst = bursts && code == "BST";
      if (inBurst) w.burstLengths.push_back(0);
      afterStamp = true;
      at += 12;
      continue;
    }
    afterStamp = false;
    at += 3;
    if (inBurst) {
      ++w.burstLengths.back();
      continue;
    }
    if (word == 0) ++w.zeroWords;
    w.words[static_cast<size_t>(channel)].push_back(word);
    if (++channel == channels) channel = 0, ++w.records;
  }
  return w;
}

Coefficients ReadCurrentCoefficients(Session& s, int channel) {
  uint8_t table[64];
  Coefficients c{};
  EXPECT_EQ(ReadTable(s, Format("V0000%02X", channel), table, sizeof table), 1);
  std::memcpy(c.data(), table, 32);
  return c;
}

TEST(GeneratedImage, ExtendedCarriesEveryStampKindAndRealisticValues) {
  test::SimRig rig("extended", {"records = 2000", "time_stamp_every = 500"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  const std::vector<uint8_t> image = rig.sim->image();
  ASSERT_GE(image.size(), 48u);
  EXPECT_EQ(ByteSum(image.data(), 48), kTableSum) << "the header sums to 0xA5";
  // Start 2026-11-30 00:00:00 and the 10-second period, BCD, ahead of the fields.
  EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 6),
            (std::vector<uint8_t>{0x26, 0x11, 0x30, 0x00, 0x00, 0x00}));
  EXPECT_EQ(std::vector<uint8_t>(image.begin() + 12, image.begin() + 15),
            (std::vector<uint8_t>{0x00, 0x00, 0x10}));
  EXPECT_EQ(image[23] | image[24] << 8, 60) << "averaging length";

  const Walk w = WalkImage(image, 48, 3, false);
  for (const char* code : kCodes) EXPECT_GE(w.stamps.count(code), 1u) << code;
  EXPECT_EQ(w.midRecordStamps, 1);
  EXPECT_GE(w.backToBack, 2);  // STP+WRM and REC+RTC
  EXPECT_EQ(w.zeroWords, 1);
  EXPECT_EQ(w.records, 1999);  // one record given up to the comms stamp

  // The host's own equations with the logger's coefficients give sea water.
  const Coefficients cond = ReadCurrentCoefficients(rig.s(), 1);
  const Coefficients temp = ReadCurrentCoefficients(rig.s(), 2);
  const Coefficients pres = ReadCurrentCoefficients(rig.s(), 3);
  EXPECT_NE(temp, (Coefficients{0.0035, -0.00025, 2.7e-06, 2.3e-08})) << "not the default set";
  for (size_t i = 0; i < w.words[1].size(); i += 97) {
    EXPECT_NEAR(ConvertTemperature(static_cast<int32_t>(w.words[1][i]), temp), 11.5, 4.0);
    EXPECT_NEAR(ConvertPolynomial(static_cast<int32_t>(w.words[2][i]), pres), 50.0, 3.0);
    if (w.words[0][i]) {
      EXPECT_NEAR(ConvertPolynomial(static_cast<int32_t>(w.words[0][i]), cond), 38.2, 2.5);
    }
  }
}

TEST(GeneratedImage, TideAndWaveBurstsSitBehindBurstStamps) {
  auto sim = sim::SimulatedLogger::Start(test::SimRig::Options("hkv", {"records = 36"}), nullptr);
  ASSERT_TRUE(sim);
  const Walk w = WalkImage(sim->image(), 48, 2, true);
  ASSERT_EQ(w.burstLengths.size(), 6u);  // one an hour at a ten-minute period
  for (int n : w.burstLengths) EXPECT_EQ(n, 512);
  EXPECT_EQ(w.records, 36);
  EXPECT_EQ(w.stamps.at("BST"), 6);
}

TEST(GeneratedImage, AutorangingWordsCarryTheirGainCode) {
  auto sim = sim::SimulatedLogger::Start(test::SimRig::Options("rangeswitch", {"records = 1500"}),
                                         nullptr);
  ASSERT_TRUE(sim);
  const Walk w = WalkImage(sim->image(), 48, 4, false);
  for (int channel : {2, 3}) {
    std::set<uint32_t> gains;
    for (uint32_t word : w.words[static_cast<size_t>(channel)]) {
      if (word == 0) continue;
      EXPECT_EQ(word & 1, 0u);
      gains.insert((word & 6) >> 1);
    }
    if (channel == 2) {
      EXPECT_GE(gains.size(), 2u) << "the turbidity event changes range";
    }
    EXPECT_FALSE(gains.empty());
  }
}

TEST(GeneratedImage, TheSeedDecidesTheImage) {
  sim::SimOptions o = test::SimRig::Options("qz", {"records = 300"});
  auto a = sim::SimulatedLogger::Start(o, nullptr);
  auto b = sim::SimulatedLogger::Start(o, nullptr);
  o.seed = 2;
  auto c = sim::SimulatedLogger::Start(o, nullptr);
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(a->image(), b->image());
  EXPECT_NE(a->image(), c->image());
  EXPECT_EQ(a->image().size(), c->image().size());
}

TEST(GeneratedImage, TheOldestRecorderHasNoHeader) {
  auto sim =
      sim::SimulatedLogger::Start(test::SimRig::Options("hv140", {"records = 600"}), nullptr);
  ASSERT_TRUE(sim);
  const std::vector<uint8_t> image = sim->image();
  EXPECT_EQ(image.size() % 3, 0u);
  EXPECT_NE(image[0] | image[1] | image[2], 0) << "a record first, not a stamp";
  const Walk w = WalkImage(image, 0, 1, false);
  EXPECT_EQ(w.records, 600);
  EXPECT_EQ(w.stamps.at("TIM"), 2);  // a day is 288 records
  EXPECT_EQ(sim->snapshot().memoryPointer, 0x20000u + image.size());
}

TEST(GeneratedImage, ASavedImageIsReplayedByteForByte) {
  auto original =
      sim::SimulatedLogger::Start(test::SimRig::Options("qz", {"records = 100"}), nullptr);
  ASSERT_TRUE(original);
  const std::vector<uint8_t> image = original->image();
  const std::string path = testing::TempDir() + "/sim_replay_test.hex";
  {
    std::ofstream f(path);
    f << "KTS QZ-740  4.30 002210 (Windows: 6.01)\nLogging start 26/10/01 00:00:00\n"
      << "Number of bytes of data " << image.size()
      << "\n|     |     |     |     |     |     |     |";
    for (size_t i = 0; i < image.size(); ++i)
      f << (i % 24 == 0 ? "\n" : "") << Format("%02X", image[i]);
  }
  sim::SimOptions o = test::SimRig::Options("qz", {"records = 5"});
  o.hexFile = path;
  test::SimRig rig(o);
  ASSERT_TRUE(rig.ok()) << rig.error;
  EXPECT_EQ(rig.sim->image(), image);
  ASSERT_TRUE(QueryTagged(rig.s(), "G", "CDP"));
  EXPECT_EQ(rig.s().reply.text(),
            Format("%02X%02X%02X00CDP", static_cast<unsigned>(image.size() & 0xFF),
                   static_cast<unsigned>((image.size() >> 8) & 0xFF), 2u));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace kts
