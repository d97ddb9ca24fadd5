#include "data/mat_file.h"

#include <matio.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <type_traits>

namespace kts {
namespace {

// The library reports its troubles on stderr by default; ours go to the
// status line instead, so its messages are dropped.
void QuietLog(int, char*) {}
void SilenceLibrary() { Mat_LogInitFunc("kts", QuietLog); }

struct VariableDeleter {
  void operator()(matvar_t* v) const { Mat_VarFree(v); }
};
using Variable = std::unique_ptr<matvar_t, VariableDeleter>;

struct FileCloser {
  void operator()(mat_t* m) const { Mat_Close(m); }
};
using MatHandle = std::unique_ptr<mat_t, FileCloser>;

struct StdioCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

MatClass ClassOf(matio_classes c) {
  switch (c) {
    case MAT_C_CHAR: return MatClass::Char;
    case MAT_C_DOUBLE: return MatClass::Double;
    case MAT_C_SINGLE: return MatClass::Single;
    case MAT_C_INT8: return MatClass::Int8;
    case MAT_C_UINT8: return MatClass::UInt8;
    case MAT_C_INT16: return MatClass::Int16;
    case MAT_C_UINT16: return MatClass::UInt16;
    case MAT_C_INT32: return MatClass::Int32;
    case MAT_C_UINT32: return MatClass::UInt32;
    case MAT_C_INT64: return MatClass::Int64;
    case MAT_C_UINT64: return MatClass::UInt64;
    default: return MatClass::Other;
  }
}

bool IsNumeric(MatClass c) { return c != MatClass::Char && c != MatClass::Other; }

MatVariableInfo DescribeVariable(const matvar_t& v) {
  MatVariableInfo info;
  info.type = ClassOf(v.class_type);
  if (v.rank == 2 && v.dims != nullptr) {
    info.rows = v.dims[0];
    info.columns = v.dims[1];
    // Products that would overflow are refused as not plain.
    const bool fits = info.columns == 0 ||
                      info.rows <= std::numeric_limits<size_t>::max() / 2 / info.columns;
    info.plainMatrix = fits && !v.isComplex && !v.isLogical && info.type != MatClass::Other;
  }
  return info;
}

// Element i of the library's data as T, by the stored element type.
template <typename T>
bool ConvertElements(const matvar_t& v, size_t count, T* out) {
  const size_t size = Mat_SizeOf(v.data_type);
  if (v.data == nullptr && count > 0) return false;
  if (size == 0 || v.nbytes / size < count) return false;
  auto convert = [&](auto* source) {
    for (size_t i = 0; i < count; ++i) {
      const auto x = source[i];
      if constexpr (std::is_same_v<T, uint32_t>) {
        using S = std::remove_cv_t<std::remove_pointer_t<decltype(source)>>;
        if constexpr (std::is_integral_v<S> && sizeof(S) == 4) {
          out[i] = static_cast<uint32_t>(x);  // the bit pattern
        } else {
          const double d = static_cast<double>(x);
          out[i] = (d >= 0.0 && d <= 4294967295.0) ? static_cast<uint32_t>(d) : 0u;
        }
      } else {
        out[i] = static_cast<T>(x);
      }
    }
  };
  switch (v.data_type) {
    case MAT_T_DOUBLE: convert(static_cast<const double*>(v.data)); break;
    case MAT_T_SINGLE: convert(static_cast<const float*>(v.data)); break;
    case MAT_T_INT8: convert(static_cast<const int8_t*>(v.data)); break;
    case MAT_T_UINT8: convert(static_cast<const uint8_t*>(v.data)); break;
    case MAT_T_INT16: convert(static_cast<const int16_t*>(v.data)); break;
    case MAT_T_UINT16: convert(static_cast<const uint16_t*>(v.data)); break;
    case MAT_T_INT32: convert(static_cast<const int32_t*>(v.data)); break;
    case MAT_T_UINT32: convert(static_cast<const uint32_t*>(v.data)); break;
    case MAT_T_INT64: convert(static_cast<const int64_t*>(v.data)); break;
    case MAT_T_UINT64: convert(static_cast<const uint64_t*>(v.data)); break;
    default: return false;
  }
  return true;
}

// ---- Structure check ------------------------------------------------------
//
// A version 5 file is a 128-byte header, then top-level elements, each an
// 8-byte tag (type, byte count) and its bytes. The library trusts the byte
// counts and dimensions it finds; a damaged or hostile file is refused here
// before the library sees it.

constexpr uint32_t kMiInt8 = 1, kMiInt32 = 5, kMiUInt32 = 6, kMiMatrix = 14, kMiCompressed = 15;
constexpr uint32_t kCharClass = 4, kFirstNumericClass = 6, kLastNumericClass = 15;

// Bytes per element of a stored data type; 0 for a type that holds no
// array elements.
size_t ElementSize(uint32_t type) {
  switch (type) {
    case 1: case 2: case 16: return 1;   // int8, uint8, utf8
    case 3: case 4: case 17: return 2;   // int16, uint16, utf16
    case 5: case 6: case 7: case 18: return 4;  // int32, uint32, single, utf32
    case 9: case 12: case 13: return 8;  // double, int64, uint64
    default: return 0;
  }
}

class ElementWalker {
 public:
  ElementWalker(std::FILE* f, bool swap) : file_(f), swap_(swap) {}
  // Over bytes in memory (the head of a compressed element).
  ElementWalker(const std::vector<uint8_t>& bytes, bool swap) : memory_(&bytes), swap_(swap) {}

