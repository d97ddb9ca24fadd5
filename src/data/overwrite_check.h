// Asking before a file is written over.
#pragma once

#include <string>

namespace kts {

class Ui;

// True when nothing is at the path, or the user agrees to overwrite it
// (the question defaults to No).
bool ConfirmOverwrite(Ui& ui, const std::string& path);

}  // namespace kts
