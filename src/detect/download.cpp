#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/app_error.h"
#include "base/dynamic_library.h"
#include "base/system_error.h"
#include "base/unique_any.h"
#include "base/worker.h"
#include "detect/download.h"
#include "ui/message_loop.h"

namespace nb {
namespace {

// How long an aborted download may take to wind down before its worker is left to itself.
constexpr std::chrono::milliseconds kAbortGrace{1000};

// The URL download and internet cache libraries, loaded when first needed (a failed load raises
// run-time error 48, and is tried again the next time).
struct InternetApi {
  using DownloadFn = decltype(&URLDownloadToFileW);
  using CheckConnectionFn = decltype(&InternetCheckConnectionW);
  using DeleteCacheEntryFn = decltype(&DeleteUrlCacheEntryW);

  DynamicLibrary urlmon{L"urlmon.dll"};
  DynamicLibrary wininet{L"wininet.dll"};
  DownloadFn download = urlmon.Get<DownloadFn>("URLDownloadToFileW");
  CheckConnectionFn checkConnection = wininet.Get<CheckConnectionFn>("InternetCheckConnectionW");
  DeleteCacheEntryFn deleteCacheEntry = wininet.Get<DeleteCacheEntryFn>("DeleteUrlCacheEntryW");
};

const InternetApi& Internet() {
  // Never unloaded: a probe that did not end by its bound may still run in it as the program ends.
  static const InternetApi& api = *new InternetApi;
  return api;
}

// Our side of a URL download. It keeps the binding so that another thread can abort a download
// that gets no answer, and stops a body that is known to be too long. Nothing here throws.
class BindCallback final : public IBindStatusCallback {
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

  bool TooLarge() const noexcept { return tooLarge_.load(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
      *object = static_cast<IBindStatusCallback*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

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
    if (downloading && (progress > maxBytes_ || progressMax > maxBytes_)) tooLarge_ = true;
    AcquireSRWLockShared(&lock_);
    const bool abort = abortRequested_;
    ReleaseSRWLockShared(&lock_);
    return abort || tooLarge_ ? E_ABORT : S_OK;
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

 private:
  ~BindCallback() {
    if (binding_) binding_->Release();
  }

  const std::uint64_t maxBytes_;
  std::atomic<ULONG> references_{1};
  std::atomic<bool> tooLarge_{false};
  SRWLOCK lock_ = SRWLOCK_INIT;
  bool abortRequested_ = false;  // guarded by lock_
  IBinding* binding_ = nullptr;  // guarded by lock_
};

struct DownloadJob {
  DownloadJob(std::wstring url, std::wstring path, std::uint64_t maxBytes)
      : url(std::move(url)), path(std::move(path)), callback(new BindCallback(maxBytes)) {}
  ~DownloadJob() { callback->Release(); }
  DownloadJob(const DownloadJob&) = delete;
  DownloadJob& operator=(const DownloadJob&) = delete;

  void Run() noexcept {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    result = Internet().download(nullptr, url.c_str(), path.c_str(), 0, callback);
    if (SUCCEEDED(com)) CoUninitialize();
  }

  const std::wstring url;
  const std::wstring path;
  BindCallback* const callback;
  std::atomic<HRESULT> result{E_PENDING};
};

struct ProbeJob {
  explicit ProbeJob(std::wstring url) : url(std::move(url)) {}
  void Run() noexcept { connected = Internet().checkConnection(url.c_str(), FLAG_ICC_FORCE_CONNECTION, 0) != FALSE; }

  const std::wstring url;
  std::atomic<bool> connected{false};
};

}  // namespace

bool DownloadFile(const std::wstring& url, const std::wstring& path, std::chrono::milliseconds bound,
                  std::uint64_t maxBytes) {
  Internet();  // loaded here, where a failure can be raised, before the worker uses it
  auto job = std::make_shared<DownloadJob>(url, path, maxBytes);
  const unique_handle worker = StartWorker(job);
  bool finished = WaitWhilePainting(worker.get(), bound);
  if (!finished) {
    // A server that accepted the connection and never answers: no progress report arrives,
    // so only an abort from here ends the download.
    job->callback->RequestAbort();
    finished = WaitWhilePainting(worker.get(), kAbortGrace);
  }
  const bool succeeded = finished && job->result.load() == S_OK && !job->callback->TooLarge();
  // A download stopped on the way may have left part of the body behind.
  if (!succeeded && finished) DeleteFileW(path.c_str());
  return succeeded;
}

bool ProbeConnection(const std::wstring& url, std::chrono::milliseconds bound) {
  Internet();
  auto job = std::make_shared<ProbeJob>(url);
  const unique_handle worker = StartWorker(job);
  // A connection attempt cannot be called off; one that has not ended by the bound is left to
  // end by itself (the worker keeps what it uses).
  return WaitWhilePainting(worker.get(), bound) && job->connected.load();
}

void DeleteCacheEntry(const std::wstring& url) { Internet().deleteCacheEntry(url.c_str()); }

}  // namespace nb
