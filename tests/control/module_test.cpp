// The control module object in-process: module start's reading of the
// configuration (each value's buffer rule), the catalog folder through the
// drive table, the language module, and the control's persistence and
// language setting.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "catalog/formatter_engine.h"
#include "control/module_resources.h"
#include "control/module_ui.h"
#include "control/vornfmt_app.h"
#include "control/vornfmt_ctrl.h"
#include "convert/edit_value.h"
#include "platform/code_page.h"
#include "platform/drive_paths.h"
#include "platform/raster_image.h"
#include "tests/support/temp_registry.h"

namespace vornfmt {
namespace {

namespace fs = std::filesystem;
using test::TempRegistry;

constexpr char kKey[] =
    "[HKEY_LOCAL_MACHINE\\Software\\Kestrane GmbH\\Ardmoor Tool Set\\Components\\NVT_Formatter]\n";

std::string Hive(const std::string& values, const char* key = kKey) {
  return std::string("Windows Registry Editor Version 5.00\n\n") + key + values;
}

// "text" as a registry export writes a REG_SZ of it.
std::string Text(const std::string& name, const std::string& text) { return "\"" + name + "\"=\"" + text + "\"\n"; }

// A drive T: whose root is tests/data, for catalog folders short enough
// for Catalog_Path wherever the sources are.
class DriveT {
 public:
  explicit DriveT(const TempRegistry& registry) : root_(registry.Folder() / "drives") {
    fs::create_directories(root_);
    fs::create_directory_symlink(VORNFMT_TEST_DATA, root_ / "drive_t");
    setenv("VORNFMT_DRIVES", root_.c_str(), 1);
  }
  ~DriveT() { unsetenv("VORNFMT_DRIVES"); }

