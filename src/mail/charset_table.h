// The charsets the mail window offers: the name shown in its list and the name passed to the mail
// component, in the list's order. Portable: no Windows header.
#pragma once

#include <array>

namespace nb {

struct CharsetRow {
  const wchar_t* displayName;
  const wchar_t* charsetName;
};

inline constexpr std::array<CharsetRow, 28> kCharsetTable{{
    {L"Arabic(Windows)", L"windows-1256"},
    {L"Baltic(ISO)", L"iso-8859-4"},
    {L"Baltic(Windows)", L"windows-1257"},
    {L"Central Euporean(ISO)", L"iso-8859-2"},
    {L"Central Euporean(Windows)", L"windows-1250"},
    {L"Chinese Simplified(GB18030)", L"GB18030"},
    {L"Chinese Simplified(GB2312)", L"gb2312"},
    {L"Chinese Simplified(HZ)", L"hz-gb-2312"},
    {L"Chinese Traditional(Big5)", L"big5"},
    {L"Cyrillic(ISO)", L"iso-8859-5"},
    {L"Cyrillic(KOI8-R)", L"koi8-r"},
    {L"Cyrillic(KOI8-U)", L"koi8-u"},
    {L"Cyrillic(Windows)", L"windows-1251"},
    {L"Greek(ISO)", L"iso-8859-7"},
    {L"Greek(Windows)", L"windows-1253"},
    {L"Hebrew(Windows)", L"windows-1255"},
    {L"Japanese(JIS)", L"iso-2022-jp"},
    {L"Korean", L"ks_c_5601-1987"},
    {L"Korean(EUC)", L"euc-kr"},
    {L"Latin 9(ISO)", L"iso-8859-15"},
    {L"Thai(Windows)", L"windows-874"},
    {L"Turkish(ISO)", L"iso-8859-9"},
    {L"Turkish(Windows)", L"windows-1254"},
    {L"Unicode(UTF-7)", L"utf-7"},
    {L"Unicode(UTF-8)", L"utf-8"},
    {L"Vietnames(Windows)", L"windows-1258"},
    {L"Western European(ISO)", L"iso-8859-1"},
    {L"Western European(Windows)", L"Windows-1252"},
}};

// The entry selected each time the window opens: "Western European(ISO)".
inline constexpr int kDefaultCharsetIndex = 26;

}  // namespace nb
