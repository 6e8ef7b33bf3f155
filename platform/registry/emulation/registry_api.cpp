// The winreg functions over the hive files (hive_store.h).
#include <cstring>
#include <map>
#include <mutex>
#include <new>

#include "platform/registry/emulation/hive_store.h"
#include "platform/registry/emulation/winreg.h"

namespace vornfmt::registry {
namespace {

struct OpenKey {
  Root root = Root::LocalMachine;
  std::vector<std::u16string> path;
  REGSAM access = 0;
};

struct HandleTable {
  std::mutex mutex;
  std::map<HKEY, OpenKey> open;
};

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

std::optional<OpenKey> Resolve(HKEY key) {
  if (key == HKEY_CLASSES_ROOT) return OpenKey{Root::ClassesRoot, {}, KEY_ALL_ACCESS};
  if (key == HKEY_CURRENT_USER) return OpenKey{Root::CurrentUser, {}, KEY_ALL_ACCESS};
  if (key == HKEY_LOCAL_MACHINE) return OpenKey{Root::LocalMachine, {}, KEY_ALL_ACCESS};
  HandleTable& table = Handles();
  std::lock_guard<std::mutex> guard(table.mutex);
  auto it = table.open.find(key);
  if (it == table.open.end()) return std::nullopt;
  return it->second;
}

HKEY NewHandle(OpenKey key) {
  HKEY handle = new (std::nothrow) HKEY__{0};
  if (!handle) return nullptr;
  HandleTable& table = Handles();
  std::lock_guard<std::mutex> guard(table.mutex);
  table.open.emplace(handle, std::move(key));
  return handle;
}

size_t Length(LPCWSTR text) {
  size_t n = 0;
  if (text)
    while (text[n] != 0) ++n;
  return n;
}

std::u16string_view View(LPCWSTR text) { return std::u16string_view(text ? text : u"", Length(text)); }

// The key `sub` below `base`; nullopt for a path with an empty or too long
// part, or too deep.
std::optional<std::vector<std::u16string>> Below(const OpenKey& base, LPCWSTR sub) {
  auto parts = SplitKeyPath(View(sub));
  if (!parts || base.path.size() + parts->size() > kMaxKeyDepth) return std::nullopt;
  std::vector<std::u16string> full = base.path;
  full.insert(full.end(), parts->begin(), parts->end());
  return full;
}

std::u16string PathText(Root root, const std::vector<std::u16string>& path) {
  std::u16string text = RootName(root);
  for (const std::u16string& part : path) text += u"\\" + part;
  return text;
}

// Runs `body`, answering ERROR_OUTOFMEMORY for an exhausted memory: no
// exception leaves the registry functions.
template <typename Body>
LONG NoThrow(Body body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  } catch (...) {
    return ERROR_BADDB;
  }
}

}  // namespace
}  // namespace vornfmt::registry

using namespace vornfmt::registry;

extern "C" {

LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  return NoThrow([&]() -> LONG {
    auto base = Resolve(hKey);
    if (!base) return ERROR_INVALID_HANDLE;
    auto path = Below(*base, lpSubKey);
    if (!path) return ERROR_INVALID_PARAMETER;
    long code = ERROR_SUCCESS;
    std::string reason;
    std::optional<Hive> hive = LoadHive(base->root, code, reason);
    if (!hive) return code;
    if (!hive->Find(base->path)) return ERROR_KEY_DELETED;
    if (!hive->Find(*path)) return ERROR_FILE_NOT_FOUND;
    *phkResult = NewHandle(OpenKey{base->root, std::move(*path), samDesired});
    return *phkResult ? ERROR_SUCCESS : ERROR_OUTOFMEMORY;
  });
}

LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM samDesired, LPSECURITY_ATTRIBUTES,
                     PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  return NoThrow([&]() -> LONG {
    auto base = Resolve(hKey);
    if (!base) return ERROR_INVALID_HANDLE;
    auto path = Below(*base, lpSubKey);
    if (!path) return ERROR_INVALID_PARAMETER;
    bool created = false;
    const LONG code = ChangeHive(base->root, PathText(base->root, *path), [&](Hive& hive, bool& changed) -> long {
      if (!hive.Find(base->path)) return ERROR_KEY_DELETED;
      if (hive.Find(*path)) return ERROR_SUCCESS;
      if (!(base->access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
      hive.Create(*path, created);
      changed = created;
      return ERROR_SUCCESS;
    });
    if (code != ERROR_SUCCESS) return code;
    if (lpdwDisposition) *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *phkResult = NewHandle(OpenKey{base->root, std::move(*path), samDesired});
    return *phkResult ? ERROR_SUCCESS : ERROR_OUTOFMEMORY;
  });
}

LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  return NoThrow([&]() -> LONG {
    auto key = Resolve(hKey);
    if (!key) return ERROR_INVALID_HANDLE;
    if (!(key->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    long code = ERROR_SUCCESS;
    std::string reason;
    std::optional<Hive> hive = LoadHive(key->root, code, reason);
    if (!hive) return code;
    const Key* found = hive->Find(key->path);
    if (!found) return ERROR_KEY_DELETED;
    auto value = found->values.find(FoldName(View(lpValueName)));
    if (value == found->values.end()) return ERROR_FILE_NOT_FOUND;
    const std::vector<uint8_t>& data = value->second.data;
    if (lpType) *lpType = value->second.type;
    if (!lpData) {
      if (lpcbData) *lpcbData = static_cast<DWORD>(data.size());
      return ERROR_SUCCESS;
    }
    if (*lpcbData < data.size()) {
      *lpcbData = static_cast<DWORD>(data.size());
      return ERROR_MORE_DATA;
    }
    if (!data.empty()) std::memcpy(lpData, data.data(), data.size());
    *lpcbData = static_cast<DWORD>(data.size());
    return ERROR_SUCCESS;
  });
}

LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  if ((!lpData && cbData != 0) || cbData > kMaxValueBytes || Length(lpValueName) > kMaxValueNameLength)
    return ERROR_INVALID_PARAMETER;
  return NoThrow([&]() -> LONG {
    auto key = Resolve(hKey);
    if (!key) return ERROR_INVALID_HANDLE;
    if (!(key->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    Value value{std::u16string(View(lpValueName)), dwType, std::vector<uint8_t>(lpData, lpData + cbData)};
    return ChangeHive(key->root, PathText(key->root, key->path), [&](Hive& hive, bool& changed) -> long {
      Key* found = hive.Find(key->path);
      if (!found) return ERROR_KEY_DELETED;
      Value& slot = found->values[FoldName(value.name)];
      if (!slot.name.empty()) value.name = slot.name;  // a value keeps the name it was created with
      changed = !(slot == value);
      slot = value;
      return ERROR_SUCCESS;
    });
  });
}

LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  return NoThrow([&]() -> LONG {
    auto key = Resolve(hKey);
    if (!key) return ERROR_INVALID_HANDLE;
    if (!(key->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    return ChangeHive(key->root, PathText(key->root, key->path), [&](Hive& hive, bool& changed) -> long {
      Key* found = hive.Find(key->path);
      if (!found) return ERROR_KEY_DELETED;
      changed = found->values.erase(FoldName(View(lpValueName))) == 1;
      return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
  });
}

LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
  if (Length(lpSubKey) == 0) return ERROR_INVALID_PARAMETER;
  return NoThrow([&]() -> LONG {
    auto base = Resolve(hKey);
    if (!base) return ERROR_INVALID_HANDLE;
    auto path = Below(*base, lpSubKey);
    if (!path) return ERROR_INVALID_PARAMETER;
    return ChangeHive(base->root, PathText(base->root, *path), [&](Hive& hive, bool& changed) -> long {
      const Key* found = hive.Find(*path);
      if (!found) return ERROR_FILE_NOT_FOUND;
      if (!found->subkeys.empty()) return ERROR_ACCESS_DENIED;
      changed = hive.Remove(*path);
      return ERROR_SUCCESS;
    });
  });
}

LONG RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey) {
  return NoThrow([&]() -> LONG {
    auto base = Resolve(hKey);
    if (!base) return ERROR_INVALID_HANDLE;
    auto path = Below(*base, lpSubKey);
    if (!path) return ERROR_INVALID_PARAMETER;
    const bool below = Length(lpSubKey) == 0;
    return ChangeHive(base->root, PathText(base->root, *path), [&](Hive& hive, bool& changed) -> long {
      Key* found = hive.Find(*path);
      if (!found) return below ? ERROR_KEY_DELETED : ERROR_FILE_NOT_FOUND;
      if (below) {
        changed = !found->values.empty() || !found->subkeys.empty();
        found->values.clear();
        found->subkeys.clear();
      } else {
        changed = hive.Remove(*path);
      }
      return ERROR_SUCCESS;
    });
  });
}

LONG RegCloseKey(HKEY hKey) {
  if (hKey == HKEY_CLASSES_ROOT || hKey == HKEY_CURRENT_USER || hKey == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  HandleTable& table = Handles();
  std::lock_guard<std::mutex> guard(table.mutex);
  auto it = table.open.find(hKey);
  if (it == table.open.end()) return ERROR_INVALID_HANDLE;
  table.open.erase(it);
  delete hKey;
  return ERROR_SUCCESS;
}

}  // extern "C"
