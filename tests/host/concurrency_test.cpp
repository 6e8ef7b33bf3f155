// Several threads of a host, each with an element of its own, format and
// write through IDispatch while another thread switches LocaleId and yet
// another creates and releases elements. Every answer must be the one a
// single thread gets; a ThreadSanitizer build of this program runs in CI.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/automation/oleauto.h"
#include "tests/support/automation_client.h"
#include "tests/support/temp_registry.h"

namespace {

using vornfmt::test::Arg;
using vornfmt::test::Client;
using vornfmt::test::TextOf;

constexpr char16_t kPid[] = u"0000000000000000";
constexpr int kRounds = 150;

struct Work {
  const char16_t* type;
  std::vector<uint8_t> bytes;
  const char16_t* text;
};

const Work kWork[] = {
    {u"SNVT_switch", {0xC8, 0x01}, u"100 1"},
    {u"SNVT_temp_p", {0x08, 0x66}, u"21.5"},
    {u"SNVT_time_stamp", {0x07, 0xE8, 0x0C, 0x1F, 0x17, 0x3B, 0x3A}, u"2024 12 31 23 59 58"},
    {u"SCPTdefScale", {0x09, 0xC4}, u"12.5"},
};

IDispatch* CreateControl() { return vornfmt::test::CreateByProgId(u"VORNFMT.VornFmtCtrl.1"); }

IDispatch* GetItem(const Client& control, const char16_t* type) {
  Arg result;
  if (control.Call(2, {Arg::Text(type), Arg::Text(kPid), Arg::I2(0)}, result) != S_OK || !result.v().pdispVal)
    return nullptr;
  result.v().pdispVal->AddRef();
  return result.v().pdispVal;
}

// Formats and writes `work` kRounds times on an element of this thread's
// own; answers the number of wrong answers.
int FormatAndWrite(const Client& control, const Work& work, const std::atomic<int>& switches) {
  Client element(GetItem(control, work.type));
  if (!element.object()) return kRounds;
  while (switches.load() < 2) std::this_thread::yield();  // the language is changing by now
  int wrong = 0;
  for (int round = 0; round < kRounds; ++round) {
    Arg fmtdata, ok;
    element.Call(5, {Arg::I2(0), Arg::Bytes(work.bytes), Arg::I2(VT_BSTR), Arg::RefTo(&fmtdata.v()), Arg::I2(-1)}, ok);
    wrong += TextOf(fmtdata.v()) != work.text || ok.v().boolVal != VARIANT_TRUE;
    Arg data = Arg::Bytes(std::vector<uint8_t>(work.bytes.size(), 0));
    element.Call(7, {Arg::I2(0), Arg::RefTo(&data.v()), Arg::Text(work.text), Arg::I2(-1)}, ok);
    wrong += data.ArrayBytes() != work.bytes || ok.v().boolVal != VARIANT_TRUE;
    // The language, while another thread sets it.
    Arg locale;
    control.Call(6, {}, locale, DISPATCH_PROPERTYGET);
    wrong += TextOf(locale.v()) != u"deu" && TextOf(locale.v()) != u"enu";
  }
  element.object()->Release();
  return wrong;
}

TEST(HostThreads, ElementsFormatAndWriteWhileTheLanguageChanges) {
  vornfmt::test::TempRegistry registry;
  void* module = dlopen(VORNFMT_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  ASSERT_EQ(reinterpret_cast<HRESULT (*)()>(dlsym(module, "DllRegisterServer"))(), S_OK);
  // Created on this thread: module start happens before the threads begin.
  Client control(CreateControl());
  ASSERT_NE(control.object(), nullptr);

  Client other(CreateControl());
  ASSERT_NE(other.object(), nullptr);
  std::atomic<bool> done{false};
  std::atomic<int> wrong{0};
  std::atomic<int> switches{0};
  std::vector<std::thread> threads;
  for (const Work& work : kWork) threads.emplace_back([&] { wrong += FormatAndWrite(control, work, switches); });
  std::thread language([&] {
    for (int i = 0; !done; ++i, ++switches) {
      other.Put(6, Arg::Text(i % 2 ? u"deu" : u"enu"));
      Arg locale;
      other.Call(6, {}, locale, DISPATCH_PROPERTYGET);
      wrong += TextOf(locale.v()) != u"deu" && TextOf(locale.v()) != u"enu";
    }
    other.Put(6, Arg::Text(u"enu"));
  });
  std::thread churn([&] {
    while (!done) {
      IDispatch* element = GetItem(control, u"SNVT_alarm");
      wrong += element == nullptr;
      if (element) element->Release();
    }
  });
  for (std::thread& thread : threads) thread.join();
  done = true;
  language.join();
  churn.join();

  EXPECT_EQ(wrong.load(), 0);
  EXPECT_GT(switches.load(), 2);
  EXPECT_EQ(other.object()->Release(), 0u);
  EXPECT_EQ(control.object()->Release(), 0u);
  EXPECT_EQ(reinterpret_cast<HRESULT (*)()>(dlsym(module, "DllCanUnloadNow"))(), S_OK);
  EXPECT_EQ(reinterpret_cast<HRESULT (*)()>(dlsym(module, "DllUnregisterServer"))(), S_OK);
  dlclose(module);
  CoFreeUnusedLibraries();
}

}  // namespace
