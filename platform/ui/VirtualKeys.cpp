#include "platform/ui/VirtualKeys.h"

#include <iterator>

namespace orv {

namespace {

struct TKeyPair {
    int Qt;
    uint16_t Vk;
};

const TKeyPair Plain[] = {
    {Qt::Key_Backspace, 8},      {Qt::Key_Tab, 9},           {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},         {Qt::Key_Shift, 16},        {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},           {Qt::Key_Pause, 19},        {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},        {Qt::Key_Space, 32},        {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},      {Qt::Key_End, 35},          {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},          {Qt::Key_Up, 38},           {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},          {Qt::Key_Print, 44},        {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},        {Qt::Key_NumLock, 144},     {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186},    {Qt::Key_Equal, 187},       {Qt::Key_Comma, 188},
    {Qt::Key_Minus, 189},        {Qt::Key_Period, 190},      {Qt::Key_Slash, 191},
    {Qt::Key_QuoteLeft, 192},    {Qt::Key_BracketLeft, 219}, {Qt::Key_Backslash, 220},
    {Qt::Key_BracketRight, 221}, {Qt::Key_Apostrophe, 222},
};

const TKeyPair Keypad[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Slash, 111},
};

} // namespace

uint16_t VirtualKeyOf(int QtKey, Qt::KeyboardModifiers Modifiers) {
    const bool keypad = Modifiers.testFlag(Qt::KeypadModifier);
    if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9)
        return static_cast<uint16_t>((keypad ? 96 : 48) + (QtKey - Qt::Key_0));
    if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z)
        return static_cast<uint16_t>(65 + (QtKey - Qt::Key_A));
    if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F24)
        return static_cast<uint16_t>(112 + (QtKey - Qt::Key_F1));
    if (keypad)
        for (const TKeyPair &k : Keypad)
            if (k.Qt == QtKey)
                return k.Vk;
    for (const TKeyPair &k : Plain)
        if (k.Qt == QtKey)
            return k.Vk;
    return 0;
}

uint16_t VirtualKeyOf(const QKeyEvent &Event) {
    return VirtualKeyOf(Event.key(), Event.modifiers());
}

int QtKeyOf(uint16_t VirtualKey, bool *IsKeypad) {
    if (IsKeypad)
        *IsKeypad = false;
    if (VirtualKey >= 48 && VirtualKey <= 57)
        return Qt::Key_0 + (VirtualKey - 48);
    if (VirtualKey >= 96 && VirtualKey <= 105) {
        if (IsKeypad)
            *IsKeypad = true;
        return Qt::Key_0 + (VirtualKey - 96);
    }
    if (VirtualKey >= 65 && VirtualKey <= 90)
        return Qt::Key_A + (VirtualKey - 65);
    if (VirtualKey >= 112 && VirtualKey <= 135)
        return Qt::Key_F1 + (VirtualKey - 112);
    for (const TKeyPair &k : Keypad)
        if (k.Vk == VirtualKey) {
            if (IsKeypad)
                *IsKeypad = true;
            return k.Qt;
        }
    for (const TKeyPair &k : Plain)
        if (k.Vk == VirtualKey)
            return k.Qt;
    return Qt::Key_unknown;
}

} // namespace orv
