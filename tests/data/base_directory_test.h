// A session whose base directory is a fresh temporary directory.
#pragma once

#include <gtest/gtest.h>

#include "temp_dir.h"
#include "test_session.h"

namespace kts::test {

class BaseDirectoryTest : public ::testing::Test {
 protected:
  BaseDirectoryTest() { t.s.settings.baseDirectory = dir.path(); }
  TempDir dir;
  TestSession t;
  Session& s = t.s;
};

}  // namespace kts::test
