// The C++ object behind a window of our own classes: it arrives as
// CreateWindowEx's lpParam with WM_NCCREATE and is kept in the window's
// GWLP_USERDATA, so that every later message reaches it. Null for the few
// messages that come before WM_NCCREATE.
#pragma once

#include <windows.h>

namespace tarvenia::win32 {

template <class T> T* WindowObject(HWND hwnd, UINT msg, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return self;
    }
    return reinterpret_cast<T*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

} // namespace tarvenia::win32
