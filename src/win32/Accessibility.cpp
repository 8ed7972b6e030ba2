#include "Accessibility.h"

#include "WideText.h"
#include "window/WindowTemplate.h"

#include <initguid.h>
// oleacc.h needs the declarations of windows.h first; initguid.h makes it define its GUIDs.
#include <oleacc.h>

namespace brimble::win32 {
namespace {

class AnnotationService {
public:
    AnnotationService() {
        ::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                           reinterpret_cast<void**>(&m_service));
    }
    AnnotationService(const AnnotationService&) = delete;
    AnnotationService& operator=(const AnnotationService&) = delete;
    ~AnnotationService() {
        if (m_service != nullptr)
            m_service->Release();
    }
    IAccPropServices* operator->() const { return m_service; }
    explicit operator bool() const { return m_service != nullptr; }

private:
    IAccPropServices* m_service = nullptr;
};

const MSAAPROPID kAnnotated[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};

} // namespace

bool NameControls(HWND window) {
    AnnotationService service;
    if (!service)
        return false;
    bool named = true;
    for (const ControlTemplate& control : kWindowTemplate) {
        // Icon buttons have their words as text already.
        if (control.name.empty() || control.kind == ControlKind::IconButton)
            continue;
        HWND handle = ::GetDlgItem(window, static_cast<int>(control.id));
        // A label's text is its name: the template's word for it describes it.
        const MSAAPROPID property = control.kind == ControlKind::Label ? PROPID_ACC_DESCRIPTION : PROPID_ACC_NAME;
        const std::wstring name = Widen(control.name);
        if (FAILED(service->SetHwndPropStr(handle, OBJID_CLIENT, CHILDID_SELF, property, name.c_str())))
            named = false;
    }
    return named;
}

void ClearControlNames(HWND window) {
    AnnotationService service;
    if (!service)
        return;
    for (const ControlTemplate& control : kWindowTemplate) {
        if (control.name.empty() || control.kind == ControlKind::IconButton)
            continue;
        HWND handle = ::GetDlgItem(window, static_cast<int>(control.id));
        service->ClearHwndProps(handle, OBJID_CLIENT, CHILDID_SELF, const_cast<MSAAPROPID*>(kAnnotated),
                                static_cast<int>(std::size(kAnnotated)));
    }
}

} // namespace brimble::win32
