#include "support/scripted_ui.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ui/win_text.h"

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

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
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

TempFolder::~TempFolder() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(path_, ignored);
}

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
