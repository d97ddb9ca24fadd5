#include "data/decode_image.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/checksum.h"
#include "core/time_math.h"
#include "image_builder.h"
#include "link/protocol.h"
#include "pty_peer.h"
#include "test_session.h"

namespace kts {
namespace {

class DecodeImageTest : public ::testing::Test {
 protected:
  DecodeImageTest() {
    s.link.identity.model = "QZ-740";
    s.link.identity.firmware = 3.00f;
    s.description.channelCount = 2;
    s.description.channelTypes = {'P', 'C'};
    s.description.averaging = true;
    for (auto& c : s.coefficients.c) c = {0.0, 1.0, 0.0, 0.0};
    s.deployment.startTime = MakeTime(2024, 6, 1, 0, 0, 0);
    s.deployment.samplingPeriod = MakePeriod(0, 1, 0);
  }

  // A parameter block with start code 1 and 12 readings of averaging.
  static test::ImageBuilder WithHeader(uint8_t startByte = 1) {
    test::ImageBuilder b;
    b.fill(30);
    b.data[15] = startByte;
    b.data[23] = 12;
    b.data[29] = TableCheckByte(b.data.data(), 29);
    return b;
  }

  void load(const test::ImageBuilder& b) {
    std::copy(b.data.begin(), b.data.end(), s.image.bytes.get());
    s.image.length = b.size();
  }

