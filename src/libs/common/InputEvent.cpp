#include "common/InputEvent.h"

namespace dorvo
{
namespace input
{
bool IsValidInputCode(std::uint32_t code)
{
    return (code >= 1 && code <= KEY_LAST_VALID) || (code >= MOUSE_BUTTON_0 && code <= MOUSE_BUTTON_7) ||
           (code >= JOY_BUTTON_0 && code <= JOY_BUTTON_31);
}

namespace
{
// Indexed by scan code 2 to 57. Shift leaves - = ; ' ` \ / alone. Typed text does not come from
// here (it follows the player's layout), only the keys' names.
struct KeyChars
{
    char plain;
    char shifted;
};

constexpr std::uint32_t kFirstCode = 2;
constexpr std::uint32_t kLastCode = 57;

constexpr KeyChars kKeyChars[kLastCode - kFirstCode + 1] = {
    {'1', '!'},   {'2', '@'}, {'3', '#'}, {'4', '$'},   {'5', '%'}, {'6', '^'},   {'7', '&'},
    {'8', '*'},   {'9', '('}, {'0', ')'}, {'-', '-'},   {'=', '='}, {'\b', '\b'}, {'\t', '\t'}, // 2-15
    {'q', 'Q'},   {'w', 'W'}, {'e', 'E'}, {'r', 'R'},   {'t', 'T'}, {'y', 'Y'},   {'u', 'U'},
    {'i', 'I'},   {'o', 'O'}, {'p', 'P'}, {'[', '{'},   {']', '}'}, // 16-27
    {0, 0},                                                         // 28 Enter
    {0, 0},                                                         // 29 left Ctrl
    {'a', 'A'},   {'s', 'S'}, {'d', 'D'}, {'f', 'F'},   {'g', 'G'}, {'h', 'H'},   {'j', 'J'},
    {'k', 'K'},   {'l', 'L'}, {';', ';'}, {'\'', '\''}, {'`', '`'},                           // 30-41
    {0, 0},                                                                                   // 42 left Shift
    {'\\', '\\'},                                                                             // 43
    {'z', 'Z'},   {'x', 'X'}, {'c', 'C'}, {'v', 'V'},   {'b', 'B'}, {'n', 'N'},   {'m', 'M'}, // 44-50
    {',', '<'},   {'.', '>'}, {'/', '/'},                                                     // 51-53
    {0, 0},     // 54 right Shift
    {'*', '*'}, // 55 keypad *
    {0, 0},     // 56 left Alt
    {' ', ' '}, // 57 Space
};
} // namespace

void ReadPointerPosition(const InputEvent& event, int& x, int& y)
{
    const auto bits = static_cast<std::uint32_t>(event.value);
    x = static_cast<std::int16_t>(bits & 0xFFFFu);
    y = static_cast<std::int16_t>(bits >> 16);
}

char ScanCodeToChar(const InputEvent& event, unsigned char shift)
{
    if (event.value != 1 || event.code < kFirstCode || event.code > kLastCode)
        return 0;
    const KeyChars& chars = kKeyChars[event.code - kFirstCode];
    return shift ? chars.shifted : chars.plain;
}
} // namespace input
} // namespace dorvo
