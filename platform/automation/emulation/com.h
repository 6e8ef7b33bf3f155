#pragma once
// COM as the automation surface needs it: GUIDs, IUnknown, IDispatch,
// IClassFactory, DISPPARAMS and EXCEPINFO, the DISPATCH_ flags and the
// special DISPIDs, the result codes of activation, self-registration and
// controls, and the activation functions of ole32 (CLSIDFromProgID,
// CoGetClassObject, CoCreateInstance, CoFreeUnusedLibraries).
//
// Names, values and layouts are those of unknwn.h, oaidl.h, objbase.h,
// winerror.h and olectl.h. The interfaces are C++ classes with pure virtual
// members in the Windows order and no virtual destructor, so that their
// vtables have the COM layout (the Itanium C++ ABI puts a class's virtual
// functions in declaration order after one vtable pointer, as COM does).
//
// What is not here: apartments and marshalling (an object is called on the
// thread that calls it), ITypeInfo (declared only), aggregation, and
// servers other than in-process ones (CLSCTX_INPROC_SERVER).
//
// Part of the emulation used where Windows is not: include
// "platform/automation/oleauto.h", which chooses between this and the real
// headers.
#ifdef _WIN32
#error "The automation emulation is not for Windows: include platform/automation/oleauto.h"
#endif
#include <cstdint>
#include <cstring>

#include "platform/automation/emulation/automation_types.h"

#define STDMETHODCALLTYPE
#define STDAPICALLTYPE
#define STDAPI extern "C" HRESULT STDAPICALLTYPE

typedef uintptr_t ULONG_PTR;
typedef intptr_t LONG_PTR;
typedef void* LPVOID;
typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;

// ---- GUIDs ----------------------------------------------------------------------
typedef struct _GUID {
  ULONG Data1;
  USHORT Data2;
  USHORT Data3;
  BYTE Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
typedef IID* LPIID;
typedef CLSID* LPCLSID;
#define REFGUID const GUID&
#define REFIID const IID&
#define REFCLSID const CLSID&

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
inline bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }

extern "C" {
extern const IID GUID_NULL;
extern const IID IID_NULL;
extern const IID IID_IUnknown;
extern const IID IID_IDispatch;
extern const IID IID_IClassFactory;
}

// ---- Interfaces ----------------------------------------------------------------------
struct ITypeInfo;

struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;
};
typedef IUnknown* LPUNKNOWN;

typedef LONG DISPID;
typedef DISPID MEMBERID;

typedef struct tagDISPPARAMS {
  VARIANTARG* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
} DISPPARAMS;

typedef struct tagEXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  PVOID pvReserved;
  HRESULT(STDMETHODCALLTYPE* pfnDeferredFillIn)(struct tagEXCEPINFO*);
  SCODE scode;
} EXCEPINFO, *LPEXCEPINFO;

struct IDispatch : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                                  DISPID* rgDispId) = 0;
  virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                           UINT* puArgErr) = 0;
};
typedef IDispatch* LPDISPATCH;

struct IClassFactory : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) = 0;
};
typedef IClassFactory* LPCLASSFACTORY;

// ---- Dispatch flags and special DISPIDs -----------------------------------------------
#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8

#define DISPID_UNKNOWN (-1)
#define DISPID_VALUE (0)
#define DISPID_PROPERTYPUT (-3)
#define DISPID_NEWENUM (-4)
#define DISPID_EVALUATE (-5)

// ---- Result codes ----------------------------------------------------------------------
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111L)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)
#define REGDB_E_READREGDB ((HRESULT)0x80040150L)
#define CO_E_CLASSSTRING ((HRESULT)0x800401F3L)
#define CO_E_DLLNOTFOUND ((HRESULT)0x800401F8L)
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9L)
#define SELFREG_E_TYPELIB ((HRESULT)0x80040200L)
#define SELFREG_E_CLASS ((HRESULT)0x80040201L)
// Controls: a property that cannot be set (olectl.h, STD_CTL_SCODE(383)).
#define CTL_E_SETNOTSUPPORTED ((HRESULT)0x800A017FL)

// ---- Activation --------------------------------------------------------------------------
typedef enum tagCLSCTX {
  CLSCTX_INPROC_SERVER = 0x1,
  CLSCTX_INPROC_HANDLER = 0x2,
  CLSCTX_LOCAL_SERVER = 0x4,
  CLSCTX_REMOTE_SERVER = 0x10,
} CLSCTX;
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

extern "C" {

// Initialisation has nothing to prepare: S_OK, always. CoUninitialize frees
// the modules that can be unloaded, as CoFreeUnusedLibraries does.
HRESULT CoInitialize(PVOID reserved);
void CoUninitialize(void);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", hexadecimal digits of either
// case, exactly; CO_E_CLASSSTRING for anything else.
HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);
// Writes the braced, upper-case form; answers the characters written with
// the terminator (39: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"), or 0 when
// `size` is too small.
int StringFromGUID2(REFGUID guid, LPOLESTR text, int size);
// The default value of HKEY_CLASSES_ROOT\<progId>\CLSID; CO_E_CLASSSTRING
// when the ProgID is not registered or its CLSID is no GUID text.
HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid);

// The class object of an in-process server: the module named by the
// default value of HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32 is loaded
// (once; it stays loaded until CoFreeUnusedLibraries finds it idle) and
// asked through its DllGetClassObject. REGDB_E_CLASSNOTREG when the class
// or its module path is not registered or CLSCTX_INPROC_SERVER is not
// asked for, CO_E_DLLNOTFOUND when the module cannot be loaded,
// CO_E_ERRORINDLL when it has no DllGetClassObject.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, PVOID serverInfo, REFIID riid, LPVOID* object);
// CoGetClassObject for IClassFactory, then CreateInstance.
HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID riid, LPVOID* object);
// Unloads every module loaded by CoGetClassObject whose DllCanUnloadNow
// answers S_OK.
void CoFreeUnusedLibraries(void);

}  // extern "C"
