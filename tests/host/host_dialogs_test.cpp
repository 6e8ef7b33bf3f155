// A host with a window system (offscreen): the control module, created by
// its ProgID, shows its value dialog for GetValueVT, in the language that
// LanguageDll names. The host drives the dialog the way a user would, from
// its own Qt event loop, since the dialogs live inside the module.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <string>

#include "platform/automation/oleauto.h"
#include "tests/support/automation_client.h"
#include "tests/support/temp_registry.h"

namespace {

using vornfmt::test::Arg;
using vornfmt::test::Client;
using vornfmt::test::TempRegistry;
using vornfmt::test::TextOf;

// The German module by its bare name: found beside the control module.
constexpr char kGermanConfiguration[] =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Kestrane GmbH\\Ardmoor Tool Set\\Components\\NVT_Formatter]\n"
    "\"LanguageDll\"=\"vornfmt_deu.so\"\n";

// Waits for the module's modal dialog, notes its title, types `text` into
// the value box (control 210) and presses OK (control 1).
void AnswerTheDialog(std::string& title, const QString& text) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [poll, &title, text] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    poll->deleteLater();
    title = dialog->windowTitle().toStdString();
    if (auto* value = dialog->findChild<QLineEdit*>("control210")) value->setText(text);
    if (auto* ok = dialog->findChild<QPushButton*>("control1")) ok->click();
  });
  poll->start(10);
}

TEST(HostWithDisplay, GetValueVTShowsTheModulesDialogInTheConfiguredLanguage) {
  int argc = 1;
  char name[] = "host";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  TempRegistry registry;
  registry.Write("HKEY_LOCAL_MACHINE", kGermanConfiguration);
  void* module = dlopen(VORNFMT_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  ASSERT_EQ(reinterpret_cast<HRESULT (*)()>(dlsym(module, "DllRegisterServer"))(), S_OK);

  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(u"VORNFMT.VornFmtCtrl.1", &clsid), S_OK);
  IDispatch* object = nullptr;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object)),
            S_OK);
  Client control(object);
  Arg item;
  ASSERT_EQ(control.Call(control.Id(u"GetItem1"), {Arg::Text(u"SNVT_temp_p"), Arg::Text(u"0000000000000000"), Arg::I2(0)},
                         item),
            S_OK);
  ASSERT_EQ(item.v().vt, VT_DISPATCH);
  Client element(item.v().pdispVal);

  std::string title;
  AnswerTheDialog(title, "21.5");
  Arg fmtdata = Arg::Text(u"20"), answer;
  ASSERT_EQ(element.Call(element.Id(u"GetValueVT"), {Arg::I2(VT_BSTR), Arg::RefTo(&fmtdata.v()), Arg::I2(-1)}, answer),
            S_OK);
  EXPECT_EQ(title, "Variablenwert \u00E4ndern");
  EXPECT_EQ(answer.v().boolVal, VARIANT_TRUE);
  EXPECT_EQ(TextOf(fmtdata.v()), u"21.5");

  item = Arg();
  EXPECT_EQ(object->Release(), 0u);
  EXPECT_EQ(reinterpret_cast<HRESULT (*)()>(dlsym(module, "DllCanUnloadNow"))(), S_OK);
  EXPECT_EQ(reinterpret_cast<HRESULT (*)()>(dlsym(module, "DllUnregisterServer"))(), S_OK);
  dlclose(module);
}

}  // namespace
