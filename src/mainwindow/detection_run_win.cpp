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

// The labels show the value; the hidden one keeps the last public-address result. The IPv6 row is
// there while the machine has a global IPv6 address.
void FrmMain::ShowAddresses() {
  lblLANip.SetText(addresses_.LanText());
  lblWANip.SetText(addresses_.WanText());
  lblHDDNPublicIP.SetText(addresses_.wan.value_or(kPublicNotYetSet));
  lblLANip6.SetText(addresses_.Lan6Text());
  lblWANip6.SetText(addresses_.Wan6Text());
  ShowIPv6Row(addresses_.HasIPv6());
}

void FrmMain::updateLOG() { LogAddresses(false); }

// The IPv4 log as ever, and the IPv6 log beside it while the machine has both IPv6 addresses. A
// check that reached no public address of a family says nothing about it.
void FrmMain::LogAddresses(bool onlyFound) {
  if (!onlyFound || addresses_.PublicFound()) AppendAddressChanges(addresses_.LanText(), addresses_.WanText());
  if (addresses_.BothIPv6Known() && (!onlyFound || addresses_.Public6Found())) {
    AppendAddressChanges(Log6Path(), *addresses_.lan6, *addresses_.wan6, CurrentLogCalendar());
  }
}

void FrmMain::cmdFindMyIP_Click() { StartRun(RunKind::kFind, nullptr); }

// A run, then `then`. A click while a run is under way starts nothing: Find is disabled then.
void FrmMain::StartRun(RunKind kind, std::function<void()> then) {
  if (run_.Running() || ending_) return;
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
    watch_.RunEnded(before_, addresses_, {});
    ContinueLoad();
  }
}

// The IPv4 addresses show as soon as they are found, before the IPv6 part of the run.
void FrmMain::RunStepShown(const RunStep& step) {
  switch (step.kind) {
    case RunStep::Kind::kTrying: working_.SetTrying(step.text); return;
    case RunStep::Kind::kLanFound: addresses_.lan = step.text; break;
    case RunStep::Kind::kPublicFound:
      addresses_.wan = step.text;
      addresses_.connected = step.connected;
      break;
  }
  ShowAddresses();
}

// The run is over only once all that follows it is done: until then (a report's box lets messages
// through) no other run starts. Watch mode hears of the end last, since it may start the next.
void FrmMain::RunEnded(DetectionResult result) {
  ending_ = true;
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
  // Only now is the run over for the user: the log is written when the progress window goes.
  working_.Hide();
  cmdFindMyIP.Enable(true);
  ending_ = false;
  watch_.RunEnded(before_, addresses_, result.reports.empty() ? std::wstring() : result.reports.back().error.description);
  ContinueLoad();
}

// The rest of the Find button's work: the log and the address table's menu entry when both
// addresses are there, the focus; then what follows the run. A check that could not reach the
// public address says nothing about it, and logs nothing.
void FrmMain::AfterRun() {
  ReportTrap(L"frmMain cmdFindMyIP_Click", [&] {
    if (!addresses_.BothKnown()) return;
    LogAddresses(runKind_ == RunKind::kCheck);
    EnableMenuCommand(menuBar(), frmMainIds::menuShowALLIPs, true);
    if (runKind_ == RunKind::kFind) SkipTrap(L"frmMain cmdFindMyIP_Click", [&] { cmdPREFS.Focus(); });
  });
  if (const std::function<void()> then = std::exchange(afterRun_, nullptr)) {
    SkipTrap(L"frmMain Form_Load", then);
  }
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
