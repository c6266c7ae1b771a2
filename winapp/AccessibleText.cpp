#include "winapp/AccessibleText.h"

#include <objbase.h>

#include <initguid.h>

#include <oleacc.h>

namespace kronax::win32 {

AccessibleText::AccessibleText() {
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comStarted_ = SUCCEEDED(started);
    void* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, &services)))
        services_ = static_cast<IAccPropServices*>(services);
}

AccessibleText::~AccessibleText() {
    if (services_ != nullptr)
        services_->Release();
    if (comStarted_)
        CoUninitialize();
}

void AccessibleText::SetDescription(HWND control, const std::wstring& description) {
    if (services_ == nullptr || control == nullptr)
        return;
    MSAAPROPID property = PROPID_ACC_DESCRIPTION;
    if (description.empty())
        services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  &property, 1);
    else
        services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property,
                                  description.c_str());
}

} // namespace kronax::win32