 private:
  fs::path root_;
};

struct ConfigurationCase {
  const char* what;
  std::string hive;
  uint32_t viewMessages;
  std::u16string catalogPath;
};

TEST(ModuleStart, ReadsEachValueByItsBufferRule) {
  const std::string sixtyThree(63 - 3, 'x'), sixtyFour(64 - 3, 'x');
  const ConfigurationCase cases[] = {
      {"no key at all", "", 0, kDefaultCatalogPath},
      {"the key without values", Hive(""), 0, kDefaultCatalogPath},
      {"ViewMessages 1", Hive("\"ViewMessages\"=dword:00000001\n"), 1, kDefaultCatalogPath},
      {"any non-zero number", Hive("\"ViewMessages\"=dword:80000000\n"), 1, kDefaultCatalogPath},
      {"ViewMessages 0", Hive("\"ViewMessages\"=dword:00000000\n"), 0, kDefaultCatalogPath},
      {"a shorter number, its type not examined", Hive("\"ViewMessages\"=hex:02\n"), 1, kDefaultCatalogPath},
      {"a number of 5 bytes does not fit", Hive("\"ViewMessages\"=hex:01,00,00,00,00\n"), 0, kDefaultCatalogPath},
      {"63 characters", Hive(Text("Catalog_Path", "T:\\\\" + sixtyThree)), 0, u"T:\\" + std::u16string(60, u'x')},
      {"64 characters fall back", Hive(Text("Catalog_Path", "T:\\\\" + sixtyFour)), 0, kDefaultCatalogPath},
      {"64 characters without terminator fall back", Hive("\"Catalog_Path\"=hex(1):" + [] {
         std::string bytes;
         for (int i = 0; i < 64; ++i) bytes += (i ? ",78,00" : "78,00");
         return bytes;
       }() + "\n"), 0, kDefaultCatalogPath},
      {"a text stored as a number", Hive("\"Catalog_Path\"=dword:00000041\n"), 0, u"A"},
      {"only the subkey's values count",
       Hive("\"Catalog_Path\"=\"T:\\\\nowhere\"\n",
            "[HKEY_LOCAL_MACHINE\\Software\\Kestrane GmbH\\Ardmoor Tool Set\\Components]\n"),
       0, kDefaultCatalogPath},
  };
  for (const ConfigurationCase& c : cases) {
    TempRegistry registry;
    if (!c.hive.empty()) registry.Write("HKEY_LOCAL_MACHINE", c.hive);
    CVornFmtApp app;
    EXPECT_TRUE(app.InitInstance()) << c.what;
    EXPECT_EQ(app.Configuration().viewMessages, c.viewMessages) << c.what;
    EXPECT_EQ(ViewMessages(), c.viewMessages) << c.what << ": the module-wide flag";
    EXPECT_EQ(app.Configuration().catalogPath, c.catalogPath) << c.what;
    EXPECT_EQ(TheEngine().CatalogFolder(), c.catalogPath) << c.what;
    EXPECT_EQ(app.Configuration().languageDll, u"") << c.what;
    app.ExitInstance();
    EXPECT_FALSE(app.Started());
  }
  EXPECT_EQ(ViewMessages(), 0u) << "module exit puts the flag back";
}

TEST(ModuleStart, OpensTheCatalogThroughTheDriveTable) {
  TempRegistry registry;
  DriveT drive(registry);
  for (const char* path : {"T:\\\\catalog-a", "t:/CATALOG-A", "T:\\\\Catalog-A\\\\"}) {
    registry.Write("HKEY_LOCAL_MACHINE", Hive(Text("Catalog_Path", path)));
    CVornFmtApp app;
    app.InitInstance();
    EXPECT_TRUE(TheEngine().HasCatalog()) << path;
    CVornFmtCtrl control;
    EXPECT_EQ(control.TypesCount(u"8000010000000000", 3, 0), 2) << path;
  }
  EXPECT_EQ(platform::NativePath("T:\\catalog-a\\x.typ"), platform::DriveRoot() / "drive_t" / "catalog-a" / "x.typ");
  EXPECT_EQ(platform::NativePath("/usr/share"), fs::path("/usr/share")) << "native paths stay";
  EXPECT_EQ(platform::NativePath("relative\\name"), fs::path("relative\\name"));
}

TEST(ModuleStart, AFreshInstallReachesTheShippedCatalogByDefault) {
  TempRegistry registry;
  CVornFmtApp app;
  app.InitInstance();
  ASSERT_EQ(app.Configuration().catalogPath, u"C:\\LonWorks\\Types");
  EXPECT_TRUE(TheEngine().HasCatalog()) << TheEngine().LastLibraryError();
  EXPECT_EQ(CVornFmtCtrl().TypesCount(u"0000000000000000", 0, 0), 590);
}

TEST(LanguageModule, TheGermanModuleSuppliesTheStringTable) {
  TempRegistry registry;
  // A short path to the module, for the 63 characters of LanguageDll.
  const fs::path link = registry.Folder() / "deu.so";
  fs::create_symlink(VORNFMT_GERMAN_MODULE, link);
  if (link.string().size() > 63) GTEST_SKIP() << "the temporary folder's name is too long for LanguageDll";
  registry.Write("HKEY_LOCAL_MACHINE", Hive(Text("LanguageDll", link.string())));
  EXPECT_EQ(ModuleString(106), u"Wrong data.");
  CVornFmtApp app;
  app.InitInstance();
  EXPECT_EQ(app.LanguageModuleError(), "");
  EXPECT_EQ(ResourceLanguage(), "deu");
  struct Case {
    uint32_t id;
    std::u16string text;
  } cases[] = {{1, u"VornFmt-Steuerelement"}, {101, u"Daten \u00FCberschreiten die Grenzen."}, {106, u"Falsche Daten."},
               {200, u"Allgemein"}, {108, u"Software\\Kestrane GmbH\\Ardmoor Tool Set\\Components"}, {999, u""}};
  for (const Case& c : cases) EXPECT_EQ(ModuleString(c.id), c.text) << c.id;
  EXPECT_EQ(ResourceSetFolder(), fs::path(VORNFMT_SOURCE_DIR) / "resources" / "ui" / "deu");
  SelectOwnResources();
  EXPECT_EQ(ModuleString(106), u"Wrong data.");
}

TEST(LanguageModule, AModuleThatCannotServeLeavesTheOwnResources) {
  struct Case {
    const char* module;
    const char* error;
  } cases[] = {
      {"/nonexistent/deu.so", "/nonexistent/deu.so"},
      {VORNFMT_WINAPI_FILE, "exports no VornFmtLanguageResources"},
  };
  for (const Case& c : cases) {
    std::string error;
    const std::string name = c.module;
    EXPECT_FALSE(SelectLanguageModule(std::u16string(name.begin(), name.end()), error)) << c.module;
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(ResourceLanguage(), "enu");
    EXPECT_EQ(ModuleString(2), u"VornFmt Property Page");
  }
}

// The one fake user interface: resource sets by folder, each answering
// its strings as "<set> <id>" but for 106, which no set has; the folder
// named `refused` cannot be read. Pages asked for are noted.
class FakeUi final : public ModuleUi {
 public:
  ValueEditorUi* Editor() override { return nullptr; }
  bool SelectResourceSet(const fs::path& folder) override {
    selected.push_back(folder);
    if (folder.filename() == refused) return false;
    set = folder.empty() ? "own" : folder.filename().string();
    return true;
  }
  std::optional<std::u16string> String(uint32_t id) override {
    if (id == 106) return std::nullopt;
    return codepage::Utf8ToUtf16(set + " " + std::to_string(id));
  }
  bool ShowPropertyPage(std::u16string_view title, int dialogId, std::u16string_view caption) override {
    pages.push_back(codepage::Utf16ToUtf8(title) + "|" + std::to_string(dialogId) + "|" +
                    codepage::Utf16ToUtf8(caption));
    return true;
  }
  std::string refused = "unreadable";
  std::vector<fs::path> selected;
  std::string set;
  std::vector<std::string> pages;
};

TEST(LanguageModule, ChoosesItsResourceSetInTheUserInterface) {
  struct Case {
    const char* languageDll;
    fs::path set;                  // what the UI was asked to select
    std::u16string caption, wrongData;  // strings 200 and 106 then
  } cases[] = {
      {"", "", u"own 200", u"Wrong data."},
      {"german", fs::path(VORNFMT_SOURCE_DIR) / "resources" / "ui" / "deu", u"deu 200", u"Falsche Daten."},
      {"/nonexistent/deu.so", "", u"own 200", u"Wrong data."},
  };
  for (const Case& c : cases) {
    TempRegistry registry;
    std::string dll = c.languageDll;
    if (dll == "german") {
      fs::create_symlink(VORNFMT_GERMAN_MODULE, dll = (registry.Folder() / "deu.so").string());
      if (dll.size() > 63) GTEST_SKIP() << "the temporary folder's name is too long for LanguageDll";
    }
    if (!dll.empty()) registry.Write("HKEY_LOCAL_MACHINE", Hive(Text("LanguageDll", dll)));
    FakeUi ui;
    CVornFmtApp app({}, &ui);
    app.InitInstance();
    EXPECT_EQ(CurrentModuleUi(), &ui);
    ASSERT_FALSE(ui.selected.empty()) << c.languageDll;
    EXPECT_EQ(ui.selected.back(), c.set) << c.languageDll;
    EXPECT_EQ(ModuleString(kStringPageCaption), c.caption) << c.languageDll;
    EXPECT_EQ(ModuleString(106), c.wrongData) << c.languageDll << ": the set lacks it";
    EXPECT_TRUE(CVornFmtCtrl().DoPropertiesVerb());
    EXPECT_EQ(ui.pages, std::vector<std::string>{ui.set + " 1|200|" + ui.set + " 200"});
    app.ExitInstance();
    EXPECT_EQ(CurrentModuleUi(), nullptr);
    EXPECT_FALSE(CVornFmtCtrl().DoPropertiesVerb());
    SelectOwnResources();
  }
}

TEST(LanguageModule, ASetThatCannotBeReadLeavesTheModulesStringTable) {
  FakeUi ui;
  ui.refused = "deu";
  ModuleUi* previous = InstallModuleUi(&ui);
  const std::string name = VORNFMT_GERMAN_MODULE;
  std::string error;
  ASSERT_TRUE(SelectLanguageModule(std::u16string(name.begin(), name.end()), error)) << error;
  EXPECT_EQ(ui.set, "own") << "the dialogs fall back to the built-in set";
  EXPECT_EQ(ModuleString(kStringPageCaption), u"Allgemein") << "the module's own table";
  SelectOwnResources();
  EXPECT_EQ(ModuleString(kStringPageCaption), u"own 200");
  InstallModuleUi(previous);
}

TEST(Control, PersistsOnlyTheVersionStamp) {
  CVornFmtCtrl saved;
  const std::vector<uint8_t> state = saved.SaveState();
  EXPECT_EQ(state, (std::vector<uint8_t>{0x00, 0x00, 0x01, 0x00}));
  CVornFmtCtrl loaded;
  EXPECT_TRUE(loaded.LoadState(state));
  EXPECT_EQ(loaded.LoadedVersion(), 0x00010000u);
  for (const std::vector<uint8_t>& hostile : {std::vector<uint8_t>{1, 2, 3}, {0, 0, 2, 0}, {0, 0, 1, 0, 0}, {}})
    EXPECT_FALSE(loaded.LoadState(hostile)) << hostile.size() << " bytes";
  EXPECT_EQ(loaded.LoadedVersion(), 0x00010000u);
  EXPECT_FALSE(loaded.IsModified());
}

TEST(Control, DrawsAWhiteFieldWithAnInscribedEllipse) {
  // A grey image, a red brush: what is white was filled, what is red or
  // black is the ellipse's fill and outline.
  RasterImage image(44, 24, 0x808080);
  image.SetBrush(0xFF0000);
  CVornFmtCtrl().OnDraw(image, {2, 2, 42, 22});
  struct Case {
    int x, y;
    uint32_t color;
  } cases[] = {
      {0, 0, 0x808080}, {43, 23, 0x808080},            // outside the bounds: untouched
      {2, 2, RasterImage::kWhite}, {41, 21, RasterImage::kWhite},  // the bounds' corners: filled
      {22, 12, 0xFF0000},                                // the centre: the brush
      {22, 2, RasterImage::kBlack}, {22, 21, RasterImage::kBlack},  // top and bottom of the ellipse: the pen
      {2, 12, RasterImage::kBlack}, {41, 12, RasterImage::kBlack},  // its left and right ends
      {42, 12, 0x808080},                                // right is outside, as in a RECT
  };
  for (const Case& c : cases) EXPECT_EQ(image.Pixel(c.x, c.y), c.color) << c.x << "," << c.y;
}

TEST(Control, LocaleIdsTheCodePageCannotHoldAreAFailedSetting) {
  TempRegistry registry;
  CVornFmtApp app;
  app.InitInstance();
  CVornFmtCtrl control;
  control.SetLocaleId(u"deu");
  EXPECT_TRUE(control.IsModified());
  EXPECT_EQ(control.LocaleId(), u"deu");
  EXPECT_NE(TheEngine().LanguageKey(), kEnglishLanguageKey);
  control.SetLocaleId(u"\u4E00\u4E01\u4E02");
  EXPECT_EQ(control.LocaleId(), u"deu") << "the text stays";
  EXPECT_EQ(TheEngine().LanguageKey(), kEnglishLanguageKey) << "the language falls back";
  control.SetLocaleId(std::nullopt);
  EXPECT_EQ(TheEngine().LanguageKey(), kEnglishLanguageKey);
  control.SetLocaleId(u"enu");
}

}  // namespace
}  // namespace vornfmt
