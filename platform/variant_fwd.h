#pragma once
// The automation VARIANT, declared only: layers below the automation surface
// pass VARIANT pointers through without looking inside.
struct tagVARIANT;
typedef tagVARIANT VARIANT;
