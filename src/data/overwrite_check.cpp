#include "data/overwrite_check.h"

#include <filesystem>

#include "core/text.h"
#include "platform/ui.h"

namespace kts {

bool ConfirmOverwrite(Ui& ui, const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return true;
  const Answer a =
      ui.message({Format("%s already exists.\nContinue to overwrite this file?", path.c_str()),
                  "Write File", Icon::Warning, Buttons::YesNo, Answer::No});
  return a == Answer::Yes;
}

}  // namespace kts
