#include "base/file_io_win.h"

#include <algorithm>
#include <utility>

#include "base/app_error.h"
#include "base/system_error_win.h"

namespace nb {
namespace {

void WriteOpenFile(const unique_file& file, const std::wstring& path, std::string_view bytes, WriteFailureWords words) {
  if (!file) throw FileOperationError(GetLastError(), words.open, path);
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    throw FileOperationError(GetLastError(), words.write, path);
  }
  if (written != bytes.size()) throw FileOperationError(ERROR_HANDLE_DISK_FULL, words.write, path);
}

}  // namespace

void WriteWholeFile(const std::wstring& path, std::string_view bytes, WriteFailureWords words) {
  const unique_file file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  WriteOpenFile(file, path, bytes, words);
}

void AppendToFile(const std::wstring& path, std::string_view bytes, WriteFailureWords words) {
  const unique_file file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  WriteOpenFile(file, path, bytes, words);
}

InputFile::InputFile(std::wstring path)
    : path_(std::move(path)),
      file_(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {
  if (!file_) throw FileOperationError(GetLastError(), L"Cannot open", path_);
}

unsigned long long InputFile::Size() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file_.get(), &size)) throw FileOperationError(GetLastError(), L"Cannot read", path_);
  return static_cast<unsigned long long>(size.QuadPart);
}

std::string InputFile::ReadAt(unsigned long long offset, std::size_t size) const {
  LARGE_INTEGER start{};
  start.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN)) {
    throw FileOperationError(GetLastError(), L"Cannot read", path_);
  }
  std::string bytes(size, '\0');
  for (std::size_t done = 0; done < size;) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file_.get(), bytes.data() + done, chunk, &got, nullptr)) {
      throw FileOperationError(GetLastError(), L"Cannot read", path_);
    }
    if (got == 0) throw AppError(errnum::kPathFileAccess, L"Cannot read " + path_ + L": the file ended early");
    done += got;
  }
  return bytes;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path, std::size_t maxBytes) {
  const InputFile file(path);
  const unsigned long long size = file.Size();
  if (size > maxBytes) return std::nullopt;
  return file.ReadAt(0, static_cast<std::size_t>(size));
}

void DeleteFileOrRaise(const std::wstring& path) {
  if (!DeleteFileW(path.c_str())) throw FileOperationError(GetLastError(), L"Cannot delete", path);
}

}  // namespace nb
