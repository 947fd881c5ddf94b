// What screen readers see of a control the program draws itself (MSAA). A
// window of our own class reads as a plain "client" area: this object answers
// its WM_GETOBJECT for the client area as the system's standard object would,
// except for the role, the name and, for a push button, its state and default
// action. The object holds nothing but the window handle: a screen reader may
// keep it after the window is gone, and then only gets errors.
#pragma once

#include <windows.h>

#include <oleacc.h>

namespace tarvenia::win32 {

class AccessibleControl final : public IAccessible, public IOleWindow {
public:
    enum class Kind {
        PushButton, // focusable, pressed through its default action
        Graphic, // a picture, named by its window text
    };

    // Posted to a push button by its default action: the window runs the
    // click it would run for the mouse, if it is still shown and enabled.
    // Posted rather than run here, so that a screen reader's call returns
    // at once even when the click opens a modal box.
    static constexpr UINT kPressMessage = WM_USER + 0x40;

    // The answer to WM_GETOBJECT (wp, lp) for `hwnd`: this object for the
    // client area, the system's answer for every other object.
    static LRESULT Answer(HWND hwnd, WPARAM wp, LPARAM lp, Kind kind);

    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(
        REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
        DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* arg_error) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(
        LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

    // IOleWindow: how a client finds the window of the object.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;

private:
    AccessibleControl(HWND hwnd, Kind kind, IAccessible* standard);
    ~AccessibleControl();

    HWND hwnd_;
    Kind kind_;
    IAccessible* standard_; // the system's object for the client area, owned
    LONG references_ = 1;
};

} // namespace tarvenia::win32
