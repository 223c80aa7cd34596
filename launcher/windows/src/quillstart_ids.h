// The identifiers the control registers besides those of its type library.
#pragma once

#include <windows.h>

#include "quillstart_idl.h"

namespace quillstart {

inline constexpr const wchar_t* kControlProgId = L"QUILLSTART.QuillstartCtrl.1";
inline constexpr const wchar_t* kPropPageProgId = L"QUILLSTARTPP.QuillstartPropPage.1";
inline constexpr DWORD kMiscStatus = 0x20191;  // OLEMISC_ACTIVATEWHENVISIBLE | SETCLIENTSITEFIRST
                                               // | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
inline constexpr UINT kTypeNameString = 1;
inline constexpr UINT kToolboxBitmap = 1;
inline constexpr DISPID kDispidCloseIE = 2;
inline constexpr UINT kCloseMessage = 0x464;

// {079296C0-1997-4C9E-952C-1D930B959AF1}
inline constexpr CLSID kClsidPropPage = {
    0x079296c0, 0x1997, 0x4c9e, {0x95, 0x2c, 0x1d, 0x93, 0x0b, 0x95, 0x9a, 0xf1}};
// The two safe-for-scripting categories, which MinGW's headers lack.
inline constexpr GUID kCatidSafeForScripting = {
    0x7dd95801, 0x9882, 0x11cf, {0x9f, 0xa9, 0x00, 0xaa, 0x00, 0x6c, 0x42, 0xc4}};
inline constexpr GUID kCatidSafeForInitializing = {
    0x7dd95802, 0x9882, 0x11cf, {0x9f, 0xa9, 0x00, 0xaa, 0x00, 0x6c, 0x42, 0xc4}};

}  // namespace quillstart
