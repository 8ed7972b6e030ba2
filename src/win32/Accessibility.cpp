#include "Accessibility.h"

#include "WideText.h"
#include "window/WindowTemplate.h"

#include <initguid.h>
// oleacc.h needs the declarations of windows.h first; initguid.h makes it define its GUIDs.
#include <oleacc.h>
#include <string>
#include <vector>

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

struct Annotation {
    HWND control;
    LONG child;
    MSAAPROPID property;
    std::wstring text;
};

// The names of the controls that show no caption, from the template table, and of the up-down
// control's arrows, which the system's proxy makes its children 1 (up) and 2 (down).
std::vector<Annotation> Annotations(HWND window) {
    std::vector<Annotation> annotations;
    for (const ControlTemplate& control : kWindowTemplate) {
        // Icon buttons have their words as text already.
        if (control.name.empty() || control.kind == ControlKind::IconButton)
            continue;
        // A label's text is its name: the template's word for it describes it.
        const MSAAPROPID property = control.kind == ControlKind::Label ? PROPID_ACC_DESCRIPTION : PROPID_ACC_NAME;
        annotations.push_back(
            {::GetDlgItem(window, static_cast<int>(control.id)), CHILDID_SELF, property, Widen(control.name)});
    }
    HWND upDown = ::GetDlgItem(window, static_cast<int>(ControlId::UpDown));
    annotations.push_back({upDown, 1, PROPID_ACC_NAME, L"Move up"});
    annotations.push_back({upDown, 2, PROPID_ACC_NAME, L"Move down"});
    return annotations;
}

} // namespace

bool NameControls(HWND window) {
    AnnotationService service;
    if (!service)
        return false;
    bool named = true;
    for (const Annotation& annotation : Annotations(window)) {
        if (FAILED(service->SetHwndPropStr(annotation.control, static_cast<DWORD>(OBJID_CLIENT),
                                           static_cast<DWORD>(annotation.child), annotation.property,
                                           annotation.text.c_str())))
            named = false;
    }
    return named;
}

void ClearControlNames(HWND window) {
    AnnotationService service;
    if (!service)
        return;
    for (const Annotation& annotation : Annotations(window)) {
        service->ClearHwndProps(annotation.control, static_cast<DWORD>(OBJID_CLIENT),
                                static_cast<DWORD>(annotation.child), const_cast<MSAAPROPID*>(kAnnotated),
                                static_cast<int>(std::size(kAnnotated)));
    }
}

} // namespace brimble::win32
