#include "data_files_check.h"

#include "data/data_files.h"
#include "data/line_reader.h"
#include "data/matlab_file.h"
#include "test_session.h"

namespace kts::test {

FileContents ReadBack(const std::string& path) {
  auto t = std::make_unique<TestSession>();
  Session& s = t->s;
  int read = 0;
  if (path.ends_with(".mat")) {
    read = ReadMatFile(s, path);
  } else {
    InputFile file(path);
    if (file.file == nullptr) return {};
    read = path.ends_with(".hex") ? ReadHexStream(s, file.file, path)
                                  : ReadDataStream(s, file.file, path);
  }
  FileContents c;
  c.ok = read == 1;
  if (!c.ok || s.data.sampleCount <= 0) return c;
  c.samples = s.data.sampleCount;
  c.channels = s.data.measuredChannels;
  c.first = s.data.row(0)[0];
  c.last = s.data.row(0)[c.samples - 1];
  return c;
}

}  // namespace kts::test
