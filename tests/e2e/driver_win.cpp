#include "e2e/driver_win.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <cwctype>

#ifndef NB_E2E_PROGRAM
#error "NB_E2E_PROGRAM must name the netbeacon.exe under test"
#endif

namespace nbtest::e2e {
namespace {

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD written = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (written == 0 || written >= size) return path;
  full.resize(written);
  return full;
}

// A text of plain ASCII characters as bytes (names of registry values).
std::string Narrow(const std::wstring& text) {
  std::string bytes;
  for (const wchar_t c : text) bytes.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return bytes;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return Upper(FullPath(a)) == Upper(FullPath(b)); }

std::wstring ImagePath(HANDLE process) {
  std::wstring path(MAX_PATH * 4, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process, 0, path.data(), &size)) return {};
  path.resize(size);
  return path;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The current environment with the overrides applied, as a sorted Unicode environment block.
std::wstring EnvironmentBlock(const EnvironmentOverrides& overrides) {
  std::vector<std::wstring> entries;
  if (wchar_t* block = GetEnvironmentStringsW()) {
    for (const wchar_t* p = block; *p; p += wcslen(p) + 1) entries.emplace_back(p);
    FreeEnvironmentStringsW(block);
  }
  const auto nameOf = [](const std::wstring& entry) {
    // Entries like "=C:=C:\x" start with '=': the name runs to the second '='.
    const size_t eq = entry.find(L'=', 1);
    return Upper(entry.substr(0, eq));
  };
  for (const auto& [name, value] : overrides) {
    const std::wstring key = Upper(name);
    entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const std::wstring& e) { return nameOf(e) == key; }),
                  entries.end());
    if (!value.empty()) entries.push_back(name + L"=" + value);
  }
  std::sort(entries.begin(), entries.end(),
            [&](const std::wstring& a, const std::wstring& b) { return nameOf(a) < nameOf(b); });
  std::wstring result;
  for (const std::wstring& entry : entries) {
    result += entry;
    result.push_back(L'\0');
  }
  result.push_back(L'\0');
  return result;
}

struct EnumState {
  const WindowQuery* query;
  std::vector<HWND> found;
};

bool Matches(HWND hwnd, const WindowQuery& query) {
  if (query.visibleOnly && !IsWindowVisible(hwnd)) return false;
  if (query.pid != 0 && ProcessOf(hwnd) != query.pid) return false;
  if (!query.className.empty() && ClassNameOf(hwnd) != query.className) return false;
  if (query.title) {
    const std::optional<std::wstring> title = ControlText(hwnd, 2000);
    if (!title || *title != *query.title) return false;
  }
  return true;
}

