// The .hex file: the common header, the byte count, a ruler and the memory
// image as two hex digits a byte, 24 bytes (eight words) a line.
#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

#include "core/session.h"
#include "core/text.h"
#include "data/common_header.h"
#include "data/data_files.h"
#include "data/decode_image.h"
#include "data/directories.h"
#include "data/file_output.h"
#include "data/fixed_text.h"
#include "data/header_parser.h"
#include "data/line_reader.h"
#include "data/read_support.h"
#include "data/recent_files.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr char kRuler[] = "|     |     |     |     |     |     |     |";
constexpr int kBytesPerLine = 24;

FileProblem NotHexFile() {
  return {"This file is not an KTS HEX file", "Reading a HEX file"};
}

// Reads "%2X" values: blanks and line ends skipped, one or two hex digits a
// value. Stops at anything else, at the end of the file, or when `want`
// values were read.
constexpr std::array<int8_t, 256> MakeHexTable() {
  std::array<int8_t, 256> t{};
  for (auto& v : t) v = -1;
  for (int c = '0'; c <= '9'; ++c) t[static_cast<size_t>(c)] = static_cast<int8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) t[static_cast<size_t>(c)] = static_cast<int8_t>(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c) t[static_cast<size_t>(c)] = static_cast<int8_t>(c - 'a' + 10);
  return t;
}
constexpr std::array<int8_t, 256> kHexTable = MakeHexTable();

class HexDigitsReader {
 public:
  explicit HexDigitsReader(std::FILE* file) : file_(file) {}

  int read(uint8_t* out, int want) {
    int n = 0;
    int digits = 0;
    unsigned value = 0;
    while (n < want) {
      // Fast path: whole pairs, as our own files hold them.
      if (digits == 0) {
        while (n < want && end_ - pos_ >= 2) {
          const int hi = kHexTable[static_cast<unsigned char>(pos_[0])];
          const int lo = kHexTable[static_cast<unsigned char>(pos_[1])];
          if ((hi | lo) < 0) {
            if (pos_[0] != '\n') break;
            ++pos_;  // line end
            continue;
          }
          out[n++] = static_cast<uint8_t>(hi * 16 + lo);
          pos_ += 2;
        }
        if (n == want) break;
      }
      if (pos_ == end_ && !fill()) break;
      const unsigned char c = static_cast<unsigned char>(*pos_);
      const int v = HexValue(c);
      if (v >= 0) {
        value = value * 16 + static_cast<unsigned>(v);
        ++pos_;
        if (++digits == 2) {
          out[n++] = static_cast<uint8_t>(value);
          digits = 0;
          value = 0;
        }
        continue;
      }
      if (digits == 1) {  // a lone digit ends its value
        out[n++] = static_cast<uint8_t>(value);
        digits = 0;
        value = 0;
        continue;
      }
      if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\v' || c == '\f') {
        ++pos_;
        continue;
      }
      break;
    }
    if (digits == 1 && n < want) out[n++] = static_cast<uint8_t>(value);
    return n;
  }

 private:
  static int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  }
  bool fill() {
    const size_t got = std::fread(buffer_, 1, sizeof buffer_, file_);
    pos_ = buffer_;
    end_ = buffer_ + got;
    return got > 0;
  }

  std::FILE* file_;
  char buffer_[64 * 1024];
  char* pos_ = buffer_;
  char* end_ = buffer_;
};

void WriteImage(FileOutput& out, const uint8_t* bytes, int length) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string head = "Number of bytes of data ";
  TextOut(head).integer(length).ch('\n').text(kRuler);
  out.write(head);
  for (int i = 0; i < length;) {
    char* p = out.cursor();
    const int lineEnd = std::min(length, i + kBytesPerLine * 64);
    for (; i < lineEnd; ++i) {
      if (i % kBytesPerLine == 0) *p++ = '\n';
      *p++ = kHex[bytes[i] >> 4];
      *p++ = kHex[bytes[i] & 15];
    }
    out.advance(p);
  }
}

void ShowProblem(Session& s, const FileProblem& p) {
  s.ui.message({p.text, p.caption, Icon::Warning, Buttons::Ok, Answer::Ok});
}

}  // namespace

