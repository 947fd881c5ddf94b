#include "window/win32/accessible_control.h"

#include <new>
#include <string>

namespace tarvenia::win32 {

namespace {

    // The object itself, not one of its children (it has none).
    bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

    // The window texts are Windows-1252 bytes whatever the system's ANSI code
    // page, so they are widened from 1252 rather than by the system.
    BSTR WindowName(HWND hwnd)
    {
        const int length = ::GetWindowTextLengthA(hwnd);
        if (length <= 0)
            return nullptr;
        std::string bytes(static_cast<std::size_t>(length) + 1, '\0');
        const int got = ::GetWindowTextA(hwnd, bytes.data(), length + 1);
        if (got <= 0)
            return nullptr;
        const int wide = ::MultiByteToWideChar(1252, 0, bytes.data(), got, nullptr, 0);
        BSTR name = ::SysAllocStringLen(nullptr, static_cast<UINT>(wide));
        if (name)
            ::MultiByteToWideChar(1252, 0, bytes.data(), got, name, wide);
        return name;
    }

} // namespace

LRESULT AccessibleControl::Answer(HWND hwnd, WPARAM wp, LPARAM lp, Kind kind)
{
    // The object id comes as a 32-bit value, sign-extended or not.
    if (static_cast<DWORD>(lp) != static_cast<DWORD>(OBJID_CLIENT))
        return ::DefWindowProcA(hwnd, WM_GETOBJECT, wp, lp);
    IAccessible* standard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(
            hwnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard)))
        || !standard)
        return ::DefWindowProcA(hwnd, WM_GETOBJECT, wp, lp);
    // No exception may leave a window procedure.
    auto* object = new (std::nothrow) AccessibleControl(hwnd, kind, standard);
    if (!object) {
        standard->Release();
        return ::DefWindowProcA(hwnd, WM_GETOBJECT, wp, lp);
    }
    // LresultFromObject takes a reference of its own for the client.
    const LRESULT result
        = ::LresultFromObject(__uuidof(IAccessible), wp, static_cast<IAccessible*>(object));
    object->Release();
    // A failure is a negative HRESULT: the system's own object still gives
    // the name.
    if (result < 0)
        return ::DefWindowProcA(hwnd, WM_GETOBJECT, wp, lp);
    return result;
}

AccessibleControl::AccessibleControl(HWND hwnd, Kind kind, IAccessible* standard)
    : hwnd_(hwnd)
    , kind_(kind)
    , standard_(standard)
{
}

AccessibleControl::~AccessibleControl() { standard_->Release(); }

HRESULT AccessibleControl::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (::IsEqualIID(riid, __uuidof(IUnknown)) || ::IsEqualIID(riid, __uuidof(IDispatch))
        || ::IsEqualIID(riid, __uuidof(IAccessible)))
        *object = static_cast<IAccessible*>(this);
    else if (::IsEqualIID(riid, __uuidof(IOleWindow)))
        *object = static_cast<IOleWindow*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG AccessibleControl::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG AccessibleControl::Release()
{
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT AccessibleControl::GetTypeInfoCount(UINT* count)
{
    return standard_->GetTypeInfoCount(count);
}

HRESULT AccessibleControl::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info)
{
    return standard_->GetTypeInfo(index, lcid, info);
}

HRESULT AccessibleControl::GetIDsOfNames(
    REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids)
{
    return standard_->GetIDsOfNames(riid, names, count, lcid, ids);
}

HRESULT AccessibleControl::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
    VARIANT* result, EXCEPINFO* exception, UINT* arg_error)
{
    return standard_->Invoke(id, riid, lcid, flags, params, result, exception, arg_error);
}

HRESULT AccessibleControl::get_accParent(IDispatch** parent)
{
    return standard_->get_accParent(parent);
}

HRESULT AccessibleControl::get_accChildCount(LONG* count)
{
    return standard_->get_accChildCount(count);
}

HRESULT AccessibleControl::get_accChild(VARIANT child, IDispatch** object)
{
    return standard_->get_accChild(child, object);
}

