#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "base/app_error.h"
#include "base/dynamic_library_win.h"
#include "base/system_error_win.h"
#include "base/unique_any_win.h"
#include "base/worker_win.h"
#include "detect/answer_head.h"
#include "detect/download_win.h"

namespace nb {
namespace {

// The URL download and internet cache libraries, loaded when first needed (a failed load raises
// run-time error 48, and is tried again the next time).
struct InternetApi {
  using DownloadFn = decltype(&URLDownloadToFileW);
  using CheckConnectionFn = decltype(&InternetCheckConnectionW);
  using DeleteCacheEntryFn = decltype(&DeleteUrlCacheEntryW);
  using SetOptionFn = decltype(&InternetSetOptionW);

  DynamicLibrary urlmon{L"urlmon.dll"};
  DynamicLibrary wininet{L"wininet.dll"};
  DownloadFn download = urlmon.Get<DownloadFn>("URLDownloadToFileW");
  CheckConnectionFn checkConnection = wininet.Get<CheckConnectionFn>("InternetCheckConnectionW");
  DeleteCacheEntryFn deleteCacheEntry = wininet.Get<DeleteCacheEntryFn>("DeleteUrlCacheEntryW");
  SetOptionFn setOption = wininet.Get<SetOptionFn>("InternetSetOptionW");
};

const InternetApi& Internet() {
  // Never unloaded: a probe that did not end by its bound may still run in it as the program ends.
  static const InternetApi& api = *new InternetApi;
  return api;
}

// Our side of a URL download. It keeps the binding so that another thread can abort a download
// that gets no answer; it refuses an answer whose head shows it unwanted (not a success, or a
// body longer than the limit) and a body that turns out too long on the way. Nothing here throws.
class BindCallback final : public IBindStatusCallback, public IHttpNegotiate {
 public:
  explicit BindCallback(std::uint64_t maxBytes) noexcept : maxBytes_(maxBytes) {}
  BindCallback(const BindCallback&) = delete;
  BindCallback& operator=(const BindCallback&) = delete;

  // Aborts the download now if it has started, or as soon as it starts.
  void RequestAbort() noexcept {
    IBinding* binding = nullptr;
    AcquireSRWLockExclusive(&lock_);
    abortRequested_ = true;
    binding = binding_;
    if (binding) binding->AddRef();
    ReleaseSRWLockExclusive(&lock_);
    // Outside the lock: the binding may call OnStopBinding from within Abort.
    if (binding) {
      binding->Abort();
      binding->Release();
    }
  }

  // Whether the answer was refused (an HTTP status other than success, or too long a body).
  bool Refused() const noexcept { return refused_.load(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
      *object = static_cast<IBindStatusCallback*>(this);
    } else if (IsEqualIID(riid, IID_IHttpNegotiate)) {
      *object = static_cast<IHttpNegotiate*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IBindStatusCallback
  HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding* binding) noexcept override {
    AcquireSRWLockExclusive(&lock_);
    const bool abort = abortRequested_;
    if (!abort && binding) {
      binding->AddRef();
      binding_ = binding;
    }
    ReleaseSRWLockExclusive(&lock_);
    return abort ? E_ABORT : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPriority(LONG*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG status, LPCWSTR) noexcept override {
    const bool downloading = status == BINDSTATUS_BEGINDOWNLOADDATA || status == BINDSTATUS_DOWNLOADINGDATA ||
                             status == BINDSTATUS_ENDDOWNLOADDATA;
    if (downloading && (progress > maxBytes_ || progressMax > maxBytes_)) refused_ = true;
    AcquireSRWLockShared(&lock_);
    const bool abort = abortRequested_;
    ReleaseSRWLockShared(&lock_);
    return abort || refused_ ? E_ABORT : S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) noexcept override {
    AcquireSRWLockExclusive(&lock_);
    IBinding* binding = binding_;
    binding_ = nullptr;
    ReleaseSRWLockExclusive(&lock_);
    if (binding) binding->Release();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD*, BINDINFO*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) noexcept override { return S_OK; }

  // IHttpNegotiate: the request goes out as the system makes it; the answer's head is judged
  // before any of its body is read.
  HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) noexcept override {
    if (additionalHeaders) *additionalHeaders = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnResponse(DWORD status, LPCWSTR head, LPCWSTR, LPWSTR* additionalHeaders) noexcept override {
    if (additionalHeaders) *additionalHeaders = nullptr;
    if (AnswerHeadAccepted(status, head ? head : L"", maxBytes_)) return S_OK;
    refused_ = true;
    return E_ABORT;
  }

 private:
  ~BindCallback() {
    if (binding_) binding_->Release();
  }

  const std::uint64_t maxBytes_;
  std::atomic<ULONG> references_{1};
  std::atomic<bool> refused_{false};
  SRWLOCK lock_ = SRWLOCK_INIT;
  bool abortRequested_ = false;  // guarded by lock_
  IBinding* binding_ = nullptr;  // guarded by lock_
};

// A scratch name beside `path`, new for every download of the process.
std::wstring ScratchPathFor(const std::wstring& path) {
  static std::atomic<unsigned> downloads{0};
  return path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++downloads) + L".part";
}

// One download into a scratch file of its own. Whoever is last to have a use for the scratch
// file removes it: the worker, when the download failed or its caller stopped waiting; else the
// caller, once it has taken the answer. So a download that outlives its caller's wait never
// touches a file that anyone reads.
class DownloadJob {
 public:
  DownloadJob(std::wstring url, std::wstring scratch, std::uint64_t maxBytes)
      : callback(new BindCallback(maxBytes)), url_(std::move(url)), scratch_(std::move(scratch)) {}
  ~DownloadJob() { callback->Release(); }
  DownloadJob(const DownloadJob&) = delete;
  DownloadJob& operator=(const DownloadJob&) = delete;