  bool readAt(uint64_t offset, void* to, size_t n) {
    if (memory_ != nullptr) {
      if (offset > memory_->size() || n > memory_->size() - offset) return false;
      std::memcpy(to, memory_->data() + offset, n);
      return true;
    }
    if (offset > static_cast<uint64_t>(std::numeric_limits<long>::max())) return false;
    return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(to, 1, n, file_) == n;
  }
  uint32_t word(const uint8_t* p) const {
    uint32_t w;
    std::memcpy(&w, p, 4);
    return swap_ ? __builtin_bswap32(w) : w;
  }

  // One sub-element of a matrix at `offset`, within `end`: its type, where
  // its data start and how many bytes they hold; `next` is the following
  // sub-element (8-byte aligned).
  bool subElement(uint64_t offset, uint64_t end, uint32_t* type, uint64_t* data, uint32_t* bytes,
                  uint64_t* next) {
    uint8_t tag[8];
    if (offset + 8 > end || !readAt(offset, tag, 8)) return false;
    const uint32_t first = word(tag);
    if ((first >> 16) != 0) {  // small element: type and count in one word, data in the next
      *type = first & 0xFFFF;
      *bytes = first >> 16;
      if (*bytes > 4) return false;
      *data = offset + 4;
      *next = offset + 8;
      return true;
    }
    *type = first;
    *bytes = word(tag + 4);
    *data = offset + 8;
    *next = offset + 8 + ((uint64_t{*bytes} + 7) / 8) * 8;
    return *next <= end;
  }

  // An uncompressed matrix: array flags, dimensions (two to a few, each a
  // 31-bit count) and a name, all inside the element.
  bool matrix(uint64_t begin, uint64_t end) {
    if (begin == end) return true;  // an empty element (an empty array)
    uint32_t type, bytes;
    uint64_t data, next;
    if (!subElement(begin, end, &type, &data, &bytes, &next) || type != kMiUInt32 || bytes != 8)
      return false;
    uint8_t flags[4];
    if (!readAt(data, flags, 4)) return false;
    matrixClass_ = word(flags) & 0xFF;
    if (!subElement(next, end, &type, &data, &bytes, &next) || type != kMiInt32 || bytes < 8 ||
        bytes % 4 != 0 || bytes > 4 * 32)
      return false;
    std::array<uint8_t, 4 * 32> dims{};
    if (!readAt(data, dims.data(), bytes)) return false;
    for (uint32_t i = 0; i < bytes / 4; ++i)
      if (static_cast<int32_t>(word(dims.data() + 4 * i)) < 0) return false;
    uint64_t elements = 1;
    for (uint32_t i = 0; i < bytes / 4; ++i) {
      const uint32_t n = word(dims.data() + 4 * i);
      elements = n == 0 ? 0 : (elements > (uint64_t{1} << 40) / n ? uint64_t{1} << 41 : elements * n);
    }
    if (!subElement(next, end, &type, &data, &bytes, &next) || type != kMiInt8) return false;
    // The real part must hold every element its dimensions promise, so that
    // the library never reserves room for data the file does not have.
    // Numeric and char arrays only: the reader has no use for cells,
    // structures, objects or sparse arrays.
    if (matrixClass_ != kCharClass && (matrixClass_ < kFirstNumericClass || matrixClass_ > kLastNumericClass))
      return false;
    if (next >= end) return elements == 0;
    if (!subElement(next, end, &type, &data, &bytes, &next)) return false;
    const size_t size = ElementSize(type);
    return size != 0 && elements <= bytes / size;
  }

