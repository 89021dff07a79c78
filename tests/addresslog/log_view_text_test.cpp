#include <gtest/gtest.h>

#include "addresslog/log_view_text.h"

namespace {

struct CommandLineCase {
  const wchar_t* program;
  const wchar_t* path;
  const wchar_t* expected;
};

class EditorCommandLineTable : public testing::TestWithParam<CommandLineCase> {};

TEST_P(EditorCommandLineTable, QuotesThePathAsOneArgument) {
  const CommandLineCase& c = GetParam();
  EXPECT_EQ(nb::EditorCommandLine(c.program, c.path), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, EditorCommandLineTable,
    testing::Values(
        CommandLineCase{L"notepad.exe", L"C:\\data\\Netbeacon.log", L"notepad.exe \"C:\\data\\Netbeacon.log\""},
        // A folder with blanks stays inside the one argument.
        CommandLineCase{L"notepad.exe", L"C:\\Documents and Settings\\ann\\Netbeacon.log",
                        L"notepad.exe \"C:\\Documents and Settings\\ann\\Netbeacon.log\""},
        // Backslashes before the closing quote are doubled so that the quote still closes it.
        CommandLineCase{L"notepad.exe", L"C:\\odd folder\\", L"notepad.exe \"C:\\odd folder\\\\\""},
        CommandLineCase{L"notepad.exe", L"\\\\server\\share\\a.log", L"notepad.exe \"\\\\server\\share\\a.log\""},
        // A quote (not possible in a Windows path, but text all the same) is escaped.
        CommandLineCase{L"notepad.exe", L"a\"b", L"notepad.exe \"a\\\"b\""},
        CommandLineCase{L"notepad.exe", L"", L"notepad.exe \"\""},
        // A program name with blanks is quoted, one without is not.
        CommandLineCase{L"C:\\Program Files\\Ed\\ed.exe", L"x.log", L"\"C:\\Program Files\\Ed\\ed.exe\" \"x.log\""},
        CommandLineCase{L"C:\\Tools\\ed.exe", L"x.log", L"C:\\Tools\\ed.exe \"x.log\""}));

struct ExtensionCase {
  const wchar_t* path;
  const wchar_t* extension;
  const wchar_t* expected;
};

class DefaultExtensionTable : public testing::TestWithParam<ExtensionCase> {};

TEST_P(DefaultExtensionTable, IsAddedOnlyToANameWithoutOne) {
  const ExtensionCase& c = GetParam();
  EXPECT_EQ(nb::WithDefaultExtension(c.path, c.extension), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DefaultExtensionTable,
    testing::Values(ExtensionCase{L"C:\\backup\\old", L"txt", L"C:\\backup\\old.txt"},
                    ExtensionCase{L"C:\\backup\\old", L".txt", L"C:\\backup\\old.txt"},
                    ExtensionCase{L"C:\\backup\\old.txt", L"txt", L"C:\\backup\\old.txt"},
                    ExtensionCase{L"C:\\backup\\old.log", L"txt", L"C:\\backup\\old.log"},
                    ExtensionCase{L"C:\\backup\\old.tar.gz", L"txt", L"C:\\backup\\old.tar.gz"},
                    // A dot in a folder name does not count for the file's name.
                    ExtensionCase{L"C:\\my.files\\old", L"txt", L"C:\\my.files\\old.txt"},
                    ExtensionCase{L"C:/my.files/old", L"txt", L"C:/my.files/old.txt"},
                    ExtensionCase{L"old", L"txt", L"old.txt"},
                    ExtensionCase{L"C:old", L"txt", L"C:old.txt"},
                    ExtensionCase{L"C:\\backup\\old.", L"txt", L"C:\\backup\\old."},
                    ExtensionCase{L"C:\\backup\\", L"txt", L"C:\\backup\\"},
                    ExtensionCase{L"C:\\backup\\old", L"", L"C:\\backup\\old"}));

}  // namespace
