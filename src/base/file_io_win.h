// Reading and writing files: the program's one way of doing it. Every failure is raised through
// FileOperationError (base/system_error_win.h), naming what could not be done and the path.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/unique_any_win.h"

namespace nb {

// The words a failed write puts before the path: when the file cannot be had, and when the bytes
// cannot be written to it ("Cannot create", "Cannot write to").
struct WriteFailureWords {
  std::wstring_view open;
  std::wstring_view write;
};

// Creates the file, or replaces the one that is there, with the bytes. Nobody else may open it
// meanwhile.
void WriteWholeFile(const std::wstring& path, std::string_view bytes, WriteFailureWords words);

// Adds the bytes at the end of the file, creating it when it is missing. Others may read it
// meanwhile.
void AppendToFile(const std::wstring& path, std::string_view bytes, WriteFailureWords words);

// A file open for reading; others may go on reading and writing it. A failure says "Cannot open"
// or "Cannot read" before the path.
class InputFile {
 public:
  explicit InputFile(std::wstring path);

  unsigned long long Size() const;
  // Exactly `size` bytes from `offset`; a file that ends before them raises error 75.
  std::string ReadAt(unsigned long long offset, std::size_t size) const;

 private:
  std::wstring path_;
  unique_file file_;
};

// Deletes the file; a failure raises the file error ("Cannot delete" and the path).
void DeleteFileOrRaise(const std::wstring& path);

// The whole file, or nothing when it is longer than `maxBytes` (it is then not read).
std::optional<std::string> ReadWholeFile(const std::wstring& path,
                                         std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

}  // namespace nb
