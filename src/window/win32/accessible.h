// Screen readers ask each window for its accessible object (WM_GETOBJECT).
// The windows this program draws itself answer as the standard control they
// stand for (a push button, a picture), named by their window text. oleacc
// is loaded on the first such question: a run without assistive technology
// never loads it.
#pragma once

#include <windows.h>

#include <optional>

namespace tarvenia::win32 {

// The answer to WM_GETOBJECT for `hwnd` as a standard control of
// `class_name` ("Button", "Static"); none when the question is not for the
// client object or oleacc cannot give one (the caller then lets
// DefWindowProc answer).
std::optional<LRESULT> AnswerAsStandardControl(
    HWND hwnd, WPARAM wp, LPARAM lp, const char* class_name);

} // namespace tarvenia::win32
