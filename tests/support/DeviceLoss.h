#pragma once

#include <windows.h>

#include <d3d9.h>

// Makes one real device behave as a device lost to a locked screen does: its
// Present reports D3DERR_DEVICELOST, TestCooperativeLevel then reports it lost
// for a while and then ready to be reset, and Reset (the real one) brings it
// back. Everything else is the real device. It patches the method table that
// all devices of the process share, acting only for the device given, and
// restores the table when destroyed; only one may exist at a time.
class DeviceLoss {
public:
    explicit DeviceLoss(IDirect3DDevice9* device);
    ~DeviceLoss();
    DeviceLoss(const DeviceLoss&) = delete;
    DeviceLoss& operator=(const DeviceLoss&) = delete;

    // The next Present loses the device. TestCooperativeLevel then answers
    // D3DERR_DEVICELOST `lostAnswers` times, and D3DERR_DEVICENOTRESET until a
    // reset succeeds; the first `failedResets` resets fail without reaching the
    // device.
    void Lose(int lostAnswers, int failedResets);
    bool lost() const { return m_state != Working; }

    // Counted since the device was made to lose itself.
    int presents = 0;
    int tests = 0;
    int resets = 0;
    // The parameters of the last reset asked for.
    D3DPRESENT_PARAMETERS resetParameters = {};

private:
    enum State { Working, LoseAtPresent, Lost, NotReset };
    friend struct DeviceLossHooks;

    IDirect3DDevice9* m_device;
    State m_state = Working;
    int m_lostAnswers = 0;
    int m_failedResets = 0;
};
