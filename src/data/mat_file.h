// MAT-files (MATLAB version 5, uncompressed) through libmatio, behind a small
// interface of our own: no matio type leaves mat_file.cpp, every handle and
// array is released by its owner, and the reader checks a file's structure
// and each variable's size before it lets the library read the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kts {

enum class MatClass { Char, Double, Single, Int8, UInt8, Int16, UInt16, Int32, UInt32, Int64, UInt64, Other };

struct MatVariableInfo {
  MatClass type = MatClass::Other;
  size_t rows = 0;
  size_t columns = 0;
  // Two dimensions, real, not logical: what the readers below accept.
  bool plainMatrix = false;
  size_t elements() const { return rows * columns; }
};

// A numeric array as the library read it, held until it is copied out: a
// large array then crosses memory once, from the file into its place.
class MatArray {
 public:
  MatArray();
  ~MatArray();
  MatArray(MatArray&&) noexcept;
  MatArray& operator=(MatArray&&) noexcept;

  size_t size() const;
  // Elements [first, first + count) as floats; false when they are not there.
  bool copyFloats(size_t first, size_t count, float* out) const;

 private:
  friend class MatReader;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Writes a new MAT-file at a path (the caller makes it atomic).
class MatWriter {
 public:
  MatWriter();
  ~MatWriter();
  MatWriter(const MatWriter&) = delete;
  MatWriter& operator=(const MatWriter&) = delete;

  // `headerText` is the file's descriptive header, at most 116 characters.
  bool create(const std::string& path, std::string_view headerText);
  // A 1 × length char array.
  bool putString(const std::string& name, std::string_view text);
  // A rows × width char matrix from `rows` texts of exactly `width`
  // characters each, laid end to end (row-major, as text is kept). Bytes are
  // Latin-1 characters.
  bool putCharMatrix(const std::string& name, std::string_view rowMajor, size_t rows, size_t width);
  // Numeric matrices; the data are column-major, rows × columns elements.
  bool putSingle(const std::string& name, const float* data, size_t rows, size_t columns);
  bool putDouble(const std::string& name, const double* data, size_t rows, size_t columns);
  bool putUInt32(const std::string& name, const uint32_t* data, size_t rows, size_t columns);
  // Completes the file. False when it could not be written in full.
  bool close();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Reads variables of an existing version 5 MAT-file.
class MatReader {
 public:
  MatReader();
  ~MatReader();
  MatReader(const MatReader&) = delete;
  MatReader& operator=(const MatReader&) = delete;

  // False for a file that is missing, unreadable, not a version 5 MAT-file,
  // or whose elements run past its end.
  bool open(const std::string& path);
  // The variable names in the order the file holds them.
  const std::vector<std::string>& names() const;
  // False when the variable is missing or its header cannot be read.
  bool info(const std::string& name, MatVariableInfo* out);

  // The elements of a real numeric matrix in column-major order, converted
  // to the type asked for. False (out untouched) for a missing or unreadable
  // variable, a char or non-numeric one, or one of more than `maxElements`
  // elements.
  bool readDoubles(const std::string& name, size_t maxElements, std::vector<double>* out);
  bool readFloats(const std::string& name, size_t maxElements, std::vector<float>* out);
  bool readArray(const std::string& name, size_t maxElements, MatArray* out);
  // 32-bit integers keep their bit pattern; other classes convert by value
  // (out of range: 0).
  bool readUInt32(const std::string& name, size_t maxElements, std::vector<uint32_t>* out);
  // A char matrix as its rows, each `columns` characters (Latin-1 bytes;
  // characters beyond Latin-1 become '?'), laid end to end.
  bool readCharRows(const std::string& name, size_t maxElements, std::string* rowMajor,
                    MatVariableInfo* shape);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kts
