#include "window/win32/accessible.h"

#include <oleacc.h>

namespace tarvenia::win32 {

namespace {

    using CreateProxyFn = HRESULT(WINAPI*)(HWND, LPCSTR, LONG, REFIID, void**);
    using FromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

    struct Oleacc {
        CreateProxyFn create_proxy = nullptr;
        FromObjectFn from_object = nullptr;
    };

    const Oleacc& LoadOleacc()
    {
        static const Oleacc oleacc = [] {
            Oleacc o;
            if (HMODULE dll = ::LoadLibraryA("oleacc.dll")) {
                o.create_proxy = reinterpret_cast<CreateProxyFn>(
                    reinterpret_cast<void*>(::GetProcAddress(dll, "CreateStdAccessibleProxyA")));
                o.from_object = reinterpret_cast<FromObjectFn>(
                    reinterpret_cast<void*>(::GetProcAddress(dll, "LresultFromObject")));
            }
            return o;
        }();
        return oleacc;
    }

} // namespace

std::optional<LRESULT> AnswerAsStandardControl(
    HWND hwnd, WPARAM wp, LPARAM lp, const char* class_name)
{
    if (static_cast<DWORD>(lp) != static_cast<DWORD>(OBJID_CLIENT))
        return std::nullopt;
    const Oleacc& oleacc = LoadOleacc();
    if (!oleacc.create_proxy || !oleacc.from_object)
        return std::nullopt;
    IAccessible* object = nullptr;
    if (FAILED(oleacc.create_proxy(hwnd, class_name, OBJID_CLIENT, __uuidof(IAccessible),
            reinterpret_cast<void**>(&object)))
        || !object)
        return std::nullopt;
    const LRESULT answer = oleacc.from_object(__uuidof(IAccessible), wp, object);
    object->Release();
    if (FAILED(static_cast<HRESULT>(answer)))
        return std::nullopt;
    return answer;
}

} // namespace tarvenia::win32
