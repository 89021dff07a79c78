// Module Registry.
#include "settings/registry_win.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <optional>
#include <vector>

#include "base/text_util.h"
#include "base/unique_any_win.h"
#include "settings/key_path.h"
#include "ui/modal_win.h"

namespace nb {
namespace {

struct OpenTarget {
  HKEY root;
  std::wstring subKey;
};

// Splits the path and maps its root; nothing when the operation is to do nothing.
std::optional<OpenTarget> Target(std::wstring_view keyPath) {
  const auto parts = SplitKeyPath(keyPath);
  if (!parts) {
    ShowMessage(IncorrectFormatText(keyPath), MB_OK, kProgramName);
    return std::nullopt;
  }
  const std::uint32_t root = RootKeyFromName(parts->root);
  if (root == 0) return std::nullopt;
  // The predefined handles are sign-extended 32-bit values, as the SDK defines them.
  return OpenTarget{reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))), parts->subKey};
}

unique_hkey OpenKey(std::wstring_view keyPath, REGSAM access) {
  unique_hkey key;
  if (const auto target = Target(keyPath)) {
    if (RegOpenKeyExW(target->root, target->subKey.c_str(), 0, access, key.put()) != ERROR_SUCCESS) key.release();
  }
  return key;
}

// All the bytes of a value, whatever its size; nothing when it cannot be read.
std::optional<std::vector<BYTE>> QueryBytes(HKEY key, std::wstring_view valueName) {
  const std::wstring name(valueName);
  DWORD size = 0;
  LSTATUS rc = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, &size);
  if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return std::nullopt;
  std::vector<BYTE> data;
  // The value may grow between two calls; a few tries are plenty.
  for (int attempt = 0; attempt < 4; ++attempt) {
    data.resize(size ? size : 1);
    DWORD got = static_cast<DWORD>(data.size());
    rc = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, data.data(), &got);
    if (rc == ERROR_SUCCESS) {
      data.resize(got);
      return data;
    }
    if (rc != ERROR_MORE_DATA || got <= size) return std::nullopt;
    size = got;
  }
  return std::nullopt;
}

void SetValue(HKEY key, std::wstring_view valueName, DWORD type, const void* data, size_t size) {
  static const BYTE kNothing = 0;
  RegSetValueExW(key, std::wstring(valueName).c_str(), 0, type, size ? static_cast<const BYTE*>(data) : &kNothing,
                 static_cast<DWORD>(size));
}

}  // namespace

void CreateKey(std::wstring_view keyPath) {
  const auto target = Target(keyPath);
  if (!target) return;
  unique_hkey key;
  if (RegCreateKeyExW(target->root, target->subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                      key.put(), nullptr) != ERROR_SUCCESS) {
    key.release();
  }
}

std::optional<std::wstring> ReadString(std::wstring_view keyPath, std::wstring_view valueName) {
  const unique_hkey key = OpenKey(keyPath, KEY_READ);
  if (!key) return std::nullopt;
  const auto bytes = QueryBytes(key.get(), valueName);
  if (!bytes) return std::nullopt;
  // The stored type is not examined: the bytes are taken as UTF-16 text up to its first NUL.
  std::wstring text(bytes->size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), bytes->data(), text.size() * sizeof(wchar_t));
  return std::wstring(Trim(StripNull(text), TrimEnds::Leading));
}

void WriteString(std::wstring_view keyPath, std::wstring_view valueName, std::wstring_view text) {
  if (text.size() >= MAXDWORD / sizeof(wchar_t)) return;
  const unique_hkey key = OpenKey(keyPath, KEY_WRITE);
  if (!key) return;
  const std::wstring stored(text);  // stored with its terminating NUL
  SetValue(key.get(), valueName, REG_SZ, stored.c_str(), (stored.size() + 1) * sizeof(wchar_t));
}

std::optional<std::wstring> ReadBinary(std::wstring_view keyPath, std::wstring_view valueName) {
  const unique_hkey key = OpenKey(keyPath, KEY_READ);
  if (!key) return std::nullopt;
  const auto bytes = QueryBytes(key.get(), valueName);
  if (!bytes) return std::nullopt;
  std::wstring text;
  text.reserve(bytes->size());
  for (const BYTE byte : *bytes) {
    const char narrow = static_cast<char>(byte);
    wchar_t wide = L'?';
    MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &wide, 1);
    text += wide;
  }
  return text;
}

void WriteBinary(std::wstring_view keyPath, std::wstring_view valueName, std::wstring_view text) {
  const unique_hkey key = OpenKey(keyPath, KEY_WRITE);
  if (!key) return;
  // One byte per character: a character with no one-byte code in the ANSI code page overflows.
  // (With UTF-8 as the ANSI code page neither the flag nor the default-character test is allowed;
  // there every character but ASCII takes more than one byte.)
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  std::string bytes(text.size(), '\0');
  if (!text.empty()) {
    const int count = text.size() <= INT_MAX ? static_cast<int>(text.size()) : 0;
    const int n = WideCharToMultiByte(CP_ACP, flags, text.data(), count, nullptr, 0, nullptr,
                                      utf8 ? nullptr : &usedDefault);
    if (count == 0 || n != count || usedDefault) throw AppError(errnum::kOverflow, L"Overflow");
    WideCharToMultiByte(CP_ACP, flags, text.data(), count, bytes.data(), n, nullptr, nullptr);
  }
  SetValue(key.get(), valueName, REG_BINARY, bytes.data(), bytes.size());
}

}  // namespace nb
