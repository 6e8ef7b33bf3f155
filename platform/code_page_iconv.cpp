// The ANSI code page where Windows is not: conversions through iconv.
#include "platform/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <memory>
#include <bit>
#include <cerrno>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace vornfmt::codepage {
namespace {

const char* Utf16Name() { return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE"; }

// One iconv descriptor; iconv_t is not thread-safe, so every use locks.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of in; on an invalid or unconvertible input unit, appends
  // `replacement` and skips `skip` input bytes. Answers false when a
  // replacement was needed.
  bool Run(std::string_view in, std::string& out, std::string_view replacement, size_t skip,
           bool* incomplete = nullptr) {
    std::lock_guard guard(mutex_);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    bool clean = true;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    std::array<char, 1024> buffer;
    while (srcLeft > 0) {
      char* dst = buffer.data();
      size_t dstLeft = buffer.size();
      size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer.data(), buffer.size() - dstLeft);
      if (rc != static_cast<size_t>(-1)) {
        if (rc > 0) clean = false;  // iconv replaced something irreversibly
        continue;
      }
      if (errno == E2BIG) continue;
      if (errno == EINVAL && incomplete) *incomplete = true;  // a lead byte without its trail
      clean = false;
      out.append(replacement);
      size_t step = std::min(skip, srcLeft);
      src += step;
      srcLeft -= step;
    }
    return clean;
  }

 private:
  iconv_t cd_;
  std::mutex mutex_;
};

struct CodePage {
  std::string name;
  std::unique_ptr<Converter> toWide, fromWide;
  bool singleByte = false;
  std::array<char16_t, 256> wideOf{};
  std::unordered_map<char16_t, char> byteOf;
  // Every ASCII byte stands for the character of the same code, both ways:
  // ASCII text is its own ANSI form (names of the type files, nearly always).
  bool asciiSame = false;
};

std::string AsBytes(std::u16string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::u16string FromBytes(const std::string& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  std::copy(bytes.data(), bytes.data() + text.size() * 2, reinterpret_cast<char*>(text.data()));
  return text;
}

// A code page is single-byte when every byte converts alone to one UTF-16 unit
// (undefined bytes are allowed). A byte the code page leaves undefined maps
// to the code unit of the same value and back, as the Windows conversion
// does for Windows-1252's 81, 8D, 8F, 90 and 9D (U+0081 ...), so that every
// byte survives a trip through text; U+FFFD only when that unit already
// stands for another byte.
void BuildTable(CodePage& cp) {
  const std::string replacement = AsBytes(u"\uFFFD");
  std::array<bool, 256> undefined{};
  for (int b = 0; b < 256; ++b) {
    std::string wide;
    bool incomplete = false;
    const bool clean = cp.toWide->Run(std::string(1, static_cast<char>(b)), wide, replacement, 1, &incomplete);
    if (incomplete || wide.size() != 2) return;
    char16_t unit = FromBytes(wide)[0];
    undefined[b] = !clean || unit == u'\uFFFD';
    cp.wideOf[b] = unit;
    if (!undefined[b]) cp.byteOf.emplace(unit, static_cast<char>(b));
  }
  for (int b = 0; b < 256; ++b) {
    const auto same = static_cast<char16_t>(b);
    if (!undefined[b] || cp.byteOf.count(same) != 0) continue;
    cp.wideOf[b] = same;
    cp.byteOf.emplace(same, static_cast<char>(b));
  }
  cp.singleByte = true;
  cp.asciiSame = true;
  for (char16_t unit = 0; unit < 0x80; ++unit) {
    auto it = cp.byteOf.find(unit);
    if (cp.wideOf[unit] != unit || it == cp.byteOf.end() || it->second != static_cast<char>(unit)) cp.asciiSame = false;
  }
}

std::unique_ptr<CodePage> MakeCodePage(const std::string& name) {
  auto cp = std::make_unique<CodePage>();
  cp->name = name;
  cp->toWide = std::make_unique<Converter>(Utf16Name(), name);
  cp->fromWide = std::make_unique<Converter>(name, Utf16Name());
  if (!cp->toWide->valid() || !cp->fromWide->valid()) return nullptr;
  BuildTable(*cp);
  return cp;
}

std::mutex& SettingMutex() {
  static std::mutex m;
  return m;
}

// Code pages once made stay alive for the process, so that a conversion
// running while another thread switches the setting keeps a valid object.
CodePage*& Current() {
  static CodePage* current = [] {
    static std::vector<std::unique_ptr<CodePage>> keep;
    keep.push_back(MakeCodePage("WINDOWS-1252"));
    return keep.back().get();
  }();
  return current;
}

std::vector<std::unique_ptr<CodePage>>& Kept() {
  static std::vector<std::unique_ptr<CodePage>> kept;
  return kept;
}

CodePage& Active() {
  std::lock_guard guard(SettingMutex());
  return *Current();
}

Converter& Utf8ToUtf16Converter() {
  static Converter c(Utf16Name(), "UTF-8");
  return c;
}
Converter& Utf16ToUtf8Converter() {
  static Converter c("UTF-8", Utf16Name());
  return c;
}

}  // namespace

bool SetAnsiCodePage(const std::string& name) {
  auto cp = MakeCodePage(name);
  if (!cp) return false;
  std::lock_guard guard(SettingMutex());
  Current();  // make sure the default exists before it is replaced
  Kept().push_back(std::move(cp));
  Current() = Kept().back().get();
  return true;
}

std::string AnsiCodePage() { return Active().name; }

std::optional<std::string> ToAnsi(std::u16string_view text) {
  CodePage& cp = Active();
  std::string out;
  if (cp.singleByte) {
    out.reserve(text.size());
    for (char16_t unit : text) {
      auto it = cp.byteOf.find(unit);
      if (it == cp.byteOf.end()) return std::nullopt;
      out.push_back(it->second);
    }
    return out;
  }
  if (!cp.fromWide->Run(AsBytes(text), out, "?", 2)) return std::nullopt;
  return out;
}

std::u16string FromAnsi(std::string_view text) {
  CodePage& cp = Active();
  if (cp.singleByte) {
    std::u16string out(text.size(), u'\0');
    for (size_t i = 0; i < text.size(); ++i) out[i] = cp.wideOf[static_cast<unsigned char>(text[i])];
    return out;
  }
  std::string wide;
  cp.toWide->Run(text, wide, AsBytes(u"\uFFFD"), 1);
  return FromBytes(wide);
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string Utf8ToAnsi(std::string_view utf8) {
  CodePage& cp = Active();
  if (cp.asciiSame && IsAscii(utf8)) return std::string(utf8);
  const std::u16string wide = Utf8ToUtf16(utf8);
  std::string out;
  if (!cp.singleByte) {
    cp.fromWide->Run(AsBytes(wide), out, "?", 2);
    return out;
  }
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    auto it = cp.byteOf.find(wide[i]);
    out.push_back(it == cp.byteOf.end() ? '?' : it->second);
    bool pair = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size();
    if (pair) ++i;  // one '?' for a whole surrogate pair
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  // Plain ASCII, the usual case, is the same code by code: no converter.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::u16string(utf8.begin(), utf8.end());
  std::string wide;
  Utf8ToUtf16Converter().Run(utf8, wide, AsBytes(u"\uFFFD"), 1);
  return FromBytes(wide);
}

std::string Utf16ToUtf8(std::u16string_view text) {
  if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; }))
    return std::string(text.begin(), text.end());
  std::string out;
  Utf16ToUtf8Converter().Run(AsBytes(text), out, "?", 2);
  return out;
}

}  // namespace vornfmt::codepage
