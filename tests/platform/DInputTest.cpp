#include "platform/dinput.h"
#include "platform/input_feed.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace plat;

namespace
{
class DInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        inputfeed::Reset();
        ASSERT_EQ(DI_OK,
                  DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8W, &m_input, nullptr));
        m_keyboard = Create(GUID_SysKeyboard, c_dfDIKeyboard, 8);
        m_mouse = Create(GUID_SysMouse, c_dfDIMouse, 8);
    }

    void TearDown() override
    {
        m_keyboard->Release();
        m_mouse->Release();
        m_input->Release();
        EXPECT_EQ(0, dinputtest::LiveDevices());
        EXPECT_EQ(0, dinputtest::LiveInterfaces());
        inputfeed::Reset();
    }

    IDirectInputDevice8W* Create(DIDEVICEGUID kind, const DIDATAFORMAT& format, DWORD bufferSize)
    {
        IDirectInputDevice8W* device = nullptr;
        EXPECT_EQ(DI_OK, m_input->CreateDevice(kind, &device, nullptr));
        EXPECT_EQ(DI_OK, device->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND));
        EXPECT_EQ(DI_OK, device->SetDataFormat(&format));
        DIPROPDWORD size;
        size.diph.dwSize = sizeof(DIPROPDWORD);
        size.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        size.diph.dwHow = DIPH_DEVICE;
        size.dwData = bufferSize;
        EXPECT_EQ(DI_OK, device->SetProperty(DIPROP_BUFFERSIZE, &size.diph));
        EXPECT_EQ(DI_OK, device->Acquire());
        return device;
    }

    static std::vector<DIDEVICEOBJECTDATA> Drain(IDirectInputDevice8W* device, HRESULT* result = nullptr)
    {
        std::vector<DIDEVICEOBJECTDATA> records(64);
        DWORD count = static_cast<DWORD>(records.size());
        const HRESULT hr = device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), records.data(), &count, 0);
        if (result)
            *result = hr;
        records.resize(FAILED(hr) ? 0 : count);
        return records;
    }

    IDirectInput8W* m_input = nullptr;
    IDirectInputDevice8W* m_keyboard = nullptr;
    IDirectInputDevice8W* m_mouse = nullptr;
};
} // namespace

TEST(DInputKeyTableTest, SdlScanCodesMapToDirectInputCodes)
{
    // SDL scan codes are USB usage numbers.
    struct Case
    {
        int sdl;
        DWORD dik;
    };
    const Case cases[] = {
        {4, DIK_A},
        {29, DIK_Z},
        {30, 0x02 /* 1 */},
        {39, DIK_0},
        {40, DIK_RETURN},
        {41, DIK_ESCAPE},
        {42, DIK_BACK},
        {43, DIK_TAB},
        {44, DIK_SPACE},
        {45, DIK_MINUS},
        {47, DIK_LBRACKET},
        {49, DIK_BACKSLASH},
        {51, DIK_SEMICOLON},
        {53, DIK_GRAVE},
        {56, DIK_SLASH},
        {58, DIK_F1},
        {69, DIK_F12},
        {73, DIK_INSERT},
        {76, DIK_DELETE},
        {79, DIK_RIGHT},
        {80, DIK_LEFT},
        {81, DIK_DOWN},
        {82, DIK_UP},
        {85, DIK_MULTIPLY},
        {88, DIK_NUMPADENTER},
        {224, DIK_LCONTROL},
        {225, DIK_LSHIFT},
        {226, DIK_LMENU},
        {227, DIK_LWIN},
        {228, DIK_RCONTROL},
        {229, DIK_RSHIFT},
        {230, DIK_RMENU},
        {0, 0},
        {300, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.sdl);
        EXPECT_EQ(c.dik, inputfeed::SdlScancodeToDik(c.sdl));
    }
    // SDL counts left, middle, right; DirectInput left, right, middle.
    EXPECT_EQ(0, inputfeed::SdlButtonToDi(1));
    EXPECT_EQ(2, inputfeed::SdlButtonToDi(2));
    EXPECT_EQ(1, inputfeed::SdlButtonToDi(3));
    EXPECT_EQ(-1, inputfeed::SdlButtonToDi(9));
}

