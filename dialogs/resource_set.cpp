#include "dialogs/resource_set.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/code_page.h"
#include "platform/module_loader.h"

#ifndef VORNFMT_UI_RESOURCES
#define VORNFMT_UI_RESOURCES "resources/ui"
#endif
#ifndef VORNFMT_UI_FROM_MODULE
#define VORNFMT_UI_FROM_MODULE ""
#endif

namespace vornfmt::dialogs {
namespace {

using nlohmann::json;

// Template files are small; anything larger is not one of ours.
constexpr std::uintmax_t kMaxFileSize = 1u << 20;
// Dialog units fit a 16-bit template field.
constexpr int kMaxUnits = 32767;

struct Malformed {
  std::string what;
};

const json& Member(const json& object, const char* key) {
  if (!object.is_object() || !object.contains(key)) throw Malformed{std::string("missing \"") + key + "\""};
  return object.at(key);
}

int Int(const json& value, int low, int high, const char* what) {
  if (!value.is_number_integer()) throw Malformed{std::string(what) + " is not an integer"};
  const int64_t n = value.get<int64_t>();
  if (n < low || n > high) throw Malformed{std::string(what) + " out of range"};
  return static_cast<int>(n);
}

std::u16string Text(const json& value, const char* what) {
  if (!value.is_string()) throw Malformed{std::string(what) + " is not text"};
  return codepage::Utf8ToUtf16(value.get<std::string>());
}

ControlKind KindOf(const std::string& name) {
  static const std::pair<const char*, ControlKind> kinds[] = {
      {"label", ControlKind::Label},   {"edit", ControlKind::Edit},         {"combo", ControlKind::Combo},
      {"button", ControlKind::Button}, {"listview", ControlKind::ListView}, {"group", ControlKind::Group}};
  for (const auto& [text, kind] : kinds)
    if (name == text) return kind;
  throw Malformed{"unknown control kind \"" + name + "\""};
}

UnitRect RectOf(const json& value) {
  if (!value.is_array() || value.size() != 4) throw Malformed{"rect is not [x, y, w, h]"};
  return {Int(value[0], 0, kMaxUnits, "x"), Int(value[1], 0, kMaxUnits, "y"), Int(value[2], 0, kMaxUnits, "w"),
          Int(value[3], 0, kMaxUnits, "h")};
}

ControlTemplate ControlOf(const json& c) {
  ControlTemplate control;
  control.id = Int(Member(c, "id"), -1, 65535, "id");
  control.kind = KindOf(Member(c, "kind").is_string() ? Member(c, "kind").get<std::string>() : "");
  if (c.contains("text")) control.text = Text(c.at("text"), "text");
  control.rect = RectOf(Member(c, "rect"));
  if (c.contains("style")) {
    if (!c.at("style").is_array()) throw Malformed{"style is not a list"};
    for (const json& s : c.at("style")) {
      if (!s.is_string()) throw Malformed{"style is not text"};
      control.styles.push_back(s.get<std::string>());
    }
  }
  if (c.contains("columns")) {
    if (!c.at("columns").is_array()) throw Malformed{"columns is not a list"};
    for (const json& column : c.at("columns")) {
      if (!column.is_array() || column.size() != 2) throw Malformed{"a column is not [title, width]"};
      control.columns.push_back({Text(column[0], "column title"), Int(column[1], 0, 4096, "column width")});
    }
  }
  return control;
}

DialogTemplate DialogOf(const json& d) {
  DialogTemplate dialog;
  dialog.title = Text(Member(d, "title"), "title");
  const json& size = Member(d, "size");
  if (!size.is_array() || size.size() != 2) throw Malformed{"size is not [w, h]"};
  dialog.width = Int(size[0], 1, kMaxUnits, "width");
  dialog.height = Int(size[1], 1, kMaxUnits, "height");
  const json& font = Member(d, "font");
  if (!font.is_array() || font.size() != 2 || !font[0].is_string()) throw Malformed{"font is not [family, points]"};
  dialog.fontFamily = font[0].get<std::string>();
  dialog.fontPoints = Int(font[1], 1, 72, "font size");
  const json& controls = Member(d, "controls");
  if (!controls.is_array()) throw Malformed{"controls is not a list"};
  for (const json& c : controls) dialog.controls.push_back(ControlOf(c));
  return dialog;
}

template <typename Key>
Key KeyOf(const std::string& text) {
  Key key{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), key);
  if (ec != std::errc() || end != text.data() + text.size()) throw Malformed{"key \"" + text + "\" is not a number"};
  return key;
}

std::mutex currentMutex;
std::shared_ptr<const ResourceSet> current;
bool currentTried = false;

}  // namespace

