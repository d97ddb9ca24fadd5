#include "sim/hex_image.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "core/text.h"
#include "sim/text_file.h"
#include "sim/wire_fields.h"

namespace kts::sim {
namespace {

constexpr size_t kLargestFile = 64 * 1024 * 1024;  // 8 MiB as hex text, with room for the header

}  // namespace

bool ParseHexImage(const std::string& text, HexImage* out, std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  const size_t firstEnd = text.find('\n');
  const std::string first = text.substr(0, firstEnd);
  const size_t kts = first.find("KTS");
  if (kts == std::string::npos)
    return fail("not a KTS HEX file: its first line names no KTS logger");
  std::istringstream words(first.substr(kts));
  std::string maker, model;
  words >> maker >> model;

  static constexpr std::string_view kCountKey = "Number of bytes of data";
  const size_t key = text.find(kCountKey);
  if (key == std::string::npos)
    return fail("not a KTS HEX file: no \"Number of bytes of data\" line");
  const char* digits = text.c_str() + key + kCountKey.size();
  char* end = nullptr;
  const long long count = std::strtoll(digits, &end, 10);
  if (end == digits || count < 0) return fail("the number of bytes of data is not a number");
  if (static_cast<unsigned long long>(count) > kLargestImage)
    return fail(Format("%lld bytes of data is more than a logger memory holds (8 MiB)", count));

  // The data start on the line after the ruler.
  size_t at = text.find('\n', key);
  if (at != std::string::npos && at + 1 < text.size() && text[at + 1] == '|')
    at = text.find('\n', at + 1);
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(count));
  int line = 1;
  for (size_t i = 0; i < at && i < text.size(); ++i) line += text[i] == '\n';
  int high = -1;
  for (size_t i = at == std::string::npos ? text.size() : at;
       i < text.size() && bytes.size() < static_cast<size_t>(count); ++i) {
    const char c = text[i];
    if (c == '\n') ++line;
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    const int v = HexDigitValue(c);
    if (v < 0) return fail(Format("line %d: '%c' is not a hex digit", line, c));
    if (high < 0) {
      high = v;
    } else {
      bytes.push_back(static_cast<uint8_t>(high * 16 + v));
      high = -1;
    }
  }
  if (bytes.size() < static_cast<size_t>(count))
    return fail(Format("the file holds only %zu of its %lld bytes of data", bytes.size(), count));
  out->model = model;
  out->bytes = std::move(bytes);
  return true;
}

bool LoadHexImage(const std::string& path, HexImage* out, std::string* error) {
  std::string text;
  const FileRead read = ReadBoundedFile(path, kLargestFile, &text);
  if (read != FileRead::Ok) {
    if (error)
      *error = read == FileRead::CannotOpen
                   ? "cannot open the HEX file " + path
                   : path + ": larger than any HEX file of a logger memory";
    return false;
  }
  std::string why;
  if (!ParseHexImage(text, out, &why)) {
    if (error) *error = path + ": " + why;
    return false;
  }
  return true;
}

}  // namespace kts::sim
