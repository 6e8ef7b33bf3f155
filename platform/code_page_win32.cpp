// The ANSI code page on Windows: conversions through MultiByteToWideChar and
// WideCharToMultiByte. By default the calling thread's ANSI code page
// (CP_THREAD_ACP), so that a thread that changes its locale converts with
// the code page of that locale.
#include "platform/code_page.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <mutex>
#include <stdexcept>

namespace vornfmt::codepage {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be a UTF-16 code unit");

constexpr UINT kGb18030 = 54936;

const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

// The Win32 conversions count in int.
int Count(size_t size) {
  if (size > static_cast<size_t>(INT_MAX)) throw std::length_error("text too long for the code-page conversion");
  return static_cast<int>(size);
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// `text` with each surrogate that is not half of a pair replaced by '?'.
std::u16string WithoutLoneSurrogates(std::u16string_view text) {
  std::u16string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    if (IsHighSurrogate(out[i]) && i + 1 < out.size() && IsLowSurrogate(out[i + 1])) {
      ++i;
      continue;
    }
    if (IsHighSurrogate(out[i]) || IsLowSurrogate(out[i])) out[i] = u'?';
  }
  return out;
}

// Bytes to UTF-16. Bytes the code page does not define become what the
// system's tables give (U+FFFD for invalid UTF-8).
std::u16string Widen(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = Count(text.size());
  const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::u16string(text.size(), u'\uFFFD');
  std::u16string out(static_cast<size_t>(needed), u'\0');
  const int written = MultiByteToWideChar(codePage, 0, text.data(), length, AsWide(out.data()), needed);
  if (written <= 0) return std::u16string(text.size(), u'\uFFFD');
  out.resize(static_cast<size_t>(written));
  return out;
}

// One WideCharToMultiByte conversion (measure, then convert). On failure
// nullopt, and `error` holds GetLastError().
std::optional<std::string> Convert(UINT codePage, DWORD flags, std::u16string_view text, const char* fallback,
                                   BOOL* usedDefault, DWORD& error) {
  const int length = Count(text.size());
  const int needed = WideCharToMultiByte(codePage, flags, AsWide(text.data()), length, nullptr, 0, fallback, usedDefault);
  if (needed <= 0) {
    error = GetLastError();
    return std::nullopt;
  }
  std::string out(static_cast<size_t>(needed), '\0');
  const int written =
      WideCharToMultiByte(codePage, flags, AsWide(text.data()), length, out.data(), needed, fallback, usedDefault);
  if (written <= 0) {
    error = GetLastError();
    return std::nullopt;
  }
  out.resize(static_cast<size_t>(written));
  return out;
}

// UTF-16 to bytes. With `fallback` (a one-character text) every character
// the code page lacks becomes it; without, a text with such a character
// gives nullopt. Never a best-fit look-alike ("A" for U+0100).
std::optional<std::string> Narrow(UINT codePage, std::u16string_view text, const char* fallback) {
  if (text.empty()) return std::string();
  DWORD error = 0;
  if (codePage == CP_UTF8 || codePage == kGb18030) {
    // Unicode encodings: only a lone surrogate has no form; the default
    // character arguments must be null, and WC_ERR_INVALID_CHARS is the
    // only flag they take.
    if (!fallback) return Convert(codePage, WC_ERR_INVALID_CHARS, text, nullptr, nullptr, error);
    return Convert(codePage, 0, WithoutLoneSurrogates(text), nullptr, nullptr, error);
  }
  BOOL usedDefault = FALSE;
  std::optional<std::string> out = Convert(codePage, WC_NO_BEST_FIT_CHARS, text, fallback, &usedDefault, error);
  if (!out && error == ERROR_INVALID_FLAGS) {
    // Some code pages (the ISO-2022 and ISCII families, Symbol) take no
    // flags; without WC_NO_BEST_FIT_CHARS a strict conversion is checked by
    // converting back.
    usedDefault = FALSE;
    out = Convert(codePage, 0, text, fallback, &usedDefault, error);
    if (out && !fallback && Widen(codePage, *out) != text) return std::nullopt;
  }
  if (out && usedDefault && !fallback) return std::nullopt;
  return out;
}

// The code page number of a name, or nullopt when the system has none.
std::optional<UINT> CodePageOf(const std::string& name) {
  std::string upper;
  for (char c : name) upper.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  struct Named {
    const char* name;
    UINT codePage;
  };
  static constexpr Named kNamed[] = {
      {"US-ASCII", 20127},   {"ASCII", 20127},       {"ISO-8859-1", 28591},  {"LATIN1", 28591},
      {"ISO-8859-2", 28592}, {"ISO-8859-3", 28593},  {"ISO-8859-4", 28594},  {"ISO-8859-5", 28595},
      {"ISO-8859-6", 28596}, {"ISO-8859-7", 28597},  {"ISO-8859-8", 28598},  {"ISO-8859-9", 28599},
      {"ISO-8859-13", 28603}, {"ISO-8859-15", 28605}, {"KOI8-R", 20866},     {"KOI8-U", 21866},
      {"SHIFT_JIS", 932},    {"SJIS", 932},          {"EUC-JP", 20932},      {"GBK", 936},
      {"GB2312", 20936},     {"GB18030", kGb18030},     {"BIG5", 950},          {"EUC-KR", 51949},
      {"UHC", 949},          {"UTF-8", CP_UTF8},
  };
  std::optional<UINT> number;
  for (const Named& named : kNamed)
    if (upper == named.name) number = named.codePage;
  if (!number) {
    for (std::string_view prefix : {std::string_view("WINDOWS-"), std::string_view("CP"), std::string_view("IBM")}) {
      if (upper.size() <= prefix.size() || upper.compare(0, prefix.size(), prefix) != 0) continue;
      const char* first = upper.data() + prefix.size();
      const char* last = upper.data() + upper.size();
      UINT value = 0;
      const auto [end, ec] = std::from_chars(first, last, value);
      if (ec == std::errc() && end == last) number = value;
      break;
    }
  }
  // 0 to 3 name the system's and the thread's code pages, not one of their
  // own; UTF-7 takes none of the conversion flags used here.
  if (!number || *number <= CP_THREAD_ACP || *number == CP_UTF7 || !IsValidCodePage(*number)) return std::nullopt;
  return number;
}

// The ANSI code page of the calling thread's locale (what CP_THREAD_ACP
// converts with); the system's for a locale that has none.
UINT ThreadAnsiCodePage() {
  DWORD value = 0;
  const int got = GetLocaleInfoW(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                                 reinterpret_cast<LPWSTR>(&value), sizeof(value) / sizeof(wchar_t));
  return got > 0 && value != 0 ? static_cast<UINT>(value) : GetACP();
}

std::string NameOf(UINT codePage) {
  const bool windows = codePage == 874 || (codePage >= 1250 && codePage <= 1258);
  return (windows ? "WINDOWS-" : "CP") + std::to_string(codePage);
}

struct Setting {
  UINT codePage = CP_THREAD_ACP;
  std::string name;  // empty: the thread's ANSI code page
};

std::mutex& SettingMutex() {
  static std::mutex m;
  return m;
}

Setting& Current() {
  static Setting setting;
  return setting;
}

UINT ActiveCodePage() {
  std::lock_guard guard(SettingMutex());
  return Current().codePage;
}

}  // namespace