  void Run() noexcept {
    // Each download starts on a connection of its own. A download that was stopped may have read
    // the rest of its answer on the way out and left its connection open for reuse (seen under
    // Wine, where the next download to the same host and port took it); telling the internet
    // library that its settings changed closes such idle connections.
    Internet().setOption(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HRESULT result = Internet().download(nullptr, url_.c_str(), scratch_.c_str(), 0, callback);
    if (SUCCEEDED(com)) CoUninitialize();
    const bool succeeded = result == S_OK && !callback->Refused();
    if (!succeeded) DeleteFileW(scratch_.c_str());  // part of a body may have been written
    AcquireSRWLockExclusive(&lock_);
    ended_ = true;
    succeeded_ = succeeded;
    const bool abandoned = abandoned_;
    ReleaseSRWLockExclusive(&lock_);
    if (abandoned) DeleteFileW(scratch_.c_str());
  }

  // Called by a caller that stops waiting: from now on the scratch file is the worker's to remove.
  void Abandon() noexcept {
    AcquireSRWLockExclusive(&lock_);
    abandoned_ = true;
    const bool ended = ended_;
    ReleaseSRWLockExclusive(&lock_);
    if (ended) DeleteFileW(scratch_.c_str());  // it ended just now, leaving the file to us
  }

  // After the worker has ended: whether the answer is in the scratch file.
  bool Succeeded() const noexcept {
    AcquireSRWLockShared(&lock_);
    const bool succeeded = succeeded_;
    ReleaseSRWLockShared(&lock_);
    return succeeded;
  }

  const std::wstring& scratch() const { return scratch_; }

  BindCallback* const callback;

 private:
  const std::wstring url_;
  const std::wstring scratch_;
  mutable SRWLOCK lock_ = SRWLOCK_INIT;
  bool ended_ = false;      // guarded by lock_
  bool succeeded_ = false;  // guarded by lock_
  bool abandoned_ = false;  // guarded by lock_
};

struct ProbeJob {
  explicit ProbeJob(std::wstring url) : url(std::move(url)) {}
  void Run() noexcept { connected = Internet().checkConnection(url.c_str(), FLAG_ICC_FORCE_CONNECTION, 0) != FALSE; }

  const std::wstring url;
  std::atomic<bool> connected{false};
};

// The last probe's worker. A connection attempt cannot be called off, so a probe that outlived
// its bound may still run; it is the only one that may. Guarded by ProbeMutex().
std::shared_ptr<unique_handle>& LastProbe() {
  static auto& last = *new std::shared_ptr<unique_handle>;
  return last;
}

std::mutex& ProbeMutex() {
  static auto& mutex = *new std::mutex;
  return mutex;
}

}  // namespace

std::wstring ScratchPatternFor(const std::wstring& path) { return path + L".*.part"; }

bool DownloadFile(const std::wstring& url, const std::wstring& path, std::chrono::milliseconds bound,
                  std::uint64_t maxBytes, std::chrono::milliseconds abortGrace, const StopSignal* stop) {
  Internet();  // loaded here, where a failure can be raised, before the worker uses it
  if (stop && stop->Requested()) return false;
  auto job = std::make_shared<DownloadJob>(url, ScratchPathFor(path), maxBytes);
  const unique_handle worker = StartWorker(job);
  bool finished = WaitFor(worker.get(), stop, bound) == WaitEnd::kSignalled;
  if (!finished) {
    // A server that accepted the connection and never answers: no progress report arrives,
    // so only an abort from here ends the download.
    job->callback->RequestAbort();
    finished = WaitFor(worker.get(), nullptr, abortGrace) == WaitEnd::kSignalled;
  }
  if (!finished) job->Abandon();  // it winds down by itself, its scratch file with it
  if (!finished || !job->Succeeded()) {
    // Nothing at `path` may pass for this download's answer.
    DeleteFileW(path.c_str());
    return false;
  }
  const bool copied = CopyFileW(job->scratch().c_str(), path.c_str(), FALSE) != FALSE;
  const DWORD error = GetLastError();
  DeleteFileW(job->scratch().c_str());
  if (!copied) throw FileOperationError(error, L"Cannot write", path);
  return true;
}

bool ProbeConnection(const std::wstring& url, std::chrono::milliseconds bound, const StopSignal* stop) {
  Internet();
  const auto deadline = std::chrono::steady_clock::now() + bound;
  // An earlier probe that still runs is waited for instead of starting a second beside it; if it
  // outlasts this bound too, this probe fails without a connection attempt of its own. (Probes of
  // two runs may meet here, each on its own worker.)
  std::shared_ptr<unique_handle> worker;
  auto job = std::make_shared<ProbeJob>(url);
  for (;;) {
    std::shared_ptr<unique_handle> earlier;
    {
      std::lock_guard<std::mutex> lock(ProbeMutex());
      earlier = LastProbe();
      if (!earlier || WaitForSingleObject(earlier->get(), 0) == WAIT_OBJECT_0) {
        worker = std::make_shared<unique_handle>(StartWorker(job));
        LastProbe() = worker;
        break;
      }
    }
    if (WaitFor(earlier->get(), stop, TimeLeft(deadline)) != WaitEnd::kSignalled) return false;
  }
  // One that has not ended by the bound is left to end by itself (the worker keeps what it uses).
  return WaitFor(worker->get(), stop, TimeLeft(deadline)) == WaitEnd::kSignalled && job->connected.load();
}

void DeleteCacheEntry(const std::wstring& url) { Internet().deleteCacheEntry(url.c_str()); }

}  // namespace nb
