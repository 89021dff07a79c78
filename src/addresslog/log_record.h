// The address log's lines: writing one record, reading the items of a line back, and finding the
// last lines of the log from its end. Portable: no Windows header.
//
// A record is one line: "date","LAN","WAN" followed by CR LF, in the ANSI code page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nb {

// A label text as the log holds it: CR, LF and double quotes removed (they would break the line or
// its items), then leading and trailing spaces removed.
std::wstring LogFieldText(std::wstring_view labelText);

// True when a field read back from the log is clean text that can stand in a record: no control
// character (C0, DEL or C1) and no double quote. A damaged log yields fields that are neither.
bool IsCleanLogField(std::wstring_view field);

// One record with its CR LF; the fields are written as they stand.
std::wstring FormatLogRecord(std::wstring_view date, std::wstring_view lan, std::wstring_view wan);

// The items of one line, read one after another:
// - items are separated by commas; spaces and tabs before an item are skipped;
// - an item that starts with a double quote runs to the next double quote and is taken without its
//   quotes; whatever stands between the closing quote and the next comma is ignored;
// - any other item runs to the next comma, without its trailing spaces and tabs.
// An item whose closing quote is missing was cut short: it is not counted, reading stops there and
// `cutShort` is set.
struct LogLineItems {
  std::vector<std::wstring> items;
  bool cutShort = false;
};
LogLineItems ReadLogItems(std::wstring_view line);

// Looks for the last `lineCount` lines of a log that hold more than spaces and tabs, in the bytes at
// its end. Lines end at CR, at LF or at CR LF. `tailStartsFile` says whether the bytes are the whole
// file; when they are not and a wanted line may begin before them, `complete` is false and the
// caller reads a longer tail.
struct LogEndScan {
  bool complete = false;
  std::vector<std::string> lines;  // older first; fewer than asked when the log holds fewer
  bool endsWithLineBreak = false;  // the last byte of the log is CR or LF
};
LogEndScan ScanLogEnd(std::string_view tail, bool tailStartsFile, std::size_t lineCount);

// Where a log that cannot be read back is kept: "Netbeacon.log" gives "Netbeacon.damaged.log" for
// number 1, "Netbeacon.damaged-2.log" for number 2, and so on, in the same folder.
std::wstring DamagedCopyPath(std::wstring_view logPath, int number);

}  // namespace nb
