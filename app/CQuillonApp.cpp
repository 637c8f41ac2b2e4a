#include "app/CQuillonApp.hpp"

#include "app/CQuillonDlg.hpp"

namespace quillon::app {

CQuillonApp::CQuillonApp(ui::Host& host, sys::SystemServices& services)
    : host_(host), services_(services) {}

int CQuillonApp::InitInstance() {
    auto window = std::make_unique<CQuillonDlg>(host_, services_);
    window->DoModal();
    return 0;
}

}  // namespace quillon::app
