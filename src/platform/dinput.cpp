// The DirectInput stand-in: one process-wide hub of physical input (fed by the backend or by
// tests) and the devices that buffer and snapshot it while acquired.
#include "platform/dinput.h"
#include "platform/event_observer.h"
#include "platform/headless.h"
#include "platform/input_feed.h"
#include "platform/window_backend.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <set>
#include <utility>
#include <vector>

namespace plat
{
const DIDATAFORMAT c_dfDIKeyboard = {256};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIMOUSESTATE)};

namespace
{
class Device;

struct Hub
{
    bool focused = true;
    DWORD sequence = 0;
    BYTE keys[256] = {};
    BYTE buttons[8] = {};
    std::vector<Device*> devices;
    int liveInterfaces = 0;
    std::set<std::pair<dinputtest::Call, DIDEVICEGUID>> failures;
};

Hub& TheHub()
{
    static Hub hub;
    return hub;
}

bool Injected(dinputtest::Call call, DIDEVICEGUID device)
{
    return TheHub().failures.count({call, device}) != 0;
}

bool IsAxis(DWORD offset)
{
    return offset == DIMOFS_X || offset == DIMOFS_Y || offset == DIMOFS_Z;
}

class Device final : public IDirectInputDevice8W
{
public:
    explicit Device(DIDEVICEGUID kind) : m_kind(kind) { TheHub().devices.push_back(this); }

    HRESULT SetCooperativeLevel(HWND, DWORD flags) override
    {
        if (Injected(dinputtest::Call::SetCooperativeLevel, m_kind))
            return DIERR_GENERIC;
        const bool oneMode = ((flags & DISCL_EXCLUSIVE) != 0) != ((flags & DISCL_NONEXCLUSIVE) != 0);
        const bool onePlace = ((flags & DISCL_FOREGROUND) != 0) != ((flags & DISCL_BACKGROUND) != 0);
        if (!oneMode || !onePlace)
            return DIERR_INVALIDPARAM;
        m_foregroundOnly = (flags & DISCL_FOREGROUND) != 0;
        return DI_OK;
    }

    HRESULT SetDataFormat(const DIDATAFORMAT* format) override
    {
        if (Injected(dinputtest::Call::SetDataFormat, m_kind))
            return DIERR_GENERIC;
        if (m_acquired)
            return DIERR_ACQUIRED;
        const DIDATAFORMAT& expected = m_kind == GUID_SysKeyboard ? c_dfDIKeyboard : c_dfDIMouse;
        if (!format || format->dwDataSize != expected.dwDataSize)
            return DIERR_INVALIDPARAM;
        m_formatSet = true;
        return DI_OK;
    }

    HRESULT SetProperty(DIPROPERTY property, const DIPROPHEADER* header) override
    {
        if (Injected(dinputtest::Call::SetProperty, m_kind))
            return DIERR_GENERIC;
        if (property != DIPROP_BUFFERSIZE || !header || header->dwSize != sizeof(DIPROPDWORD) ||
            header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwHow != DIPH_DEVICE)
            return DIERR_INVALIDPARAM;
        if (m_acquired)
            return DIERR_ACQUIRED;
        m_bufferSize = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
        return DI_OK;
    }

    HRESULT Acquire() override
    {
        if (Injected(dinputtest::Call::Acquire, m_kind))
            return DIERR_GENERIC;
        if (!m_formatSet)
            return DIERR_INVALIDPARAM;
        if (m_acquired)
            return DI_NOEFFECT;
        if (m_foregroundOnly && !TheHub().focused)
            return DIERR_OTHERAPPHASPRIO;
        m_acquired = true;
        m_lostPending = false;
        m_overflow = false;
        m_records.clear();
        m_mouse = DIMOUSESTATE();
        std::copy(TheHub().buttons, TheHub().buttons + 4, m_mouse.rgbButtons);
        return DI_OK;
    }

    HRESULT Unacquire() override
    {
        if (!m_acquired)
            return DI_NOEFFECT;
        m_acquired = false;
        m_records.clear();
        return DI_OK;
    }

    HRESULT GetDeviceState(DWORD size, void* data) override
    {
        const HRESULT status = ReadStatus();
        if (FAILED(status))
            return status;
        if (!data)
            return DIERR_INVALIDPARAM;
        if (m_kind == GUID_SysKeyboard)
        {
            if (size != c_dfDIKeyboard.dwDataSize)
                return DIERR_INVALIDPARAM;
            std::memcpy(data, TheHub().keys, sizeof(TheHub().keys));
            return DI_OK;
        }
        if (size != c_dfDIMouse.dwDataSize)
            return DIERR_INVALIDPARAM;
        std::memcpy(data, &m_mouse, sizeof(m_mouse));
        // Relative axes: a snapshot reports the movement since the previous one.
        m_mouse.lX = m_mouse.lY = m_mouse.lZ = 0;
        return DI_OK;
    }