 private:
  std::FILE* file_ = nullptr;
  const std::vector<uint8_t>* memory_ = nullptr;
  bool swap_;
  uint32_t matrixClass_ = 0;
};

// The first bytes of a compressed element, inflated: enough for the tag,
// flags, dimensions and name of the matrix inside and its data tag.
constexpr size_t kCompressedHead = 70 * 1024;

bool InflateHead(std::FILE* file, uint64_t offset, uint64_t bytes, std::vector<uint8_t>* head) {
  if (offset > static_cast<uint64_t>(std::numeric_limits<long>::max()) ||
      std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0)
    return false;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  head->assign(kCompressedHead, 0);
  z.next_out = head->data();
  z.avail_out = static_cast<uInt>(head->size());
  uint8_t input[16384];
  int status = Z_OK;
  while (status == Z_OK && z.avail_out > 0 && bytes > 0) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(bytes, sizeof input));
    if (std::fread(input, 1, want, file) != want) break;
    bytes -= want;
    z.next_in = input;
    z.avail_in = static_cast<uInt>(want);
    while (status == Z_OK && z.avail_in > 0 && z.avail_out > 0) status = inflate(&z, Z_NO_FLUSH);
  }
  head->resize(head->size() - z.avail_out);
  inflateEnd(&z);
  return status == Z_OK || status == Z_STREAM_END || status == Z_BUF_ERROR;
}

bool CheckCompressed(std::FILE* file, uint64_t offset, uint64_t bytes, bool swap) {
  std::vector<uint8_t> head;
  if (!InflateHead(file, offset, bytes, &head) || head.size() < 8) return false;
  ElementWalker walker(head, swap);
  if (walker.word(head.data()) != kMiMatrix) return false;
  return walker.matrix(8, 8 + uint64_t{walker.word(head.data() + 4)});
}

bool CheckStructure(const std::string& path) {
  std::unique_ptr<std::FILE, StdioCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  struct stat st;
  if (::fstat(::fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 128)
    return false;
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  uint8_t header[128];
  if (std::fread(header, 1, 128, file.get()) != 128) return false;
  bool swap;
  if (header[126] == 'I' && header[127] == 'M') swap = false;  // little-endian writer
  else if (header[126] == 'M' && header[127] == 'I') swap = true;
  else return false;
  const int version = swap ? (header[124] << 8 | header[125]) : (header[125] << 8 | header[124]);
  if (version != 0x0100) return false;
  // The little-endian host reads its own files unswapped.
  ElementWalker walker(file.get(), swap);
  uint64_t offset = 128;
  while (offset < size) {
    uint8_t tag[8];
    if (offset + 8 > size || !walker.readAt(offset, tag, 8)) return false;
    const uint32_t type = walker.word(tag);
    const uint64_t end = offset + 8 + walker.word(tag + 4);
    if (end > size) return false;
    if (type == kMiMatrix) {
      if (!walker.matrix(offset + 8, end)) return false;
    } else if (type == kMiCompressed) {
      if (!CheckCompressed(file.get(), offset + 8, end - offset - 8, swap)) return false;
    } else {
      return false;
    }
    offset = end;
  }
  return true;
}

}  // namespace

// ---- Writer ---------------------------------------------------------------

struct MatWriter::Impl {
  MatHandle mat;
  bool failed = false;

  bool put(const std::string& name, matio_classes cls, matio_types type, size_t rows,
           size_t columns, const void* data) {
    if (!mat || failed) return false;
    size_t dims[2] = {rows, columns};
    // The library only reads the data while writing; it does not keep them.
    Variable v(Mat_VarCreate(name.c_str(), cls, type, 2, dims, const_cast<void*>(data),
                             MAT_F_DONT_COPY_DATA));
    if (!v) return false;
    if (Mat_VarWrite(mat.get(), v.get(), MAT_COMPRESSION_NONE) != 0) {
      failed = true;
      return false;
    }
    return true;
  }
};

