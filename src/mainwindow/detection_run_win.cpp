// The detection run: the progress window, the run on a worker, and what follows its end (the
// labels, the error reports, the log, the address table's menu entry, a switch's copy).
#include <windows.h>

#include "addresslog/log_writer_win.h"
#include "base/skip_trap_win.h"
#include "detect/public_address_win.h"
#include "mainwindow/frmMain_win.h"
#include "ui/error_report_win.h"
#include "ui/menus_win.h"

namespace nb {

void FrmMain::SetAddresses(const Addresses& addresses) {
  addresses_ = addresses;
  ShowAddresses();
}

// The labels show the value; the hidden one keeps the last public-address result.
void FrmMain::ShowAddresses() {
  lblLANip.SetText(addresses_.LanText());
  lblWANip.SetText(addresses_.WanText());
  lblHDDNPublicIP.SetText(addresses_.wan.value_or(kPublicNotYetSet));
}

void FrmMain::updateLOG() { AppendAddressChanges(addresses_.LanText(), addresses_.WanText()); }

void FrmMain::cmdFindMyIP_Click() { StartRun(RunKind::kFind, nullptr); }

// A run, then `then`. A click while a run is under way starts nothing: Find is disabled then.
void FrmMain::StartRun(RunKind kind, std::function<void()> then) {
  if (run_.Running()) return;
  runKind_ = kind;
  before_ = addresses_;
  afterRun_ = std::move(then);
  watch_.RunStarted();
  showIPs();
}

// A check of watch mode shows no progress window and no message box.
void FrmMain::showIPs() {
  const bool started = ReportTrap(kShowIPsErrorLabel, [&] {
    if (runKind_ == RunKind::kFind) {
      if (!working_.IsOpen()) working_.Load(hwnd());
      if (!working_.Visible()) working_.Show();
      working_.Repaint();
    }
    run_.Start(
        hwnd(),
        [settings = LoadServiceSettings(), lan = lanLookup](TaskContext<RunStep>& task) {
          return FindAddresses(settings, lan, task.Stop(), [&task](RunStep step) { task.Report(std::move(step)); });
        },
        [this](DetectionResult result) { RunEnded(std::move(result)); },
        [this](const RunStep& step) { RunStepShown(step); });
    // The focus leaves Find before it is disabled, so that the keyboard still reaches the window.
    if (GetFocus() == cmdFindMyIP.hwnd) cmdPREFS.Focus();
    cmdFindMyIP.Enable(false);
  });
  if (!started) {
    working_.Hide();
    AfterRun();
  }
}

void FrmMain::RunStepShown(const RunStep& step) {
  if (step.kind == RunStep::Kind::kTrying) {
    working_.SetTrying(step.text);
    return;
  }
  addresses_.lan = step.text;
  ShowAddresses();
}

void FrmMain::RunEnded(DetectionResult result) {
  working_.Hide();
  cmdFindMyIP.Enable(true);
  TakeFindings(addresses_, result);
  ShowAddresses();
  for (const ErrorToReport& report : result.reports) {
    if (runKind_ == RunKind::kFind) {
      ReportError(report.error, report.label);
    } else {
      TraceSkippedError(report.error.number, report.error.description, report.label);
    }
  }
  AfterRun();
  watch_.RunEnded(before_, addresses_, result.reports.empty() ? std::wstring() : result.reports.back().error.description);
}

// The rest of the Find button's work: the log and the address table's menu entry when both
// addresses are there, the focus; then what follows the run, and the load step's next run. A
// check that could not reach the public address says nothing about it, and logs nothing.
void FrmMain::AfterRun() {
  ReportTrap(L"frmMain cmdFindMyIP_Click", [&] {
    if (!addresses_.BothKnown()) return;
    if (runKind_ == RunKind::kCheck && !addresses_.PublicFound()) return;
    updateLOG();
    EnableMenuCommand(menuBar(), frmMainIds::menuShowALLIPs, true);
    if (runKind_ == RunKind::kFind) SkipTrap(L"frmMain cmdFindMyIP_Click", [&] { cmdPREFS.Focus(); });
  });
  if (const std::function<void()> then = std::exchange(afterRun_, nullptr)) {
    SkipTrap(L"frmMain Form_Load", then);
  }
  ContinueLoad();
}

// The load step's runs, one after the other; the window shows itself once they are over.
void FrmMain::ContinueLoad() {
  if (!loading_ || run_.Running() || !IsOpen()) return;
  if (!loadRuns_.empty()) {
    std::function<void()> then = std::move(loadRuns_.front());
    loadRuns_.pop_front();
    StartRun(RunKind::kFind, std::move(then));
    return;
  }
  loading_ = false;
  LoadWatch();
  if (showRequested_) Show();
}

}  // namespace nb
