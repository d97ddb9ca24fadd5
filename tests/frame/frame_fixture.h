// A frame over a scripted session and a recording window, with its settings
// in a fresh directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/session.h"
#include "fake_window.h"
#include "frame/frame.h"
#include "temp_dir.h"
#include "test_session.h"

namespace kts::test {

struct FrameRig {
  TempDir base;
  TempDir registry;
  FakeWindow w;
  TestSession t;
  std::unique_ptr<Frame> frame;

  FrameRig() {
    t.s.settings.baseDirectory = base.path();
    frame = std::make_unique<Frame>(t.s, w);
  }
  Session& s() { return t.s; }
  ScriptedUi& ui() { return t.ui; }

  StartOptions options(std::string commandLine = {}) const {
    StartOptions o;
    o.baseDirectory = base.path();
    o.registryDirectory = registry.path();
    o.commandLine = std::move(commandLine);
    o.screenWidth = 1280;
    return o;
  }

  // Retrieved data in memory that no file holds yet.
  void unsavedData() {
    t.s.app.retrievedDataPresent = true;
    t.s.app.retrievedDataSaved = false;
    t.s.app.sampleCount = 100;
  }
};

}  // namespace kts::test
