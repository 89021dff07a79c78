// Files written and read through the one set of file operations; each failure carries its
// run-time number and names what could not be done, with the caller's words where it gives them.
#include "base/file_io_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/app_error.h"
#include "support/scripted_ui_win.h"

namespace {

const nb::WriteFailureWords kWords{L"Cannot create", L"Cannot write to"};

TEST(FileIo, WritesAppendsAndReadsBack) {
  nbtest::TempFolder folder;
  const std::wstring path = folder.path() + L"a.txt";
  nb::AppendToFile(path, "one\r\n", kWords);
  nb::AppendToFile(path, std::string("t\0o\r\n", 5), kWords);
  EXPECT_EQ(nb::ReadWholeFile(path), std::string("one\r\nt\0o\r\n", 10));
  nb::WriteWholeFile(path, "new", kWords);
  EXPECT_EQ(nbtest::ReadFileBytes(path), "new");
  EXPECT_EQ(nb::ReadWholeFile(path, 3), "new");
  EXPECT_EQ(nb::ReadWholeFile(path, 2), std::nullopt);
  const nb::InputFile file(path);
  EXPECT_EQ(file.Size(), 3u);
  EXPECT_EQ(file.ReadAt(1, 2), "ew");
}

TEST(FileIo, FailuresNameWhatWasDone) {
  nbtest::TempFolder folder;
  const std::wstring present = folder.path() + L"present.txt";
  nbtest::WriteFileBytes(present, "abc");
  const std::wstring missing = folder.path() + L"missing.txt";
  const std::wstring inMissingFolder = folder.path() + L"none\\x.txt";
  const std::wstring held = folder.path() + L"held.txt";
  nbtest::WriteFileBytes(held, "kept");
  const nb::unique_file holder(
      CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  const struct {
    const char* name;
    std::function<void()> operation;
    long number;
    std::wstring descriptionStart;
  } cases[] = {
      {"a file in a missing folder", [&] { nb::WriteWholeFile(inMissingFolder, "x", kWords); }, 76,
       L"Cannot create " + inMissingFolder + L": "},
      {"appending in a missing folder", [&] { nb::AppendToFile(inMissingFolder, "x", {L"Cannot write to", L"-"}); },
       76, L"Cannot write to " + inMissingFolder + L": "},
      {"a file another program holds", [&] { nb::WriteWholeFile(held, "lost", kWords); }, 70,
       L"Cannot create " + held + L": "},
      {"reading a missing file", [&] { nb::ReadWholeFile(missing); }, 53, L"Cannot open " + missing + L": "},
      {"reading past the end", [&] { nb::InputFile(present).ReadAt(2, 2); }, 75,
       L"Cannot read " + present + L": the file ended early"},
  };
  for (const auto& c : cases) {
    try {
      c.operation();
      ADD_FAILURE() << c.name << ": no error";
    } catch (const nb::AppError& e) {
      EXPECT_EQ(e.number, c.number) << c.name;
      EXPECT_EQ(e.description.rfind(c.descriptionStart, 0), 0u) << c.name << ": " << testing::PrintToString(e.description);
    }
  }
}

}  // namespace
