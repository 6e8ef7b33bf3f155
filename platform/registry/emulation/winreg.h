#pragma once
// The registry functions the system uses, with the names, arguments, value
// types and result codes of winreg.h / winerror.h, over hive files in the
// standard registry export format (hive.h). Where the files live, and how
// they change, is hive_store.h's business:
//
//   - Every call that reads parses the hive file as it is now; a file that
//     is missing is an empty hive, a file that cannot be parsed answers
//     ERROR_BADDB (reads and writes alike: a write never replaces a file
//     it could not read).
//   - Every call that changes something is one transaction: under an
//     exclusive lock of the hive, the file is read, changed and replaced
//     atomically (a temporary file renamed over it). Two processes writing
//     at once lose nothing; a crash leaves the old file or the new one.
//   - Handles name a key by its path; a key deleted while a handle is open
//     answers ERROR_KEY_DELETED. Writes need a handle opened with
//     KEY_SET_VALUE (values) or KEY_CREATE_SUB_KEY (keys), else
//     ERROR_ACCESS_DENIED. Security attributes, classes and options are
//     accepted and not used.
//
// Roots: HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, each
// one hive file of its own (on Windows HKEY_CLASSES_ROOT is a merged view
// of two others; here it is simply a hive).
//
// Part of the emulation used where Windows is not: include
// "platform/registry/winreg.h", which chooses between this and the real
// headers.
#ifdef _WIN32
#error "The registry emulation is not for Windows: include platform/registry/winreg.h"
#endif
#include "platform/automation/emulation/com.h"

struct HKEY__ {
  int unused;
};
typedef HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef DWORD ACCESS_MASK;
typedef ACCESS_MASK REGSAM;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;

typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  PVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))

#define KEY_QUERY_VALUE (0x0001)
#define KEY_SET_VALUE (0x0002)
#define KEY_CREATE_SUB_KEY (0x0004)
#define KEY_ENUMERATE_SUB_KEYS (0x0008)
#define KEY_NOTIFY (0x0010)
#define KEY_CREATE_LINK (0x0020)
#define KEY_READ (0x20019)
#define KEY_WRITE (0x20006)
#define KEY_ALL_ACCESS (0xF003F)

#define REG_OPTION_NON_VOLATILE (0x00000000L)
#define REG_CREATED_NEW_KEY (0x00000001L)
#define REG_OPENED_EXISTING_KEY (0x00000002L)

#define REG_NONE (0)
#define REG_SZ (1)
#define REG_EXPAND_SZ (2)
#define REG_BINARY (3)
#define REG_DWORD (4)
#define REG_DWORD_BIG_ENDIAN (5)
#define REG_LINK (6)
#define REG_MULTI_SZ (7)
#define REG_QWORD (11)

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_WRITE_FAULT 29L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_BADDB 1009L
#define ERROR_KEY_DELETED 1018L

extern "C" {

LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);
// Without lpData: the size in *lpcbData. With a buffer smaller than the
// data: ERROR_MORE_DATA, the size needed in *lpcbData, the buffer unchanged.
LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);
LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData);
LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);
// Only a key without subkeys (else ERROR_ACCESS_DENIED).
LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);
// The subkey with everything below it; without a subkey, everything below
// hKey (its values and subkeys) but not hKey itself.
LONG RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey);
LONG RegCloseKey(HKEY hKey);

}  // extern "C"
