#include "platform/ui/QtVirtualKeys.h"

#include <QKeyEvent>

#include <utility>

namespace orv {

namespace {

// Keys whose code does not follow from a range.
constexpr std::pair<int, int> NamedKeys[] = {
    {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},        {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},    {Qt::Key_Enter, 13},     {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},   {Qt::Key_Alt, 18},       {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},  {Qt::Key_Escape, 27},    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},    {Qt::Key_PageDown, 34},  {Qt::Key_End, 35},
    {Qt::Key_Home, 36},      {Qt::Key_Left, 37},      {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},     {Qt::Key_Down, 40},      {Qt::Key_Select, 41},
    {Qt::Key_Execute, 43},   {Qt::Key_Print, 44},     {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},    {Qt::Key_Help, 47},      {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145}, {Qt::Key_Semicolon, 186}, {Qt::Key_Equal, 187},
    {Qt::Key_Comma, 188},    {Qt::Key_Minus, 189},    {Qt::Key_Period, 190},
    {Qt::Key_Slash, 191},    {Qt::Key_QuoteLeft, 192}, {Qt::Key_BracketLeft, 219},
    {Qt::Key_Backslash, 220}, {Qt::Key_BracketRight, 221}, {Qt::Key_Apostrophe, 222},
};

// Keys of the numeric pad.
constexpr std::pair<int, int> PadKeys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Slash, 111}, {Qt::Key_Comma, 108},
};

} // namespace

int VirtualKeyOf(const QKeyEvent &Event)
{
    const int key = Event.key();
    if (Event.modifiers() & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return 96 + (key - Qt::Key_0);
        for (auto [qt, vk] : PadKeys)
            if (qt == key)
                return vk;
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return key; // Qt numbers these as their upper-case characters
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    for (auto [qt, vk] : NamedKeys)
        if (qt == key)
            return vk;
    return 0;
}

} // namespace orv