TEST_F(DInputTest, RecordsCarryTimeAndSequenceRisingAcrossDevices)
{
    inputfeed::KeyChange(DIK_SPACE, true, 100);
    inputfeed::MouseButton(0, true, 110);
    inputfeed::MouseWheel(-WHEEL_DELTA, 115);
    inputfeed::KeyChange(DIK_SPACE, false, 120);

    const auto keys = Drain(m_keyboard);
    const auto mouse = Drain(m_mouse);
    ASSERT_EQ(2u, keys.size());
    ASSERT_EQ(2u, mouse.size());
    EXPECT_EQ(DIK_SPACE, keys[0].dwOfs);
    EXPECT_EQ(0x80u, keys[0].dwData);
    EXPECT_EQ(100u, keys[0].dwTimeStamp);
    EXPECT_EQ(0u, keys[1].dwData);
    EXPECT_EQ(DIMOFS_BUTTON0, mouse[0].dwOfs);
    EXPECT_EQ(DIMOFS_Z, mouse[1].dwOfs);
    EXPECT_EQ(-120, static_cast<LONG>(mouse[1].dwData));
    EXPECT_LT(keys[0].dwSequence, mouse[0].dwSequence);
    EXPECT_LT(mouse[0].dwSequence, mouse[1].dwSequence);
    EXPECT_LT(mouse[1].dwSequence, keys[1].dwSequence);
    EXPECT_TRUE(Drain(m_keyboard).empty());
}

TEST_F(DInputTest, FastMouseMotionIsMergedSoButtonsAreNeverDropped)
{
    // Far more motion than the 8-record buffer holds, with a click in the middle.
    for (int i = 0; i < 50; ++i)
        inputfeed::MouseMove(2, -1, 10);
    inputfeed::MouseButton(1, true, 20);
    for (int i = 0; i < 50; ++i)
        inputfeed::MouseMove(1, 0, 30);
    inputfeed::MouseButton(1, false, 40);

    HRESULT result = DI_OK;
    const auto mouse = Drain(m_mouse, &result);
    EXPECT_EQ(DI_OK, result);
    ASSERT_EQ(5u, mouse.size());
    EXPECT_EQ(DIMOFS_X, mouse[0].dwOfs);
    EXPECT_EQ(100, static_cast<LONG>(mouse[0].dwData));
    EXPECT_EQ(DIMOFS_Y, mouse[1].dwOfs);
    EXPECT_EQ(-50, static_cast<LONG>(mouse[1].dwData));
    EXPECT_EQ(DIMOFS_BUTTON0 + 1, mouse[2].dwOfs);
    EXPECT_EQ(DIMOFS_X, mouse[3].dwOfs);
    EXPECT_EQ(50, static_cast<LONG>(mouse[3].dwData));
    EXPECT_EQ(DIMOFS_BUTTON0 + 1, mouse[4].dwOfs);
}

// What the layout typed comes one character a record, among the key records in the order it was
// typed; with Ctrl or the left Alt held nothing is typed, while the right Alt (AltGr) types.
TEST_F(DInputTest, TypedTextComesAsRecordsAmongTheKeys)
{
    m_keyboard->Release();
    m_keyboard = Create(GUID_SysKeyboard, c_dfDIKeyboard, 32);
    inputfeed::KeyChange(DIK_Y, true, 1);
    inputfeed::Text("z", 1); // a German keyboard's Z sits where the US one has Y
    inputfeed::KeyChange(DIK_Y, false, 2);
    inputfeed::Text("\u00EB_\n", 3); // two characters; a control character is no text
    inputfeed::KeyChange(DIK_LCONTROL, true, 4);
    inputfeed::Text("a", 4);
    inputfeed::KeyChange(DIK_LCONTROL, false, 5);
    inputfeed::KeyChange(DIK_LMENU, true, 6);
    inputfeed::Text("a", 6);
    inputfeed::KeyChange(DIK_LMENU, false, 7);
    inputfeed::KeyChange(DIK_RMENU, true, 8);
    inputfeed::Text("@", 8);
    inputfeed::KeyChange(DIK_RMENU, false, 9);
    const std::vector<DIDEVICEOBJECTDATA> records = Drain(m_keyboard);
    std::vector<std::pair<DWORD, DWORD>> seen;
    for (const DIDEVICEOBJECTDATA& record : records)
        seen.emplace_back(record.dwOfs, record.dwData);
    const std::vector<std::pair<DWORD, DWORD>> expected = {
        {DIK_Y, 0x80},      {DIKOFS_TEXT, 'z'},   {DIK_Y, 0},         {DIKOFS_TEXT, 0xEB},
        {DIKOFS_TEXT, '_'}, {DIK_LCONTROL, 0x80}, {DIK_LCONTROL, 0},  {DIK_LMENU, 0x80},
        {DIK_LMENU, 0},     {DIK_RMENU, 0x80},    {DIKOFS_TEXT, '@'}, {DIK_RMENU, 0},
    };
    EXPECT_EQ(seen, expected);
    for (std::size_t i = 1; i < records.size(); ++i)
        EXPECT_GT(records[i].dwSequence, records[i - 1].dwSequence);
    BYTE keys[256];
    ASSERT_EQ(DI_OK, m_keyboard->GetDeviceState(sizeof(keys), keys));
    EXPECT_EQ(keys[DIKOFS_TEXT & 0xFF], 0) << "text is no key";
}