  test::TestSession t;
  Session& s = t.s;
};

TEST_F(DecodeImageTest, AFreshRetrievalTakesItsSettingsFromTheHeaderAndKeepsItsLogger) {
  test::ImageBuilder b = WithHeader();
  b.record({0x400000, 0x200000}).record({0x800000, 0x200000});
  load(b);
  ASSERT_EQ(DecodeImage(s, false), 1);

  EXPECT_EQ(s.deployment.block.startMode, kStartNow);
  EXPECT_TRUE(s.deployment.averagingEnabled);
  EXPECT_EQ(s.deployment.averagingPeriod, 2u);
  EXPECT_EQ(s.data.sampleCount, 2);
  EXPECT_EQ(s.data.headerLength, 30);
  EXPECT_EQ(s.data.startTime, s.deployment.startTime);
  EXPECT_EQ(s.data.runningTime, AddSeconds(s.deployment.startTime, 120));
  EXPECT_EQ(s.data.context.identity.model, "QZ-740");
  EXPECT_EQ(s.data.context.description.channelCount, 2);
  EXPECT_EQ(s.app.sampleCount, 2);
  EXPECT_EQ(s.app.channelCount, s.data.totalChannels);
  EXPECT_TRUE(t.ui.messages.empty()) << t.ui.messageTexts();
}

TEST_F(DecodeImageTest, TheParameterBlockOfAConnectedLoggerIsReadFromTheLogger) {
  test::ImageBuilder block = WithHeader(0x80 | 1);
  std::string reply(block.data.begin(), block.data.end());
  reply += static_cast<char>(ByteSum(block.data.data(), 30));
  test::PtyPeer peer([&](test::PtyPeer& p, std::string& pending) {
    if (pending.rfind("I1E00020000000200", 0) == 0) {
      pending.clear();
      p.reply(reply);
    }
  });
  ASSERT_TRUE(t.openLogger(peer.path()));
  s.link.connected = true;

  test::ImageBuilder b = WithHeader(1);  // the image's copy says otherwise
  b.record({0x400000, 0x200000});
  load(b);
  ASSERT_EQ(DecodeImage(s, false), 1);
  EXPECT_EQ(s.deployment.block.powerFlag, kPowerFlag);
  EXPECT_EQ(s.data.sampleCount, 1);
}

TEST_F(DecodeImageTest, OldHvLoggersHaveNoHeaderToDecode) {
  s.link.identity.model = "HV-3070";
  s.link.identity.firmware = 1.40f;
  s.description.channelCount = 1;
  s.deployment.block.startMode = kStartAboveThreshold;
  s.deployment.averagingEnabled = false;
  test::ImageBuilder b = WithHeader();
  load(b);
  ASSERT_EQ(DecodeImage(s, false), 1);
  EXPECT_EQ(s.deployment.block.startMode, kStartAboveThreshold);
  EXPECT_FALSE(s.deployment.averagingEnabled);
  EXPECT_EQ(s.data.sampleCount, 10);  // every word is a sample
}

TEST_F(DecodeImageTest, FileDecodesKeepTheStartTimeTheReaderSetAndTouchNoDeployment) {
  s.data.startTime = MakeTime(2023, 1, 2, 3, 4, 5);
  s.data.samplePeriod = MakePeriod(0, 0, 30);
  s.deployment.averagingEnabled = false;
  test::ImageBuilder b = WithHeader();
  b.record({0x400000, 0x200000});
  load(b);
  ASSERT_EQ(DecodeImage(s, true), 1);
  EXPECT_FALSE(s.deployment.averagingEnabled);
  EXPECT_EQ(s.data.runningTime, MakeTime(2023, 1, 2, 3, 4, 35));
}

TEST_F(DecodeImageTest, TheStampLimitMessageIsShownOncePerDecode) {
  test::ImageBuilder b = WithHeader();
  for (int i = 0; i < kMaxStamps + 50; ++i) b.stamp("TIM", MakeTime(2024, 6, 1)).record({1, 1});
  load(b);
  ASSERT_EQ(DecodeImage(s, false), 1);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  const Message& m = t.ui.messages[0];
  EXPECT_EQ(m.text,
            "Data contains more timestamps than buffer can hold.\nSubsequent timestamps will be "
            "suppressed.");
  EXPECT_EQ(m.caption, "Timestamps");
  EXPECT_EQ(m.icon, Icon::Warning);
  EXPECT_EQ(s.data.stampCount, kMaxStamps);
  EXPECT_EQ(s.data.sampleCount, kMaxStamps + 50);

  ASSERT_EQ(RedecodeImage(s, true), 1);
  EXPECT_EQ(t.ui.messages.size(), 2u);
}

TEST_F(DecodeImageTest, BurstsCutToTheStoreAreReportedOnTheStatusLine) {
  s.description.waves = true;
  test::ImageBuilder b = WithHeader();
  for (int i = 0; i < kMaxBursts + 2; ++i) b.stamp("BST", MakeTime(2024, 6, 1)).word(0x100000);
  load(b);
  ASSERT_EQ(DecodeImage(s, false), 1);
  ASSERT_FALSE(t.ui.statuses.empty());
  EXPECT_EQ(t.ui.lastStatus(),
            "Unable to keep every wave burst: 2 bursts beyond 1350 and 0 burst samples beyond "
            "16384 were left out.");
  EXPECT_TRUE(t.ui.statuses.back().warningIcon);
  EXPECT_EQ(s.data.burstCount, kMaxBursts);
}

TEST_F(DecodeImageTest, RawCountDecodesReuseTheLoggerKeptWithTheData) {
  test::ImageBuilder b = WithHeader();
  b.record({0xE00000, 0x200000});
  load(b);
  ASSERT_EQ(DecodeImage(s, false), 1);
  EXPECT_FLOAT_EQ(s.data.row(0)[0], static_cast<float>(0xE00000 / 16777216.0 - 1.0));

  // Another logger connects meanwhile.
  s.link.identity.model = "HV-3070";
  s.description.channelCount = 1;
  s.coefficients.c[0] = {5.0, 0.0, 0.0, 0.0};

  ASSERT_EQ(RedecodeImage(s, true), 1);
  EXPECT_TRUE(s.data.rawCounts);
  EXPECT_EQ(s.data.measuredChannels, 2);
  EXPECT_FLOAT_EQ(s.data.row(0)[0], static_cast<float>(0xE00000 / 16777216.0));
  EXPECT_FLOAT_EQ(s.data.row(1)[0], 0.125f);

  ASSERT_EQ(RedecodeImage(s, false), 1);
  EXPECT_FALSE(s.data.rawCounts);
  EXPECT_FLOAT_EQ(s.data.row(0)[0], static_cast<float>(0xE00000 / 16777216.0 - 1.0));

  s.image.length = 0;
  EXPECT_EQ(RedecodeImage(s, true), 0);
}

}  // namespace
}  // namespace kts