bool WriteHexFile(const Session& s, const std::string& path, std::string_view comment,
                  int timeColumns, std::string* error) {
  std::string header;
  HeaderOptions o;
  o.form = HeaderForm::Hex;
  o.comment = comment;
  o.timeColumns = timeColumns;
  AppendCommonHeader(s, o, header);
  FileOutput out;
  if (!out.open(path)) {
    if (error) *error = out.error();
    return false;
  }
  out.write(header);
  WriteImage(out, s.image.bytes.get(), std::clamp(s.image.length, 0, MemoryImage::kCapacity));
  if (!out.commit()) {
    if (error) *error = out.error();
    return false;
  }
  return true;
}

int ReadHexStream(Session& s, std::FILE* file, const std::string& name) {
  ShowStatus(s.ui, Format("Data from file: %s", name.c_str()));
  LineReader in(file, kHeaderLineLength);
  std::string line;
  if (!in.next(line) || !Contains(line, "KTS")) {
    ShowProblem(s, NotHexFile());
    return 0;
  }
  auto parsed = std::make_unique<ParsedHeader>();
  ParsedHeader& h = *parsed;
  FileProblem problem;
  if (!ParseCommonHeader(in, line, HeaderForm::Hex, h, &problem)) {
    ShowProblem(s, problem);
    return 0;
  }
  line = h.endLine;
  while (!Contains(line, "Number of bytes of data")) {
    if (!in.next(line)) {
      ShowProblem(s, NotHexFile());
      return 0;
    }
  }
  int declared = 0;
  const size_t at = line.find("data");
  if (!ParseCountAfter(line, at + 4, declared) || declared < 0) {
    ShowProblem(s, NotHexFile());
    return 0;
  }
  in.next(line);  // the ruler

  // From here on the file is taken: what it holds replaces the data.
  const int wanted = std::min(declared, MemoryImage::kCapacity);
  auto reader = std::make_unique<HexDigitsReader>(file);
  const int got = reader->read(s.image.bytes.get(), wanted);
  s.image.length = got;
  TakeHeader(s, h);
  if (h.asciiImage || got == 0) {
    // Text, not readings: nothing to decode, but the image stays to be
    // saved as the logger's text.
    ClearRows(s);
  } else {
    RedecodeImage(s, false);
  }
  s.app.hexDataLoaded = true;
  s.app.retrievedDataPresent = false;  // the retrieved data were replaced
  s.app.datDataLoaded = false;
  s.app.newImageSinceSave = false;
  if (declared > MemoryImage::kCapacity)
    ShowStatus(s.ui,
               Format("Unable to keep more than %d bytes of the image; the rest was left out.",
                      MemoryImage::kCapacity));
  if (got < wanted)
    s.ui.message(
        {"Error while reading file.\nThe file has lost data.\nThe available data will be "
         "plotted.",
         "Read File", Icon::Warning, Buttons::Ok, Answer::Ok});
  if (!h.comment.empty())
    ShowStatus(s.ui, Format("Data from file: %s - %s", name.c_str(), h.comment.c_str()));
  return 1;
}

int ReadHexFile(Session& s, const std::string& path) {
  std::string used = path;
  InputFile file(path);
  if (file.file == nullptr && Contains(path, "hex")) {
    used = InBaseDirectory(s.settings, "hex/" + std::filesystem::path(path).filename().string());
    file.file = std::fopen(used.c_str(), "rb");
  }
  if (file.file == nullptr) {
    s.ui.message({"File does not exist", "Read Hex File", Icon::Warning, Buttons::Ok, Answer::Ok});
    RemoveRecent(s, path);
    return 0;
  }
  if (!ReadHexStream(s, file.file, used)) return 0;
  NoteReadDirectory(s, used, DataFolder::Hex);
  return 1;
}

std::optional<std::string> ChooseHexFile(Session& s) {
  FileRequest r;
  r.title = "Select an existing 'hex' file to be opened";
  r.filter = "All Hex Files (*.hex)";
  r.pattern = "*.hex";
  r.directory = s.settings.hexDirectory;
  r.defaultName = s.link.connected ? Format("%06d*.hex", s.link.identity.serial) : "*.hex";
  return s.ui.chooseFile(r);
}

}  // namespace kts