bool SetAnsiCodePage(const std::string& name) {
  const std::optional<UINT> codePage = CodePageOf(name);
  if (!codePage) return false;
  std::lock_guard guard(SettingMutex());
  Current() = Setting{*codePage, name};
  return true;
}

std::string AnsiCodePage() {
  std::lock_guard guard(SettingMutex());
  return Current().name.empty() ? NameOf(ThreadAnsiCodePage()) : Current().name;
}

std::optional<std::string> ToAnsi(std::u16string_view text) { return Narrow(ActiveCodePage(), text, nullptr); }

std::u16string FromAnsi(std::string_view text) { return Widen(ActiveCodePage(), text); }

std::string Utf8ToAnsi(std::string_view utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  return Narrow(ActiveCodePage(), wide, "?").value_or(std::string(wide.size(), '?'));
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  // Plain ASCII, the usual case, is the same code by code.
  if (IsAscii(utf8)) return std::u16string(utf8.begin(), utf8.end());
  return Widen(CP_UTF8, utf8);
}

std::string Utf16ToUtf8(std::u16string_view text) {
  if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; }))
    return std::string(text.begin(), text.end());
  return Narrow(CP_UTF8, text, "?").value_or(std::string(text.size(), '?'));
}

}  // namespace vornfmt::codepage