// The window text: the caption, the hint of a glyph-only button, the shown
// photo's title. Read at each call, so it follows every change.
HRESULT AccessibleControl::get_accName(VARIANT child, BSTR* name)
{
    if (!IsSelf(child))
        return standard_->get_accName(child, name);
    if (!name)
        return E_POINTER;
    if (!::IsWindow(hwnd_))
        return CO_E_OBJNOTCONNECTED;
    *name = WindowName(hwnd_);
    return *name ? S_OK : S_FALSE;
}

HRESULT AccessibleControl::get_accValue(VARIANT child, BSTR* value)
{
    return standard_->get_accValue(child, value);
}

HRESULT AccessibleControl::get_accDescription(VARIANT child, BSTR* description)
{
    return standard_->get_accDescription(child, description);
}

HRESULT AccessibleControl::get_accRole(VARIANT child, VARIANT* role)
{
    if (!IsSelf(child))
        return standard_->get_accRole(child, role);
    if (!role)
        return E_POINTER;
    role->vt = VT_I4;
    role->lVal = kind_ == Kind::PushButton ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_GRAPHIC;
    return S_OK;
}

// A button adds to the system's states (shown, on screen) those of a
// focusable control.
HRESULT AccessibleControl::get_accState(VARIANT child, VARIANT* state)
{
    const HRESULT hr = standard_->get_accState(child, state);
    if (kind_ != Kind::PushButton || !IsSelf(child) || FAILED(hr) || state->vt != VT_I4)
        return hr;
    state->lVal &= ~(STATE_SYSTEM_FOCUSED | STATE_SYSTEM_UNAVAILABLE);
    state->lVal |= STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == hwnd_)
        state->lVal |= STATE_SYSTEM_FOCUSED;
    if (!::IsWindowEnabled(hwnd_))
        state->lVal |= STATE_SYSTEM_UNAVAILABLE;
    return hr;
}

HRESULT AccessibleControl::get_accHelp(VARIANT child, BSTR* help)
{
    return standard_->get_accHelp(child, help);
}

HRESULT AccessibleControl::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic)
{
    return standard_->get_accHelpTopic(file, child, topic);
}

HRESULT AccessibleControl::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return standard_->get_accKeyboardShortcut(child, shortcut);
}

HRESULT AccessibleControl::get_accFocus(VARIANT* child) { return standard_->get_accFocus(child); }

HRESULT AccessibleControl::get_accSelection(VARIANT* children)
{
    return standard_->get_accSelection(children);
}

HRESULT AccessibleControl::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (kind_ != Kind::PushButton || !IsSelf(child))
        return standard_->get_accDefaultAction(child, action);
    if (!action)
        return E_POINTER;
    // In the window's language, as a Spanish system names its own buttons'
    // action.
    *action = ::SysAllocString(L"Presionar");
    return *action ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleControl::accSelect(LONG flags, VARIANT child)
{
    return standard_->accSelect(flags, child);
}

HRESULT AccessibleControl::accLocation(
    LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child)
{
    return standard_->accLocation(left, top, width, height, child);
}

HRESULT AccessibleControl::accNavigate(LONG direction, VARIANT start, VARIANT* end)
{
    return standard_->accNavigate(direction, start, end);
}

HRESULT AccessibleControl::accHitTest(LONG x, LONG y, VARIANT* child)
{
    return standard_->accHitTest(x, y, child);
}

HRESULT AccessibleControl::accDoDefaultAction(VARIANT child)
{
    if (kind_ != Kind::PushButton || !IsSelf(child))
        return standard_->accDoDefaultAction(child);
    if (!::IsWindow(hwnd_))
        return CO_E_OBJNOTCONNECTED;
    // A hidden or disabled button cannot be pressed, as with the mouse.
    if (!::IsWindowVisible(hwnd_) || !::IsWindowEnabled(hwnd_))
        return E_FAIL;
    return ::PostMessageA(hwnd_, kPressMessage, 0, 0) ? S_OK : E_FAIL;
}

HRESULT AccessibleControl::put_accName(VARIANT child, BSTR name)
{
    return standard_->put_accName(child, name);
}

HRESULT AccessibleControl::put_accValue(VARIANT child, BSTR value)
{
    return standard_->put_accValue(child, value);
}

HRESULT AccessibleControl::GetWindow(HWND* hwnd)
{
    if (!hwnd)
        return E_POINTER;
    *hwnd = hwnd_;
    return S_OK;
}

HRESULT AccessibleControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

} // namespace tarvenia::win32
