#include "addresslog/short_date.h"

#include <vector>

#include "base/text_util.h"

namespace nb {
namespace {

enum class Part { Literal, Day, Month, Year, Unsupported };

struct Element {
  Part part = Part::Literal;
  int width = 0;           // digits: 1 = as few as needed, 2 = two, 4 = full year
  std::wstring literal;    // for Part::Literal
};

bool IsNumber(const Element& e) { return e.part == Part::Day || e.part == Part::Month || e.part == Part::Year; }

// Whether the element after number `k` begins with a digit: another number, or text such as "1".
// The number then has to be written with all its digits, and is read with exactly those.
bool RunsIntoDigits(const std::vector<Element>& elements, std::size_t k) {
  if (k + 1 >= elements.size()) return false;
  const Element& next = elements[k + 1];
  return IsNumber(next) || (next.part == Part::Literal && next.literal[0] >= L'0' && next.literal[0] <= L'9');
}

std::vector<Element> Tokenize(std::wstring_view pattern) {
  std::vector<Element> elements;
  auto addLiteral = [&](wchar_t c) {
    if (elements.empty() || elements.back().part != Part::Literal) elements.push_back(Element{});
    elements.back().literal += c;
  };
  std::size_t i = 0;
  while (i < pattern.size()) {
    const wchar_t c = pattern[i];
    if (c == L'\'') {
      // Quoted text; inside it, two apostrophes stand for one. ("''" outside quotes is empty text.)
      ++i;
      while (i < pattern.size()) {
        if (pattern[i] == L'\'') {
          if (i + 1 < pattern.size() && pattern[i + 1] == L'\'') {
            addLiteral(L'\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        addLiteral(pattern[i]);
        ++i;
      }
      continue;
    }
    if (c == L'd' || c == L'M' || c == L'y' || c == L'g') {
      std::size_t run = 1;
      while (i + run < pattern.size() && pattern[i + run] == c) ++run;
      i += run;
      Element e;
      if (c == L'd') {
        e.part = run <= 2 ? Part::Day : Part::Unsupported;  // ddd, dddd: day names
        e.width = static_cast<int>(run);
      } else if (c == L'M') {
        e.part = run <= 2 ? Part::Month : Part::Unsupported;  // MMM, MMMM: month names
        e.width = static_cast<int>(run);
      } else if (c == L'y') {
        e.part = Part::Year;
        e.width = run >= 3 ? 4 : 2;  // the system writes y as yy
      } else {
        e.part = Part::Unsupported;  // era
      }
      elements.push_back(e);
      continue;
    }
    addLiteral(c);
    ++i;
  }
  return elements;
}

bool Usable(const std::vector<Element>& elements) {
  int days = 0, months = 0, years = 0;
  for (const auto& e : elements) {
    switch (e.part) {
      case Part::Unsupported: return false;
      case Part::Day: ++days; break;
      case Part::Month: ++months; break;
      case Part::Year: ++years; break;
      case Part::Literal: break;
    }
  }
  return days == 1 && months == 1 && years == 1;
}

// The elements actually used: the pattern's own, or the fallback's; unpadded numbers that run
// straight into digits become padded.
std::vector<Element> EffectiveElements(std::wstring_view pattern) {
  std::vector<Element> elements = Tokenize(pattern);
  if (!Usable(elements)) elements = Tokenize(kFallbackShortDatePattern);
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (IsNumber(elements[i]) && RunsIntoDigits(elements, i) && elements[i].width == 1) elements[i].width = 2;
  }
  return elements;
}

std::wstring Digits(int value, int minimumWidth) {
  std::wstring text = std::to_wstring(value);
  if (static_cast<int>(text.size()) < minimumWidth) text.insert(0, static_cast<std::size_t>(minimumWidth) - text.size(), L'0');
  return text;
}

int WindowedYear(int twoDigits, int referenceYear) {
  int year = referenceYear - referenceYear % 100 + twoDigits;
  if (year > referenceYear + 50) year -= 100;
  else if (year <= referenceYear - 50) year += 100;
  return year;
}

}  // namespace

bool IsNumericShortDatePattern(std::wstring_view pattern) { return Usable(Tokenize(pattern)); }

std::wstring FormatShortDate(const CivilDate& date, std::wstring_view pattern) {
  std::wstring text;
  for (const auto& e : EffectiveElements(pattern)) {
    switch (e.part) {
      case Part::Literal: text += e.literal; break;
      case Part::Day: text += Digits(date.day, e.width); break;
      case Part::Month: text += Digits(date.month, e.width); break;
      case Part::Year: text += e.width == 4 ? Digits(date.year, 4) : Digits(date.year % 100, e.width); break;
      case Part::Unsupported: break;  // never left in effective elements
    }
  }
  return text;
}

std::optional<CivilDate> ParseShortDate(std::wstring_view text, std::wstring_view pattern, int referenceYear) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;

  std::vector<Element> elements = EffectiveElements(pattern);
  // Spaces the pattern itself puts before or after the date go with the surrounding ones.
  if (elements.front().part == Part::Literal) {
    elements.front().literal = std::wstring(Trim(elements.front().literal, TrimEnds::Leading));
    if (elements.front().literal.empty()) elements.erase(elements.begin());
  }
  if (elements.back().part == Part::Literal) {
    elements.back().literal = std::wstring(Trim(elements.back().literal, TrimEnds::Trailing));
    if (elements.back().literal.empty()) elements.pop_back();
  }
  CivilDate date{0, 0, 0};
  std::size_t pos = 0;
  for (std::size_t k = 0; k < elements.size(); ++k) {
    const Element& e = elements[k];
    if (e.part == Part::Literal) {
      if (text.substr(pos, e.literal.size()) != e.literal) return std::nullopt;
      pos += e.literal.size();
      continue;
    }
    // A number that runs straight into digits has exactly its width; otherwise it takes the
    // digits that are there, up to the most the element can hold.
    const bool fixed = RunsIntoDigits(elements, k);
    const std::size_t most = e.part == Part::Year ? 4 : 2;
    const std::size_t wanted = fixed ? static_cast<std::size_t>(e.width) : most;
    std::size_t count = 0;
    int value = 0;
    while (count < wanted && pos + count < text.size() && text[pos + count] >= L'0' && text[pos + count] <= L'9') {
      value = value * 10 + (text[pos + count] - L'0');
      ++count;
    }
    if (count == 0 || (fixed && count != wanted)) return std::nullopt;
    pos += count;
    if (e.part == Part::Day) date.day = value;
    else if (e.part == Part::Month) date.month = value;
    else date.year = count <= 2 ? WindowedYear(value, referenceYear) : value;
  }
  if (pos != text.size() || !IsValidDate(date)) return std::nullopt;
  return date;
}

}  // namespace nb