    HRESULT GetDeviceData(DWORD recordSize, DIDEVICEOBJECTDATA* records, DWORD* count, DWORD flags) override
    {
        const HRESULT status = ReadStatus();
        if (FAILED(status))
            return status;
        if (!count || recordSize != sizeof(DIDEVICEOBJECTDATA))
            return DIERR_INVALIDPARAM;
        if (m_bufferSize == 0)
            return DIERR_NOTBUFFERED;
        const DWORD n = static_cast<DWORD>(std::min<std::size_t>(*count, m_records.size()));
        if (records)
            std::copy(m_records.begin(), m_records.begin() + n, records);
        if ((flags & DIGDD_PEEK) == 0)
            m_records.erase(m_records.begin(), m_records.begin() + n);
        *count = n;
        const bool overflow = m_overflow;
        m_overflow = false;
        return overflow ? DI_BUFFEROVERFLOW : DI_OK;
    }

    ULONG Release() override
    {
        auto& devices = TheHub().devices;
        devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
        delete this;
        return 0;
    }

    DIDEVICEGUID Kind() const { return m_kind; }
    bool Acquired() const { return m_acquired; }

    void LoseAcquisition()
    {
        if (!m_acquired || !m_foregroundOnly)
            return;
        m_acquired = false;
        m_lostPending = true;
        m_records.clear();
    }

    void AddRecord(DWORD offset, DWORD data, DWORD timeMs, DWORD sequence, DWORD appData = 0)
    {
        if (!m_acquired || m_bufferSize == 0)
            return;
        // A fast mouse sends many motion records a frame. Motion on one axis is folded into
        // the pending record of that axis as long as no button record came after it, so the
        // buffer fills with buttons and keys, never with motion, and ordering against
        // buttons is kept.
        if (IsAxis(offset))
        {
            for (auto it = m_records.rbegin(); it != m_records.rend() && IsAxis(it->dwOfs); ++it)
            {
                if (it->dwOfs == offset)
                {
                    it->dwData = static_cast<DWORD>(static_cast<LONG>(it->dwData) + static_cast<LONG>(data));
                    return;
                }
            }
        }
        if (m_records.size() >= m_bufferSize)
        {
            m_overflow = true;
            return;
        }
        DIDEVICEOBJECTDATA record;
        record.dwOfs = offset;
        record.dwData = data;
        record.dwTimeStamp = timeMs;
        record.dwSequence = sequence;
        record.uAppData = appData;
        m_records.push_back(record);
    }

    void AddMotion(LONG dx, LONG dy, LONG dz)
    {
        if (!m_acquired)
            return;
        m_mouse.lX += dx;
        m_mouse.lY += dy;
        m_mouse.lZ += dz;
    }

    void SetButton(int button, bool down)
    {
        if (m_acquired && button < 4)
            m_mouse.rgbButtons[button] = down ? 0x80 : 0;
    }

private:
    ~Device() override = default;

    HRESULT ReadStatus()
    {
        if (m_acquired)
            return DI_OK;
        if (m_lostPending)
        {
            m_lostPending = false;
            return DIERR_INPUTLOST;
        }
        return DIERR_NOTACQUIRED;
    }

    DIDEVICEGUID m_kind;
    bool m_foregroundOnly = false;
    bool m_formatSet = false;
    bool m_acquired = false;
    bool m_lostPending = false;
    bool m_overflow = false;
    DWORD m_bufferSize = 0;
    std::deque<DIDEVICEOBJECTDATA> m_records;
    DIMOUSESTATE m_mouse;
};

class DirectInput final : public IDirectInput8W
{
public:
    DirectInput()
    {
        if (TheHub().liveInterfaces++ == 0 && !headless::IsActive())
            AddRawEventObserver(&inputfeed::HandleSdlEvent, nullptr);
    }

    HRESULT CreateDevice(DIDEVICEGUID device, IDirectInputDevice8W** out, void*) override
    {
        if (!out)
            return DIERR_INVALIDPARAM;
        *out = nullptr;
        if (device != GUID_SysKeyboard && device != GUID_SysMouse)
            return DIERR_INVALIDPARAM;
        if (Injected(dinputtest::Call::CreateDevice, device))
            return DIERR_GENERIC;
        *out = new Device(device);
        return DI_OK;
    }

    ULONG Release() override
    {
        delete this;
        return 0;
    }

private:
    ~DirectInput() override
    {
        if (--TheHub().liveInterfaces == 0)
            RemoveRawEventObserver(&inputfeed::HandleSdlEvent, nullptr);
    }
};

DWORD NextSequence()
{
    return ++TheHub().sequence;
}

template <typename Fn> void ForEachDevice(DIDEVICEGUID kind, Fn fn)
{
    for (Device* device : TheHub().devices)
        if (device->Kind() == kind)
            fn(*device);
}
} // namespace

void CancelTextComposition()
{
    if (detail::HasBackend())
        detail::Backend().CancelTextComposition();
}

DWORD MakePointerData(LONG x, LONG y)
{
    const auto half = [](LONG v)
    { return static_cast<DWORD>(static_cast<std::uint16_t>(std::clamp<LONG>(v, -32768, 32767))); };
    return half(x) | (half(y) << 16);
}

void ReadPointerData(DWORD data, LONG& x, LONG& y)
{
    x = static_cast<std::int16_t>(data & 0xFFFFu);
    y = static_cast<std::int16_t>(data >> 16);
}

