// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/KeyCodes.h"

#include <iterator>

namespace keycodes {
namespace {

struct Pair {
    int qtKey;
    int code;
};

// Keys whose code does not follow from their letter or digit.
constexpr Pair kKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},          {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},    {Qt::Key_Return, 13},      {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},    {Qt::Key_Control, 17},     {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20},    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},      {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},      {Qt::Key_Home, 36},        {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},       {Qt::Key_Right, 39},       {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},    {Qt::Key_Insert, 45},      {Qt::Key_Delete, kDelete},
    {Qt::Key_Help, 47},     {Qt::Key_Meta, 91},        {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
};

// Keys of the numeric keypad other than its digits (which have codes of their own, 96-105).
constexpr Pair kKeypad[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},   {Qt::Key_Comma, 108},
    {Qt::Key_Minus, 109},    {Qt::Key_Period, 110}, {Qt::Key_Slash, 111},
};

// Punctuation of the main keyboard, as a Japanese keyboard places it.
constexpr Pair kPunctuation[] = {
    {Qt::Key_Colon, 186},        {Qt::Key_Asterisk, 186},   {Qt::Key_Semicolon, 187},
    {Qt::Key_Plus, 187},         {Qt::Key_Comma, 188},      {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},        {Qt::Key_Equal, 189},      {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},      {Qt::Key_Slash, 191},      {Qt::Key_Question, 191},
    {Qt::Key_At, 192},           {Qt::Key_QuoteLeft, 192},  {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},    {Qt::Key_yen, 220},        {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221}, {Qt::Key_AsciiCircum, 222},
    {Qt::Key_AsciiTilde, 222},   {Qt::Key_Backslash, 226},  {Qt::Key_Underscore, 226},
};

int find(const Pair* begin, const Pair* end, int qtKey) {
    for (const Pair* p = begin; p != end; ++p) {
        if (p->qtKey == qtKey)
            return p->code;
    }
    return 0;
}

}  // namespace

int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? 96 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    if (const int code = find(std::begin(kKeys), std::end(kKeys), qtKey))
        return code;
    if (keypad)
        return find(std::begin(kKeypad), std::end(kKeypad), qtKey);
    return find(std::begin(kPunctuation), std::end(kPunctuation), qtKey);
}

}  // namespace keycodes
