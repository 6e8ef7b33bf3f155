// The ole32 part of the emulation: GUID texts, ProgIDs, and the activation of
// in-process servers registered under HKEY_CLASSES_ROOT (modules loaded with
// dlopen).
#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/automation/emulation/com.h"
#include "platform/automation/emulation/stream.h"
#include "platform/registry/emulation/hive.h"
#include "platform/registry/emulation/winreg.h"

extern "C" {
const IID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_ISequentialStream = {0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
const IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IPersistStreamInit = {0x7FD52380, 0x4E07, 0x101B, {0xAE, 0x2D, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13}};
}

namespace {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" and its terminator.
constexpr int kGuidTextSize = 39;

using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, LPVOID*);
using CanUnloadNowFunction = HRESULT (*)();

// Modules loaded by CoGetClassObject, by path.
struct LoadedModules {
  std::mutex mutex;
  std::map<std::string, void*> byPath;
};

LoadedModules& Modules() {
  static LoadedModules modules;
  return modules;
}

int HexValue(OLECHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The default value of HKEY_CLASSES_ROOT\<path> as text (REG_SZ or
// REG_EXPAND_SZ, taken as it is); false when missing or of another type.
bool ReadDefaultText(const std::u16string& path, std::u16string& text) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0;
  DWORD size = 0;
  bool ok = RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ) && size <= 65536;
  if (ok) {
    std::vector<BYTE> data(size + 2, 0);
    ok = RegQueryValueExW(key, nullptr, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
    text.clear();
    for (DWORD i = 0; ok && i + 1 < size; i += 2) {
      const char16_t c = static_cast<char16_t>(data[i] | data[i + 1] << 8);
      if (c == 0) break;
      text.push_back(c);
    }
  }
  RegCloseKey(key);
  return ok;
}

std::u16string GuidText(REFGUID guid) {
  OLECHAR text[kGuidTextSize];
  StringFromGUID2(guid, text, kGuidTextSize);
  return std::u16string(text);
}

}  // namespace

extern "C" {

HRESULT CoInitialize(PVOID) { return S_OK; }

void CoUninitialize(void) { CoFreeUnusedLibraries(); }

HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid) {
  if (!clsid) return E_INVALIDARG;
  if (!text) return CO_E_CLASSSTRING;
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}: positions of the digits.
  static const int kDashes[] = {9, 14, 19, 24};
  size_t length = 0;
  while (length < kGuidTextSize && text[length] != 0) ++length;
  if (length != kGuidTextSize - 1 || text[0] != u'{' || text[37] != u'}') return CO_E_CLASSSTRING;
  for (int dash : kDashes)
    if (text[dash] != u'-') return CO_E_CLASSSTRING;
  uint8_t bytes[16];
  int count = 0;
  for (int i = 1; i < 37; ++i) {
    if (i == 9 || i == 14 || i == 19 || i == 24) continue;
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return CO_E_CLASSSTRING;
    bytes[count++] = static_cast<uint8_t>(high << 4 | low);
    ++i;
  }
  GUID guid;
  guid.Data1 = static_cast<ULONG>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
  guid.Data2 = static_cast<USHORT>(bytes[4] << 8 | bytes[5]);
  guid.Data3 = static_cast<USHORT>(bytes[6] << 8 | bytes[7]);
  for (int i = 0; i < 8; ++i) guid.Data4[i] = bytes[8 + i];
  *clsid = guid;
  return S_OK;
}

int StringFromGUID2(REFGUID guid, LPOLESTR text, int size) {
  if (!text || size < kGuidTextSize) return 0;
  static const char kDigits[] = "0123456789ABCDEF";
  uint8_t bytes[16] = {
      static_cast<uint8_t>(guid.Data1 >> 24), static_cast<uint8_t>(guid.Data1 >> 16),
      static_cast<uint8_t>(guid.Data1 >> 8),  static_cast<uint8_t>(guid.Data1),
      static_cast<uint8_t>(guid.Data2 >> 8),  static_cast<uint8_t>(guid.Data2),
      static_cast<uint8_t>(guid.Data3 >> 8),  static_cast<uint8_t>(guid.Data3)};
  for (int i = 0; i < 8; ++i) bytes[8 + i] = guid.Data4[i];
  int out = 0;
  text[out++] = u'{';
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text[out++] = u'-';
    text[out++] = static_cast<OLECHAR>(kDigits[bytes[i] >> 4]);
    text[out++] = static_cast<OLECHAR>(kDigits[bytes[i] & 0xF]);
  }
  text[out++] = u'}';
  text[out++] = 0;
  return out;
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid) {
  if (!progId || !clsid) return E_INVALIDARG;
  try {
    std::u16string name(progId);
    if (name.empty() || name.size() > 255 || name.find(u'\\') != std::u16string::npos) return CO_E_CLASSSTRING;
    std::u16string text;
    if (!ReadDefaultText(name + u"\\CLSID", text)) return CO_E_CLASSSTRING;
    return CLSIDFromString(text.c_str(), clsid);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, PVOID, REFIID riid, LPVOID* object) {
  if (!object) return E_INVALIDARG;
  *object = nullptr;
  if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
  try {
    std::u16string path;
    if (!ReadDefaultText(u"CLSID\\" + GuidText(clsid) + u"\\InprocServer32", path) || path.empty())
      return REGDB_E_CLASSNOTREG;
    const std::string file = vornfmt::registry::ToUtf8(path);
    LoadedModules& modules = Modules();
    std::lock_guard<std::mutex> guard(modules.mutex);
    void*& handle = modules.byPath[file];
    if (!handle) handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      modules.byPath.erase(file);
      return CO_E_DLLNOTFOUND;
    }
    auto getClassObject = reinterpret_cast<GetClassObjectFunction>(dlsym(handle, "DllGetClassObject"));
    if (!getClassObject) return CO_E_ERRORINDLL;
    return getClassObject(clsid, riid, object);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID riid, LPVOID* object) {
  if (!object) return E_INVALIDARG;
  *object = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(outer, riid, object);
  factory->Release();
  return hr;
}

void CoFreeUnusedLibraries(void) {
  LoadedModules& modules = Modules();
  std::lock_guard<std::mutex> guard(modules.mutex);
  for (auto it = modules.byPath.begin(); it != modules.byPath.end();) {
    auto canUnloadNow = reinterpret_cast<CanUnloadNowFunction>(dlsym(it->second, "DllCanUnloadNow"));
    if (canUnloadNow && canUnloadNow() == S_OK) {
      dlclose(it->second);
      it = modules.byPath.erase(it);
    } else {
      ++it;
    }
  }
}

}  // extern "C"
