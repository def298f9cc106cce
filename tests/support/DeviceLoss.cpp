#include "support/DeviceLoss.h"

#include "support/MethodTable.h"

namespace {

using TestCooperativeLevelFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*);
using ResetFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRESENT_PARAMETERS*);
using PresentFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, const RECT*, const RECT*, HWND, const RGNDATA*);

// Slots in the device's method table, fixed by the interface's declaration.
const int kTestCooperativeLevelSlot = 3;
const int kResetSlot = 16;
const int kPresentSlot = 17;

DeviceLoss* g_loss = nullptr;
void** g_table = nullptr;
TestCooperativeLevelFn g_testCooperativeLevel = nullptr;
ResetFn g_reset = nullptr;
PresentFn g_present = nullptr;

}  // namespace

struct DeviceLossHooks {
    static HRESULT STDMETHODCALLTYPE TestCooperativeLevel(IDirect3DDevice9* device)
    {
        if (device != g_loss->m_device || !g_loss->lost()) {
            return g_testCooperativeLevel(device);
        }
        ++g_loss->tests;
        if (g_loss->m_state == DeviceLoss::Lost && g_loss->m_lostAnswers-- > 0) {
            return D3DERR_DEVICELOST;
        }
        g_loss->m_state = DeviceLoss::NotReset;
        return D3DERR_DEVICENOTRESET;
    }

    static HRESULT STDMETHODCALLTYPE Reset(IDirect3DDevice9* device, D3DPRESENT_PARAMETERS* parameters)
    {
        if (device != g_loss->m_device) {
            return g_reset(device, parameters);
        }
        ++g_loss->resets;
        g_loss->resetParameters = *parameters;
        // A reset while the device is still lost fails, as on a locked screen.
        if (g_loss->m_state == DeviceLoss::Lost || g_loss->m_state == DeviceLoss::LoseAtPresent) {
            return D3DERR_DEVICELOST;
        }
        if (g_loss->m_state == DeviceLoss::NotReset && g_loss->m_failedResets > 0) {
            --g_loss->m_failedResets;
            return D3DERR_DEVICELOST;
        }
        const HRESULT result = g_reset(device, parameters);
        if (SUCCEEDED(result)) {
            g_loss->m_state = DeviceLoss::Working;
        }
        return result;
    }

    static HRESULT STDMETHODCALLTYPE Present(IDirect3DDevice9* device, const RECT* source, const RECT* destination,
                                             HWND window, const RGNDATA* dirty)
    {
        if (device != g_loss->m_device || !g_loss->lost()) {
            return g_present(device, source, destination, window, dirty);
        }
        ++g_loss->presents;
        g_loss->m_state = DeviceLoss::Lost;
        return D3DERR_DEVICELOST;
    }
};

DeviceLoss::DeviceLoss(IDirect3DDevice9* device) : m_device(device)
{
    if (g_loss || !device) {
        return;
    }
    g_loss = this;
    g_table = *reinterpret_cast<void***>(device);
    g_testCooperativeLevel = reinterpret_cast<TestCooperativeLevelFn>(
        SwapMethod(g_table, kTestCooperativeLevelSlot, reinterpret_cast<void*>(&DeviceLossHooks::TestCooperativeLevel)));
    g_reset = reinterpret_cast<ResetFn>(SwapMethod(g_table, kResetSlot, reinterpret_cast<void*>(&DeviceLossHooks::Reset)));
    g_present =
        reinterpret_cast<PresentFn>(SwapMethod(g_table, kPresentSlot, reinterpret_cast<void*>(&DeviceLossHooks::Present)));
}

DeviceLoss::~DeviceLoss()
{
    if (g_loss != this) {
        return;
    }
    SwapMethod(g_table, kTestCooperativeLevelSlot, reinterpret_cast<void*>(g_testCooperativeLevel));
    SwapMethod(g_table, kResetSlot, reinterpret_cast<void*>(g_reset));
    SwapMethod(g_table, kPresentSlot, reinterpret_cast<void*>(g_present));
    g_table = nullptr;
    g_loss = nullptr;
}

void DeviceLoss::Lose(int lostAnswers, int failedResets)
{
    m_state = LoseAtPresent;
    m_lostAnswers = lostAnswers;
    m_failedResets = failedResets;
    presents = tests = resets = 0;
}