bool ControlTemplate::Has(const std::string& style) const {
  return std::find(styles.begin(), styles.end(), style) != styles.end();
}

const ControlTemplate* DialogTemplate::Control(int id) const {
  for (const ControlTemplate& c : controls)
    if (c.id == id && id != -1) return &c;
  return nullptr;
}

std::unique_ptr<ResourceSet> ResourceSet::Load(const std::filesystem::path& folder, std::string& error) {
  const std::filesystem::path file = folder / "ui.json";
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec || size > kMaxFileSize) {
    error = file.string() + ": not a readable resource set";
    return nullptr;
  }
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  auto set = std::make_unique<ResourceSet>();
  try {
    const json document = json::parse(text.str());
    if (!Member(document, "format").is_string() || document.at("format") != "vornfmt-ui")
      throw Malformed{"not a vornfmt-ui file"};
    if (Int(Member(document, "version"), 1, 1, "version") != 1) throw Malformed{"unknown version"};
    if (document.contains("language") && document.at("language").is_string())
      set->language_ = document.at("language").get<std::string>();
    for (const auto& [key, value] : Member(document, "strings").items())
      set->strings_[KeyOf<uint32_t>(key)] = Text(value, "string");
    for (const auto& [key, value] : Member(document, "dialogs").items())
      set->dialogs_[KeyOf<int>(key)] = DialogOf(value);
    if (document.contains("bitmaps"))
      for (const auto& [key, value] : document.at("bitmaps").items()) {
        if (!value.is_string()) throw Malformed{"bitmap file is not text"};
        set->bitmaps_[KeyOf<int>(key)] = folder / value.get<std::string>();
      }
  } catch (const Malformed& m) {
    error = file.string() + ": " + m.what;
    return nullptr;
  } catch (const json::exception& e) {
    error = file.string() + ": " + e.what();
    return nullptr;
  }
  return set;
}

std::u16string ResourceSet::String(uint32_t id) const {
  const auto it = strings_.find(id);
  return it == strings_.end() ? std::u16string() : it->second;
}

const DialogTemplate* ResourceSet::Dialog(int id) const {
  const auto it = dialogs_.find(id);
  return it == dialogs_.end() ? nullptr : &it->second;
}

std::filesystem::path ResourceSet::BitmapFile(int id) const {
  const auto it = bitmaps_.find(id);
  return it == bitmaps_.end() ? std::filesystem::path() : it->second;
}

namespace {

// Installed, the sets lie at a fixed place relative to the module that
// holds the dialogs (the tool's edit module in lib/vornfmt/), so an installed
// tree works wherever it was unpacked; from the build folder, the source
// tree's sets.
std::filesystem::path UiResourceRoot() {
  const std::filesystem::path module = platform::ThisModuleFile();
  if (!module.empty() && *VORNFMT_UI_FROM_MODULE) {
    const std::filesystem::path installed = (module.parent_path() / VORNFMT_UI_FROM_MODULE).lexically_normal();
    std::error_code ec;
    if (std::filesystem::is_directory(installed, ec)) return installed;
  }
  return VORNFMT_UI_RESOURCES;
}

}  // namespace

std::filesystem::path UiResourceFolder(const std::string& language) {
  const char* root = std::getenv("VORNFMT_UI_RESOURCES");
  if (root && *root) return std::filesystem::path(root) / language;
  return UiResourceRoot() / language;
}

std::shared_ptr<const ResourceSet> CurrentUiResources() {
  std::lock_guard lock(currentMutex);
  if (!current && !currentTried) {
    currentTried = true;
    std::string error;
    current = ResourceSet::Load(UiResourceFolder("enu"), error);
  }
  return current;
}

bool SelectUiResources(const std::filesystem::path& folder) {
  std::string error;
  std::shared_ptr<const ResourceSet> set = ResourceSet::Load(folder, error);
  if (!set) return false;
  std::lock_guard lock(currentMutex);
  current = std::move(set);
  currentTried = true;
  return true;
}

}  // namespace vornfmt::dialogs
