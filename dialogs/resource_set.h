#pragma once
// The user-interface resources as data: the string table, the dialog
// templates and the bitmaps of one language, read from a resource-set
// folder (resources/ui/enu, resources/ui/deu; docs/dialogs.md gives the
// form). A set is complete on its own, as a Windows language module is, so
// changing the language only selects another set (SelectUiResources).
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/dialog_units.h"

namespace vornfmt::dialogs {

enum class ControlKind { Label, Edit, Combo, Button, ListView, Group };

struct ListColumn {
  std::u16string title;
  int width = 0;  // pixels
};

struct ControlTemplate {
  int id = -1;  // -1: a static text or frame nobody addresses
  ControlKind kind = ControlKind::Label;
  std::u16string text;
  UnitRect rect;  // dialog units
  std::vector<std::string> styles;
  std::vector<ListColumn> columns;  // list views only

  bool Has(const std::string& style) const;
};

struct DialogTemplate {
  std::u16string title;
  int width = 0, height = 0;  // dialog units
  std::string fontFamily;
  int fontPoints = 8;
  std::vector<ControlTemplate> controls;

  const ControlTemplate* Control(int id) const;
};

class ResourceSet {
 public:
  // Reads `folder`/ui.json; null with `error` set when it cannot be read or
  // is not of the documented form.
  static std::unique_ptr<ResourceSet> Load(const std::filesystem::path& folder, std::string& error);

  const std::string& Language() const { return language_; }
  // The string `id`; empty when the table has none.
  std::u16string String(uint32_t id) const;
  // Null when the set has no such template.
  const DialogTemplate* Dialog(int id) const;
  // The image file of bitmap `id`; empty when the set has none.
  std::filesystem::path BitmapFile(int id) const;

 private:
  std::string language_;
  std::map<uint32_t, std::u16string> strings_;
  std::map<int, DialogTemplate> dialogs_;
  std::map<int, std::filesystem::path> bitmaps_;
};

// The shipped set of `language` ("enu", "deu") under the resource root:
// $VORNFMT_UI_RESOURCES when set, else the folder the build names.
std::filesystem::path UiResourceFolder(const std::string& language);

// The set the dialogs and message boxes use now: the one selected last, at
// first the English set; null when it cannot be read.
std::shared_ptr<const ResourceSet> CurrentUiResources();
// Makes the set in `folder` the current one; false (the current one stays)
// when it cannot be read.
bool SelectUiResources(const std::filesystem::path& folder);

}  // namespace vornfmt::dialogs
