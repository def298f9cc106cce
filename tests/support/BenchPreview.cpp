#include "support/BenchPreview.h"

#include "app/COxelD3DApplication.h"

BenchPreview::BenchPreview()
    : m_application(new COxelD3DApplication(GetModuleHandleA(nullptr), SW_SHOWNOACTIVATE)),
      m_window(nullptr),
      m_ok(false)
{
    g_application = m_application;
    m_window = m_application->CreateMainWindow();
    m_ok = m_window && m_application->InitDirect3D(m_window) >= 0;
    if (m_ok) {
        ShowWindow(m_window, SW_SHOWNOACTIVATE);
    }
}

BenchPreview::~BenchPreview()
{
    if (m_window) {
        DestroyWindow(m_window);
    }
    delete m_application;
}

void WaitUntilDrawn(IDirect3DDevice9* device)
{
    IDirect3DQuery9* query = nullptr;
    if (FAILED(device->CreateQuery(D3DQUERYTYPE_EVENT, &query))) {
        return;
    }
    query->Issue(D3DISSUE_END);
    while (query->GetData(nullptr, 0, D3DGETDATA_FLUSH) == S_FALSE) {
    }
    query->Release();
}
