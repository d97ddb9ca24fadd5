// One Session per program run: every record of the system, one per concern,
// and the platform services the logic talks through. Created once and passed
// by reference; there are no globals, so a test can make as many as it needs.
#pragma once

#include <memory>

#include "data/data_set.h"
#include "data/memory_image.h"
#include "data/settings.h"
#include "deploy/deployment_parameters.h"
#include "deploy/setup_screen.h"
#include "frame/app_state.h"
#include "frame/plot_view.h"
#include "link/coefficient_set.h"
#include "link/link_hooks.h"
#include "link/logger_description.h"
#include "link/logger_identity.h"
#include "link/port_config.h"
#include "link/reply_buffer.h"
#include "link/retrieval_state.h"
#include "link/time_keeping.h"
#include "platform/byte_link.h"
#include "platform/clipboard.h"
#include "platform/host_clock.h"
#include "platform/ui.h"

namespace kts {

// The version of this software, as file headers and logs give it.
inline constexpr const char* kSoftwareVersion = "6.01";
inline constexpr float kSoftwareVersionNumber = 6.01f;

struct Session {
  Session(Ui& ui, HostClock& clock, PortOpener& opener, Clipboard& clipboard)
      : ui(ui), clock(clock), opener(opener), clipboard(clipboard) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Platform services.
  Ui& ui;
  HostClock& clock;
  PortOpener& opener;
  Clipboard& clipboard;

  // Serial ports (link/serial_link.h).
  PortConfig ports;
  std::unique_ptr<ByteLink> loggerPort;
  std::unique_ptr<ByteLink> gpsPort;
  CommTimeouts loggerTimeouts;
  CommTimeouts gpsTimeouts;
  OpenFailure loggerOpenFailure = OpenFailure::None;

  // Command protocol (link/protocol.h).
  ReplyBuffer reply;
  FetchState fetch;

  // The logger.
  LinkState link;
  LoggerDescription description;
  CoefficientSet coefficients;
  RetrievalState retrieval;
  LinkHooks linkHooks;      // what the frame provides to the link (link/link_hooks.h)
  TimeKeeping timeKeeping;  // next-sample test, capped elapsed time, countdown

  // Deployment.
  DeploymentParameters deployment;
  BatchValues batch;
  RetrievedDeployment retrieved;
  SetupScreen setup;  // the main setup screen (deploy/setup_screen.h)

  // Data.
  MemoryImage image;
  DataSet data;
  Settings settings;

  // Application frame.
  AppState app;
  PlotView plot;
};

}  // namespace kts