// A button record says where the pointer was when the button changed, also when moves follow
// it before the next read.
TEST_F(DInputTest, ButtonRecordsCarryThePointersPosition)
{
    POINT at;
    at.x = 120;
    at.y = -7;
    inputfeed::MouseButton(0, true, 1, &at);
    inputfeed::MouseMove(300, 20, 2);
    at.x = 421;
    at.y = 28;
    inputfeed::MouseButton(0, false, 3, &at);
    const std::vector<DIDEVICEOBJECTDATA> records = Drain(m_mouse);
    ASSERT_EQ(records.size(), 4u);
    LONG x = 0, y = 0;
    ReadPointerData(records[0].uAppData, x, y);
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, -7);
    ReadPointerData(records[3].uAppData, x, y);
    EXPECT_EQ(x, 421);
    EXPECT_EQ(y, 28);
    ReadPointerData(MakePointerData(40000, -40000), x, y);
    EXPECT_EQ(x, 32767);
    EXPECT_EQ(y, -32768);
}

TEST_F(DInputTest, AFullBufferKeepsTheOldestAndReportsTheOverflow)
{
    for (DWORD key = DIK_Q; key < DIK_Q + 10; ++key)
        inputfeed::KeyChange(key, true, 5);
    HRESULT result = DI_OK;
    const auto keys = Drain(m_keyboard, &result);
    EXPECT_EQ(DI_BUFFEROVERFLOW, result);
    ASSERT_EQ(8u, keys.size());
    EXPECT_EQ(DWORD(DIK_Q), keys[0].dwOfs);
    Drain(m_keyboard, &result);
    EXPECT_EQ(DI_OK, result);
}

TEST_F(DInputTest, FocusLossTakesAcquisitionUntilTheWindowIsInFrontAgain)
{
    inputfeed::KeyChange(DIK_A, true, 1);
    inputfeed::FocusChange(false);
    inputfeed::KeyChange(DIK_B, true, 2); // another window's key

    HRESULT result = DI_OK;
    Drain(m_keyboard, &result);
    EXPECT_EQ(DIERR_INPUTLOST, result);
    Drain(m_keyboard, &result);
    EXPECT_EQ(DIERR_NOTACQUIRED, result);
    EXPECT_EQ(DIERR_OTHERAPPHASPRIO, m_keyboard->Acquire());

    inputfeed::FocusChange(true);
    EXPECT_EQ(DI_OK, m_keyboard->Acquire());
    EXPECT_TRUE(Drain(m_keyboard, &result).empty());
    EXPECT_EQ(DI_OK, result);
    // The key held before the switch counts as released.
    BYTE keys[256];
    ASSERT_EQ(DI_OK, m_keyboard->GetDeviceState(sizeof(keys), keys));
    EXPECT_EQ(0, keys[DIK_A]);
    EXPECT_EQ(0, keys[DIK_B]);
}

TEST_F(DInputTest, StateSnapshotsHoldKeysButtonsAndMotionSinceTheLastPoll)
{
    inputfeed::KeyChange(DIK_LEFT, true, 1);
    inputfeed::MouseButton(0, true, 1);
    inputfeed::MouseMove(3, 4, 1);
    inputfeed::MouseMove(-1, 0, 2);

    BYTE keys[256];
    ASSERT_EQ(DI_OK, m_keyboard->GetDeviceState(sizeof(keys), keys));
    EXPECT_EQ(0x80, keys[DIK_LEFT]);
    EXPECT_EQ(0, keys[DIK_RIGHT]);
    DIMOUSESTATE state;
    ASSERT_EQ(DI_OK, m_mouse->GetDeviceState(sizeof(state), &state));
    EXPECT_EQ(2, state.lX);
    EXPECT_EQ(4, state.lY);
    EXPECT_EQ(0x80, state.rgbButtons[0]);
    ASSERT_EQ(DI_OK, m_mouse->GetDeviceState(sizeof(state), &state));
    EXPECT_EQ(0, state.lX);
    EXPECT_EQ(0x80, state.rgbButtons[0]);
    EXPECT_EQ(DIERR_INVALIDPARAM, m_mouse->GetDeviceState(sizeof(keys), keys));
}