// Every program the tests start runs in this job, which ends them all when the test process
// goes, however it goes (a time-out of the test runner included). Otherwise a left program, or
// the crash handler it started, would keep the runner waiting on an inherited output pipe.
HANDLE TestJob() {
  static const nb::unique_handle job = [] {
    nb::unique_handle created(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (created && !SetInformationJobObject(created.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
      created.reset();
    }
    return created;
  }();
  return job.get();
}

}  // namespace

std::wstring ProgramPath() {
  // The build gives the path in its own form: a Unix path when cross-compiled (Wine shows the
  // Unix root as drive Z:), a drive path with forward slashes otherwise.
  std::wstring path = L"" NB_E2E_PROGRAM;
  if (!path.empty() && path.front() == L'/') path = L"Z:" + path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

RunningProgram& RunningProgram::operator=(RunningProgram&& other) noexcept {
  if (this != &other) {
    Kill();
    process_ = std::move(other.process_);
    pid_ = std::exchange(other.pid_, 0);
  }
  return *this;
}

bool RunningProgram::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> RunningProgram::WaitForExit(DWORD timeoutMs) const {
  if (!process_) return std::nullopt;
  if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

void RunningProgram::Kill() {
  if (!Running()) return;
  TerminateProcess(process_.get(), 0xDEAD);
  WaitForSingleObject(process_.get(), kExitTimeout);
}

RunningProgram StartProgram(const std::wstring& arguments, const EnvironmentOverrides& environment,
                            std::wstring* error) {
  const std::wstring program = ProgramPath();
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::wstring block;
  if (!environment.empty()) block = EnvironmentBlock(environment);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Started suspended, so that it is in the job before it can start anything itself. Under Wine,
  // on a busy machine, CreateProcess now and then fails with ERROR_INTERNAL_ERROR (seen twice
  // here); the same call a moment later starts the program.
  bool created = false;
  DWORD lastError = 0;
  for (int attempt = 0; attempt < 3 && !created; ++attempt) {
    if (attempt > 0) Sleep(200);
    created = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                             CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED, block.empty() ? nullptr : block.data(),
                             nullptr, &startup, &info) != FALSE;
    lastError = created ? 0 : GetLastError();
    if (!created && lastError != ERROR_INTERNAL_ERROR) break;
  }
  if (!created) {
    if (error) *error = L"CreateProcess of " + program + L" failed with error " + std::to_wstring(lastError);
    return {};
  }
  const nb::unique_handle thread(info.hThread);
  RunningProgram started(nb::unique_handle(info.hProcess), info.dwProcessId);
  // Without the job (a system that refuses nested jobs) the RunningProgram guard still applies.
  if (TestJob()) AssignProcessToJobObject(TestJob(), started.handle());
  ResumeThread(thread.get());
  return started;
}

std::vector<std::wstring> EndLeftoverCopies() {
  std::vector<std::wstring> foreign;
  const std::wstring program = ProgramPath();
  const std::wstring exeName = Upper(FileNameOf(program));
  nb::unique_file snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return foreign;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId() || Upper(FileNameOf(entry.szExeFile)) != exeName) continue;
    nb::unique_handle process(
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process) continue;
    const std::wstring image = ImagePath(process.get());
    if (!image.empty() && !SamePath(image, program)) {
      foreign.push_back(image);
      continue;
    }
    TerminateProcess(process.get(), 0xDEAD);
    WaitForSingleObject(process.get(), kExitTimeout);
  }
  return foreign;
}

std::wstring ClassNameOf(HWND hwnd) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
  return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, result.data(), size, nullptr, nullptr);
  return result;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

std::vector<HWND> FindWindows(const WindowQuery& query) {
  std::vector<HWND> all;
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> found;
  for (HWND hwnd : all) {
    if (Matches(hwnd, query)) found.push_back(hwnd);
  }
  return found;
}

HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> windows = FindWindows(query);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

HWND WaitForControl(HWND parent, int id, DWORD timeoutMs) {
  HWND control = nullptr;
  WaitUntil(
      [&] {
        control = GetDlgItem(parent, id);
        return control != nullptr || !IsWindow(parent);
      },
      timeoutMs);
  return control;
}

std::vector<HWND> ChildWindows(HWND parent, const std::wstring& className) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (className.empty() || Upper(ClassNameOf(child)) == Upper(className)) children.push_back(child);
  }
  return children;
}

ShownWindows::ShownWindows(DWORD pid)
    : thread_([this, pid] {
        while (!stopping_) {
          for (const HWND window : FindWindows({{}, std::nullopt, pid})) {
            const std::wstring name = ClassNameOf(window);
            const std::lock_guard lock(mutex_);
            classes_.insert(name);
          }
          Sleep(10);
        }
      }) {}

ShownWindows::~ShownWindows() {
  stopping_ = true;
  thread_.join();
}

std::set<std::wstring> ShownWindows::Classes() const {
  const std::lock_guard lock(mutex_);
  return classes_;
}

std::optional<std::wstring> ControlText(HWND hwnd, DWORD timeoutMs) {
  if (!IsWindow(hwnd)) return std::nullopt;
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &length)) return std::nullopt;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           timeoutMs, &copied)) {
    return std::nullopt;
  }
  text.resize(std::min<size_t>(static_cast<size_t>(copied), text.size() - 1));
  return text;
}

std::optional<MessageBoxTexts> ReadMessageBox(HWND box) {
  const std::optional<std::wstring> title = ControlText(box);
  if (!title) return std::nullopt;
  MessageBoxTexts texts{*title, {}};
  for (HWND child : ChildWindows(box, L"Static")) {
    const std::optional<std::wstring> text = ControlText(child);
    if (text && !text->empty()) {
      texts.text = *text;
      break;
    }
  }
  return texts;
}

bool Click(HWND button) { return IsWindow(button) && PostMessageW(button, BM_CLICK, 0, 0); }