MatWriter::MatWriter() : impl_(std::make_unique<Impl>()) {}
MatWriter::~MatWriter() = default;

bool MatWriter::create(const std::string& path, std::string_view headerText) {
  SilenceLibrary();
  const std::string header(headerText.substr(0, 116));
  impl_->mat.reset(Mat_CreateVer(path.c_str(), header.c_str(), MAT_FT_MAT5));
  impl_->failed = false;
  return impl_->mat != nullptr;
}

bool MatWriter::putString(const std::string& name, std::string_view text) {
  return putCharMatrix(name, text, 1, text.size());
}

bool MatWriter::putCharMatrix(const std::string& name, std::string_view rowMajor, size_t rows,
                              size_t width) {
  if (rowMajor.size() != rows * width) return false;
  // MATLAB keeps characters as 16-bit units, column by column.
  std::vector<uint16_t> units(rowMajor.size());
  for (size_t r = 0; r < rows; ++r)
    for (size_t c = 0; c < width; ++c)
      units[c * rows + r] = static_cast<uint8_t>(rowMajor[r * width + c]);
  return impl_->put(name, MAT_C_CHAR, MAT_T_UINT16, rows, width, units.data());
}

bool MatWriter::putSingle(const std::string& name, const float* data, size_t rows, size_t columns) {
  return impl_->put(name, MAT_C_SINGLE, MAT_T_SINGLE, rows, columns, data);
}

bool MatWriter::putDouble(const std::string& name, const double* data, size_t rows,
                          size_t columns) {
  return impl_->put(name, MAT_C_DOUBLE, MAT_T_DOUBLE, rows, columns, data);
}

bool MatWriter::putUInt32(const std::string& name, const uint32_t* data, size_t rows,
                          size_t columns) {
  return impl_->put(name, MAT_C_UINT32, MAT_T_UINT32, rows, columns, data);
}

bool MatWriter::close() {
  if (!impl_->mat) return false;
  const bool closed = Mat_Close(impl_->mat.release()) == 0;
  return closed && !impl_->failed;
}

// ---- Reader ---------------------------------------------------------------

struct MatArray::Impl {
  Variable v;
  size_t elements = 0;
};

MatArray::MatArray() : impl_(std::make_unique<Impl>()) {}
MatArray::~MatArray() = default;
MatArray::MatArray(MatArray&&) noexcept = default;
MatArray& MatArray::operator=(MatArray&&) noexcept = default;

size_t MatArray::size() const { return impl_ ? impl_->elements : 0; }

bool MatArray::copyFloats(size_t first, size_t count, float* out) const {
  if (!impl_ || !impl_->v || first > impl_->elements || count > impl_->elements - first) return false;
  const matvar_t& v = *impl_->v;
  if (v.data_type == MAT_T_SINGLE) {  // as we write them: no conversion
    if (v.data == nullptr || v.nbytes / sizeof(float) < first + count) return false;
    std::memcpy(out, static_cast<const float*>(v.data) + first, count * sizeof(float));
    return true;
  }
  std::vector<float> all(first + count);
  if (!ConvertElements(v, all.size(), all.data())) return false;
  std::copy(all.begin() + static_cast<ptrdiff_t>(first), all.end(), out);
  return true;
}

struct MatReader::Impl {
  MatHandle mat;
  std::vector<std::string> names;

  // The variable with its data, after its size was checked against the limit.
  Variable read(const std::string& name, size_t maxElements, MatVariableInfo* shape) {
    if (!mat) return nullptr;
    Variable header(Mat_VarReadInfo(mat.get(), name.c_str()));
    if (!header) return nullptr;
    const MatVariableInfo info = DescribeVariable(*header);
    if (!info.plainMatrix || info.elements() > maxElements) return nullptr;
    Variable v(Mat_VarRead(mat.get(), name.c_str()));
    if (!v) return nullptr;
    const MatVariableInfo again = DescribeVariable(*v);
    if (again.rows != info.rows || again.columns != info.columns || again.type != info.type ||
        !again.plainMatrix)
      return nullptr;
    *shape = info;
    return v;
  }

