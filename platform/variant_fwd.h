#pragma once
// The automation VARIANT, declared only: layers below the automation surface
// pass VARIANT pointers through without looking inside, and so do not pull
// in the automation headers (windows.h on Windows). The declaration is the
// one the Windows headers make (oaidl.h: typedef struct tagVARIANT VARIANT),
// so it agrees with both the real headers and our emulation
// (platform/automation/oleauto.h is the switch between them); repeating it
// after either is allowed.
struct tagVARIANT;
typedef struct tagVARIANT VARIANT;