bool ClickDialogButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  return button ? Click(button) : false;
}

bool DoubleClick(HWND control) {
  // Only the double-click message: a real double click's first press is a plain button-down,
  // which the program may treat as a separate action.
  RECT rect{};
  if (!GetClientRect(control, &rect)) return false;
  const LPARAM middle = MAKELPARAM((rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2);
  return PostMessageW(control, WM_LBUTTONDBLCLK, MK_LBUTTON, middle) != FALSE;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(pollMs);
  }
}

std::optional<DWORD> CloseAndWait(RunningProgram& program, HWND window, DWORD timeoutMs) {
  if (IsWindow(window)) PostMessageW(window, WM_CLOSE, 0, 0);
  return program.WaitForExit(timeoutMs);
}

// --- Settings ---------------------------------------------------------------------------------

namespace {

nb::unique_hkey OpenSettingsKey(const std::wstring& keyPath = kSettingsKey) {
  nb::unique_hkey key;
  RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.put(),
                  nullptr);
  return key;
}

std::optional<std::pair<DWORD, std::vector<BYTE>>> ReadRaw(HKEY key, const std::wstring& name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::vector<BYTE> bytes(size);
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) return std::nullopt;
  bytes.resize(size);
  return std::make_pair(type, std::move(bytes));
}

}  // namespace

void ScopedSettings::Remember(const std::wstring& name) {
  for (const Saved& saved : saved_) {
    if (Upper(saved.name) == Upper(name)) return;
  }
  const nb::unique_hkey key = OpenSettingsKey(keyPath_);
  saved_.push_back(Saved{name, key ? ReadRaw(key.get(), name) : std::nullopt});
}

ScopedSettings& ScopedSettings::Set(const std::wstring& name, const std::wstring& value, DWORD type) {
  Remember(name);
  if (const nb::unique_hkey key = OpenSettingsKey(keyPath_)) {
    RegSetValueExW(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  return *this;
}

ScopedSettings& ScopedSettings::Remove(const std::wstring& name) {
  Remember(name);
  if (const nb::unique_hkey key = OpenSettingsKey(keyPath_)) RegDeleteValueW(key.get(), name.c_str());
  return *this;
}

std::optional<std::wstring> ScopedSettings::Read(const std::wstring& name) {
  const nb::unique_hkey key = OpenSettingsKey();
  if (!key) return std::nullopt;
  const auto raw = ReadRaw(key.get(), name);
  if (!raw || (raw->first != REG_SZ && raw->first != REG_EXPAND_SZ)) return std::nullopt;
  std::wstring text(reinterpret_cast<const wchar_t*>(raw->second.data()), raw->second.size() / sizeof(wchar_t));
  return std::wstring(text.c_str());
}

ScopedSettings::~ScopedSettings() {
  const nb::unique_hkey key = OpenSettingsKey(keyPath_);
  if (!key) return;
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->previous) {
      RegSetValueExW(key.get(), it->name.c_str(), 0, it->previous->first, it->previous->second.data(),
                     static_cast<DWORD>(it->previous->second.size()));
    } else {
      RegDeleteValueW(key.get(), it->name.c_str());
    }
  }
}

// --- Other programs -----------------------------------------------------------------------------

std::optional<CommandResult> RunCommand(const std::wstring& commandLine, DWORD timeoutMs, std::wstring* error) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  nb::unique_handle readEnd;
  nb::unique_handle writeEnd;
  if (!CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0)) {
    if (error) *error = L"CreatePipe failed with error " + std::to_wstring(GetLastError());
    return std::nullopt;
  }
  SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = writeEnd.get();
  startup.hStdError = writeEnd.get();
  PROCESS_INFORMATION info{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &info)) {
    if (error) *error = L"CreateProcess of " + commandLine + L" failed with error " + std::to_wstring(GetLastError());
    return std::nullopt;
  }
  const nb::unique_handle thread(info.hThread);
  RunningProgram process(nb::unique_handle(info.hProcess), info.dwProcessId);  // ended if the bound passes
  if (TestJob()) AssignProcessToJobObject(TestJob(), process.handle());
  ResumeThread(thread.get());
  writeEnd.reset();  // only the child writes now, so the pipe breaks when it ends

  CommandResult result;
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr)) break;  // broken: all read
    if (available > 0) {
      std::string chunk(available, '\0');
      DWORD got = 0;
      if (!ReadFile(readEnd.get(), chunk.data(), available, &got, nullptr)) break;
      result.output.append(chunk.data(), got);
      continue;
    }
    if (GetTickCount64() >= deadline) {
      if (error) *error = commandLine + L" did not end within " + std::to_wstring(timeoutMs) + L" ms";
      return std::nullopt;
    }
    Sleep(10);
  }
  const std::optional<DWORD> code = process.WaitForExit(static_cast<DWORD>(
      std::max<ULONGLONG>(deadline, GetTickCount64() + 1000) - GetTickCount64()));
  if (!code) {
    if (error) *error = commandLine + L" did not end within " + std::to_wstring(timeoutMs) + L" ms";
    return std::nullopt;
  }
  result.exitCode = *code;
  return result;
}

