#include "support/scripted_ui_win.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/text_win.h"
#include "ui/message_loop_win.h"

namespace nbtest {

int ScriptedModalUi::ShowMessage(const nb::MessageBoxArgs& args) {
  messages.push_back(args);
  if (messageAnswers.empty()) return IDOK;
  const int answer = messageAnswers.front();
  messageAnswers.pop_front();
  return answer;
}

std::optional<std::wstring> ScriptedModalUi::SaveFileName(const nb::FileDialogArgs& args) {
  saveDialogs.push_back(args);
  if (saveAnswers.empty()) return std::nullopt;
  auto answer = saveAnswers.front();
  saveAnswers.pop_front();
  return answer;
}

std::optional<std::wstring> ScriptedModalUi::OpenFileName(const nb::FileDialogArgs& args) {
  openDialogs.push_back(args);
  if (openAnswers.empty()) return std::nullopt;
  auto answer = openAnswers.front();
  openAnswers.pop_front();
  return answer;
}

void ScriptedModalUi::ShowModal(nb::ModalWindow& window, HWND owner) {
  window.ResetEnd();
  window.Load(owner);
  modalCaptions.push_back(nb::WindowText(window.hwnd()));
  modalOwners.push_back(GetWindow(window.hwnd(), GW_OWNER));
  if (onModal) onModal(window);
  window.Unload();
}

int ScriptedModalUi::ShowPopupMenu(HMENU menu, HWND, POINT) {
  std::vector<std::wstring> entries;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 255;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    std::wstring entry = (info.fType & MFT_SEPARATOR) ? L"-" : text;
    if (info.fState & MFS_DISABLED) entry += L"(grey)";
    entries.push_back(entry);
  }
  popups.push_back(entries);
  if (popupChoices.empty()) return 0;
  const int chosen = popupChoices.front();
  popupChoices.pop_front();
  return chosen;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The program's own message loop, woken by a timer of the thread so that the bound is seen too.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, nullptr);
  PumpMessages();
  bool held = condition();
  if (!held) {
    nb::RunMessageLoop([&] { return (held = condition()) || GetTickCount64() >= deadline; });
  }
  KillTimer(nullptr, timer);
  return held;
}

TempFolder::TempFolder() {
  namespace fs = std::filesystem;
  static int counter = 0;
  const fs::path base = fs::temp_directory_path() /
                        (L"nbtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
  fs::create_directories(base);
  path_ = base.wstring();
  if (path_.back() != L'\\') path_ += L'\\';
}

namespace {

// Removes a folder and everything in it, read-only files included. Through the system's calls
// rather than std::filesystem, whose directory walk here fails on paths longer than 260 characters.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + L"\\");
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::~TempFolder() { RemoveTree(path_); }

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace nbtest
