// The control module's user interface on Qt, as the module assembles it
// (CVornFmtApp with QtModuleUi): GetValueVT reaches the value dialog, the
// language module chooses the dialogs' resource set, and the Properties
// verb shows the page "General". tests/host/host_dialogs_test.cpp sees the
// German dialog through vornfmt.ocx itself.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>

#include "control/automation/qt_module_ui.h"
#include "control/module_resources.h"
#include "control/vornfmt_app.h"
#include "control/vornfmt_ctrl.h"
#include "platform/automation/bstr_text.h"
#include "tests/dialogs/user_script.h"
#include "tests/support/temp_registry.h"

namespace vornfmt::test {
namespace {

constexpr char16_t kPid[] = u"0000000000000000";
constexpr char kLanguageKey[] =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Kestrane GmbH\\Ardmoor Tool Set\\Components\\NVT_Formatter]\n"
    "\"LanguageDll\"=\"";

// The module object as vornfmt.ocx builds it, started over a registry of
// the test's own naming `languageDll` (none when empty).
struct StartedModule {
  explicit StartedModule(const std::string& languageDll = "") {
    if (!languageDll.empty()) {
      const std::filesystem::path link = registry.Folder() / "lang.so";
      std::filesystem::create_symlink(languageDll, link);
      registry.Write("HKEY_LOCAL_MACHINE", kLanguageKey + link.string() + "\"\n");
    }
    app.InitInstance();
  }
  ~StartedModule() { SelectOwnResources(); }
  TempRegistry registry;
  CVornFmtApp app{{}, &QtModuleUi()};
};

// GetValueVT on SNVT_temp_p (a number dialog) started from "20", with the
// user's `step`; answers GetValueVT's result and the text it left.
std::pair<bool, std::u16string> AskValue(UserScript::Step step) {
  std::unique_ptr<CTypeElement> element = CVornFmtCtrl().GetItem1(u"SNVT_temp_p", kPid, 0);
  EXPECT_NE(element, nullptr);
  if (!element) return {false, u""};
  VARIANT value;
  VariantInit(&value);
  SetBstr(value, u"20");
  UserScript user({std::move(step)});
  const bool answer = element->GetValueVT(VT_BSTR, &value, -1);
  std::u16string text(BstrText(value));
  VariantClear(&value);
  return {answer, text};
}

void TypeAndOk(QDialog& d) {
  Find<QLineEdit>(d, 210)->setText("21.5");
  Click(d, 1);
}

TEST(ModuleUi, GetValueVTReachesTheValueDialog) {
  StartedModule module;
  auto [accepted, text] = AskValue(TypeAndOk);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(text, u"21.5");
  auto [cancelled, kept] = AskValue([](QDialog& d) { Click(d, 2); });
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(kept, u"20");
}

// The property frame: its title, one tab, the empty page of dialog 200.
UserScript::Step ExpectFrame(std::string title, std::string tab) {
  return [title, tab](QDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), title);
    auto* tabs = d.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0).toStdString(), tab);
    auto* page = dynamic_cast<dialogs::TemplateDialog*>(tabs->widget(0));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Template().width, 250);
    EXPECT_TRUE(page->Template().controls.empty());
    d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  };
}

TEST(ModuleUi, ThePropertiesVerbShowsTheGeneralPage) {
  StartedModule module;
  UserScript user({ExpectFrame("VornFmt Control", "General")});
  EXPECT_TRUE(CVornFmtCtrl().DoPropertiesVerb());
}

TEST(ModuleUi, TheGermanModuleChoosesTheGermanResourceSet) {
  StartedModule module(VORNFMT_GERMAN_MODULE);
  ASSERT_EQ(module.app.LanguageModuleError(), "");
  EXPECT_EQ(dialogs::CurrentUiResources()->Language(), "deu");
  EXPECT_EQ(ModuleString(kStringPageCaption), u"Allgemein");
  UserScript user({ExpectFrame("VornFmt-Steuerelement", "Allgemein")});
  EXPECT_TRUE(CVornFmtCtrl().DoPropertiesVerb());
}

TEST(ModuleUi, AModuleThatCannotBeLoadedLeavesTheEnglishSet) {
  dialogs::SelectUiResources(dialogs::UiResourceFolder("deu"));
  StartedModule module("/nonexistent/deu.so");
  EXPECT_NE(module.app.LanguageModuleError(), "");
  EXPECT_EQ(dialogs::CurrentUiResources()->Language(), "enu");
  EXPECT_EQ(ModuleString(kStringPageCaption), u"General");
}

}  // namespace
}  // namespace vornfmt::test