std::optional<std::wstring> RegQueryValueText(const std::string& printout, const std::wstring& name) {
  const std::string wanted = Narrow(name);
  size_t start = 0;
  while (start < printout.size()) {
    size_t end = printout.find('\n', start);
    if (end == std::string::npos) end = printout.size();
    std::string line = printout.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // "    <name>    <type>    <value>": blanks, the name, blanks, the type, blanks, the value.
    size_t at = line.find_first_not_of(' ');
    if (at == std::string::npos || line.compare(at, wanted.size(), wanted) != 0) continue;
    at += wanted.size();
    const size_t typeStart = line.find_first_not_of(' ', at);
    if (typeStart == std::string::npos || typeStart == at) continue;
    const size_t typeEnd = line.find(' ', typeStart);
    const std::string type = line.substr(typeStart, typeEnd == std::string::npos ? std::string::npos : typeEnd - typeStart);
    if (type != "REG_SZ") continue;
    if (typeEnd == std::string::npos) return std::wstring();
    const size_t valueStart = line.find_first_not_of(' ', typeEnd);
    if (valueStart == std::string::npos) return std::wstring();
    const std::string value = line.substr(valueStart);
    return std::wstring(value.begin(), value.end());
  }
  return std::nullopt;
}

std::optional<std::wstring> QueryValueWithRegTool(const std::wstring& name, std::string* output) {
  std::wstring error;
  const std::optional<CommandResult> run =
      RunCommand(L"reg.exe query \"HKCU\\" + std::wstring(kSettingsKey) + L"\" /v " + name, kActionTimeout, &error);
  if (!run) {
    if (output) *output = Utf8(error);
    return std::nullopt;
  }
  if (output) *output = run->output;
  if (run->exitCode != 0) return std::nullopt;
  return RegQueryValueText(run->output, name);
}

// --- The address log ------------------------------------------------------------------------------

std::wstring LogFilePath(const std::wstring& fileName) {
  PWSTR folder = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder))) return {};
  std::wstring path(folder);
  CoTaskMemFree(folder);
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path + L"Ambertop software\\Netbeacon\\" + fileName;
}