  template <typename T>
  bool readNumeric(const std::string& name, size_t maxElements, std::vector<T>* out) {
    MatVariableInfo info;
    Variable v = read(name, maxElements, &info);
    if (!v || !IsNumeric(info.type)) return false;
    std::vector<T> values(info.elements());
    if (!ConvertElements(*v, values.size(), values.data())) return false;
    *out = std::move(values);
    return true;
  }
};

MatReader::MatReader() : impl_(std::make_unique<Impl>()) {}
MatReader::~MatReader() = default;

bool MatReader::open(const std::string& path) {
  SilenceLibrary();
  impl_->mat.reset();
  impl_->names.clear();
  if (!CheckStructure(path)) return false;
  impl_->mat.reset(Mat_Open(path.c_str(), MAT_ACC_RDONLY));
  if (!impl_->mat || Mat_GetVersion(impl_->mat.get()) != MAT_FT_MAT5) {
    impl_->mat.reset();
    return false;
  }
  size_t n = 0;
  char** dir = Mat_GetDir(impl_->mat.get(), &n);
  if (dir == nullptr && n > 0) {
    impl_->mat.reset();
    return false;
  }
  // The directory belongs to the file handle.
  for (size_t i = 0; i < n; ++i)
    if (dir[i] != nullptr) impl_->names.emplace_back(dir[i]);
  return true;
}

const std::vector<std::string>& MatReader::names() const { return impl_->names; }

bool MatReader::info(const std::string& name, MatVariableInfo* out) {
  if (!impl_->mat) return false;
  Variable header(Mat_VarReadInfo(impl_->mat.get(), name.c_str()));
  if (!header) return false;
  *out = DescribeVariable(*header);
  return true;
}

bool MatReader::readDoubles(const std::string& name, size_t maxElements, std::vector<double>* out) {
  return impl_->readNumeric(name, maxElements, out);
}

bool MatReader::readFloats(const std::string& name, size_t maxElements, std::vector<float>* out) {
  return impl_->readNumeric(name, maxElements, out);
}

bool MatReader::readArray(const std::string& name, size_t maxElements, MatArray* out) {
  MatVariableInfo info;
  Variable v = impl_->read(name, maxElements, &info);
  if (!v || !IsNumeric(info.type)) return false;
  const size_t size = Mat_SizeOf(v->data_type);
  if (size == 0 || (v->data == nullptr && info.elements() > 0) || v->nbytes / size < info.elements())
    return false;
  out->impl_->v = std::move(v);
  out->impl_->elements = info.elements();
  return true;
}

bool MatReader::readUInt32(const std::string& name, size_t maxElements,
                           std::vector<uint32_t>* out) {
  return impl_->readNumeric(name, maxElements, out);
}

bool MatReader::readCharRows(const std::string& name, size_t maxElements, std::string* rowMajor,
                             MatVariableInfo* shape) {
  MatVariableInfo info;
  Variable v = impl_->read(name, maxElements, &info);
  if (!v || info.type != MatClass::Char) return false;
  const size_t count = info.elements();
  const size_t rows = info.rows;
  std::string text(count, ' ');
  // Characters beyond Latin-1 cannot be kept in our texts.
  auto place = [&](auto* units) {
    for (size_t r = 0; r < rows; ++r)
      for (size_t c = 0; c < info.columns; ++c) {
        const auto u = units[c * rows + r];
        text[r * info.columns + c] = u <= 0xFF ? static_cast<char>(u) : '?';
      }
  };
  if (count > 0 && v->data == nullptr) return false;
  switch (v->data_type) {
    case MAT_T_UINT8:
    case MAT_T_INT8:
    case MAT_T_UTF8:
      // One byte per character; a UTF-8 text that is not plain ASCII does
      // not match its dimensions and reads as what its bytes say.
      if (v->nbytes < count) return false;
      place(static_cast<const uint8_t*>(v->data));
      break;
    case MAT_T_UINT16:
    case MAT_T_INT16:
    case MAT_T_UTF16:
      if (v->nbytes / 2 < count) return false;
      place(static_cast<const uint16_t*>(v->data));
      break;
    default: {
      std::vector<uint32_t> units(count);
      if (!ConvertElements(*v, count, units.data())) return false;
      place(units.data());
    }
  }
  *rowMajor = std::move(text);
  *shape = info;
  return true;
}

}  // namespace kts