HRESULT DirectInput8Create(HINSTANCE, DWORD version, DIINTERFACEID iid, IDirectInput8W** out, void*)
{
    if (!out)
        return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (version != DIRECTINPUT_VERSION || iid != IID_IDirectInput8W)
        return DIERR_INVALIDPARAM;
    if (Injected(dinputtest::Call::Create, GUID_SysKeyboard))
        return DIERR_GENERIC;
    *out = new DirectInput();
    return DI_OK;
}

namespace inputfeed
{
void KeyChange(DWORD scanCode, bool down, DWORD timeMs)
{
    if (scanCode == 0 || scanCode > 255 || !TheHub().focused)
        return;
    TheHub().keys[scanCode] = down ? 0x80 : 0;
    const DWORD sequence = NextSequence();
    ForEachDevice(GUID_SysKeyboard,
                  [&](Device& d) { d.AddRecord(scanCode, down ? 0x80u : 0u, timeMs, sequence); });
}

void Text(const char* utf8, DWORD timeMs)
{
    Hub& hub = TheHub();
    if (!utf8 || !hub.focused)
        return;
    const auto held = [&hub](DWORD key) { return (hub.keys[key] & 0x80) != 0; };
    if (held(DIK_LCONTROL) || held(DIK_RCONTROL) || held(DIK_LMENU))
        return;
    for (const wchar_t c : ToWide(utf8))
    {
        const auto codePoint = static_cast<DWORD>(c);
        if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0) || codePoint == 0xFFFD ||
            codePoint > 0x10FFFF)
            continue;
        const DWORD sequence = NextSequence();
        ForEachDevice(GUID_SysKeyboard,
                      [&](Device& d) { d.AddRecord(DIKOFS_TEXT, codePoint, timeMs, sequence); });
    }
}

void MouseMove(LONG dx, LONG dy, DWORD timeMs)
{
    if (dx != 0)
    {
        const DWORD sequence = NextSequence();
        ForEachDevice(GUID_SysMouse,
                      [&](Device& d) { d.AddRecord(DIMOFS_X, static_cast<DWORD>(dx), timeMs, sequence); });
    }
    if (dy != 0)
    {
        const DWORD sequence = NextSequence();
        ForEachDevice(GUID_SysMouse,
                      [&](Device& d) { d.AddRecord(DIMOFS_Y, static_cast<DWORD>(dy), timeMs, sequence); });
    }
    ForEachDevice(GUID_SysMouse, [&](Device& d) { d.AddMotion(dx, dy, 0); });
}

void MouseWheel(LONG delta, DWORD timeMs)
{
    if (delta == 0)
        return;
    const DWORD sequence = NextSequence();
    ForEachDevice(GUID_SysMouse,
                  [&](Device& d)
                  {
                      d.AddRecord(DIMOFS_Z, static_cast<DWORD>(delta), timeMs, sequence);
                      d.AddMotion(0, 0, delta);
                  });
}

void MouseButton(int button, bool down, DWORD timeMs, const POINT* screen)
{
    if (button < 0 || button > 7 || !TheHub().focused)
        return;
    TheHub().buttons[button] = down ? 0x80 : 0;
    POINT pointer;
    if (screen)
        pointer = *screen;
    else if (!GetCursorPos(&pointer))
        pointer = POINT();
    const DWORD where = MakePointerData(pointer.x, pointer.y);
    const DWORD sequence = NextSequence();
    ForEachDevice(GUID_SysMouse,
                  [&](Device& d)
                  {
                      d.AddRecord(DIMOFS_BUTTON0 + static_cast<DWORD>(button), down ? 0x80u : 0u, timeMs,
                                  sequence, where);
                      d.SetButton(button, down);
                  });
}

void FocusChange(bool focused)
{
    Hub& hub = TheHub();
    hub.focused = focused;
    if (focused)
        return;
    // Releases that happen while another window has focus never reach us, so nothing counts
    // as held any more.
    std::fill(std::begin(hub.keys), std::end(hub.keys), BYTE(0));
    std::fill(std::begin(hub.buttons), std::end(hub.buttons), BYTE(0));
    for (Device* device : hub.devices)
        device->LoseAcquisition();
}

bool HasFocus()
{
    return TheHub().focused;
}

void Reset()
{
    Hub& hub = TheHub();
    hub.focused = true;
    hub.sequence = 0;
    std::fill(std::begin(hub.keys), std::end(hub.keys), BYTE(0));
    std::fill(std::begin(hub.buttons), std::end(hub.buttons), BYTE(0));
}
} // namespace inputfeed

namespace dinputtest
{
void FailCall(Call call, DIDEVICEGUID device)
{
    TheHub().failures.insert({call, call == Call::Create ? GUID_SysKeyboard : device});
}

void ClearFailures()
{
    TheHub().failures.clear();
}

int LiveInterfaces()
{
    return TheHub().liveInterfaces;
}

int LiveDevices()
{
    return static_cast<int>(TheHub().devices.size());
}
} // namespace dinputtest
} // namespace plat