ScopedLogFile::ScopedLogFile(std::wstring path) : path_(std::move(path)) {
  if (path_.empty()) return;
  aside_ = path_ + L".kept-during-tests";
  const auto exists = [](const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; };
  // Left aside by a run that was killed: that is the user's log, and the one in its place a test's.
  if (exists(aside_) && !MoveFileExW(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) return;
  if (exists(path_)) {
    if (!MoveFileExW(path_.c_str(), aside_.c_str(), 0)) return;
    movedAside_ = true;
  }
  ready_ = true;
}

ScopedLogFile::~ScopedLogFile() {
  if (!ready_) return;
  DeleteFileW(path_.c_str());
  if (movedAside_) MoveFileExW(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// --- Clipboard ----------------------------------------------------------------------------------

namespace {

// The clipboard, open for as long as the object lives.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(DWORD timeoutMs) {
    WaitUntil([&] { return (open_ = OpenClipboard(nullptr) != FALSE); }, timeoutMs, 10);
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

ClipboardRead ReadClipboardText(UINT format, DWORD timeoutMs) {
  ClipboardRead read;
  const OpenedClipboard clipboard(timeoutMs);
  read.opened = clipboard.open();
  if (!read.opened) return read;
  HANDLE data = GetClipboardData(format);  // owned by the clipboard
  if (!data) return read;
  const void* locked = GlobalLock(data);
  if (!locked) return read;
  const size_t bytes = GlobalSize(data);
  if (format == CF_UNICODETEXT) {
    const auto* text = static_cast<const wchar_t*>(locked);
    const size_t capacity = bytes / sizeof(wchar_t);
    size_t length = 0;
    while (length < capacity && text[length]) ++length;
    read.text = std::wstring(text, length);
  } else {
    const auto* text = static_cast<const char*>(locked);
    size_t length = 0;
    while (length < bytes && text[length]) ++length;
    std::wstring wide;
    if (length > 0) {
      const int size = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
      wide.resize(static_cast<size_t>(size > 0 ? size : 0));
      if (size > 0) MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), wide.data(), size);
    }
    read.text = wide;
  }
  GlobalUnlock(data);
  return read;
}

bool PutClipboardText(const std::wstring& text, DWORD timeoutMs) {
  const OpenedClipboard clipboard(timeoutMs);
  if (!clipboard.open() || !EmptyClipboard()) return false;
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  nb::unique_hglobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return false;
  void* target = GlobalLock(memory.get());
  if (!target) return false;
  memcpy(target, text.c_str(), bytes);
  GlobalUnlock(memory.get());
  if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
  memory.release();  // the clipboard owns it now
  return true;
}

ScopedClipboardText::ScopedClipboardText() : saved_(ReadClipboardText(CF_UNICODETEXT).text) {}

ScopedClipboardText::~ScopedClipboardText() {
  if (saved_) {
    PutClipboardText(*saved_);
  } else {
    const OpenedClipboard clipboard(5000);
    if (clipboard.open()) EmptyClipboard();
  }
}

// --- Keyboard and screen --------------------------------------------------------------------------

HWND FocusedWindowOf(HWND window) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (thread == 0) return nullptr;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

bool BringToForeground(HWND window, DWORD timeoutMs) {
  return WaitUntil(
      [&] {
        if (GetForegroundWindow() == window) return true;
        SetForegroundWindow(window);
        return GetForegroundWindow() == window;
      },
      timeoutMs);
}

bool PressKeys(const std::vector<WORD>& virtualKeys) {
  std::vector<INPUT> inputs;
  for (const WORD key : virtualKeys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    inputs.push_back(input);
  }
  for (auto it = virtualKeys.rbegin(); it != virtualKeys.rend(); ++it) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *it;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(*it, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  return sent == inputs.size();
}

namespace {

struct screen_dc_traits : nb::detail::invalid_value<HDC, 0> {
  using type = HDC;
  static void close(HDC dc) noexcept { ReleaseDC(nullptr, dc); }
};
struct memory_dc_traits : nb::detail::invalid_value<HDC, 0> {
  using type = HDC;
  static void close(HDC dc) noexcept { DeleteDC(dc); }
};

}  // namespace

ScreenPixels ReadScreenPixels(HWND window) {
  ScreenPixels pixels;
  RECT client{};
  if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return pixels;
  POINT origin{0, 0};
  if (!ClientToScreen(window, &origin)) return pixels;
  const nb::unique_any<screen_dc_traits> screen(GetDC(nullptr));
  if (!screen) return pixels;
  const nb::unique_any<memory_dc_traits> memory(CreateCompatibleDC(screen.get()));
  if (!memory) return pixels;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const nb::unique_any<nb::gdi_traits> bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return pixels;
  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  const BOOL copied = BitBlt(memory.get(), 0, 0, client.right, client.bottom, screen.get(), origin.x, origin.y, SRCCOPY);
  GdiFlush();
  SelectObject(memory.get(), previous);
  if (!copied) return pixels;
  pixels.width = client.right;
  pixels.height = client.bottom;
  const auto* bgrx = static_cast<const BYTE*>(bits);
  pixels.colours.reserve(static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height));
  for (size_t i = 0; i < static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height); ++i) {
    pixels.colours.push_back(RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]));
  }
  return pixels;
}

int ScreenDpi() {
  const nb::unique_any<screen_dc_traits> screen(GetDC(nullptr));
  return screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
}

}  // namespace nbtest::e2e
