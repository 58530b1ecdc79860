#pragma once
// A small printf for wide strings whose arguments carry their type, so that a
// format text written by a translator can never make it read a value that was
// not passed or take a number for a string. It also formats %s as a wide
// string on every C runtime (MinGW's ANSI stdio reads %s in a wide format as
// a narrow string).
//
// Conversions: d i u x X o c s S % with the flags - 0 + space #, a width and
// a precision written as digits, and the length modifiers h hh l ll L j z t
// I32 I64 w (all accepted, none changes the type). A %s given a number prints
// the number. Anything else (%f, %p, %n, * widths, positional arguments, a
// string given to a number conversion, fewer arguments than conversions)
// makes the whole format fail.

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

class FormatArg {
public:
    template <std::integral T>
    FormatArg(T value)
        : is_text_(false), number_(static_cast<std::int64_t>(value)), is_unsigned_(std::is_unsigned_v<T>) {}
    FormatArg(const wchar_t* text) : is_text_(true), text_(text ? text : L"(null)") {}
    FormatArg(const std::wstring& text) : is_text_(true), text_(text) {}
    FormatArg(std::wstring_view text) : is_text_(true), text_(text) {}

    bool is_text() const { return is_text_; }
    std::int64_t number() const { return number_; }
    bool is_unsigned() const { return is_unsigned_; }
    std::wstring_view text() const { return text_; }

private:
    bool is_text_;
    std::int64_t number_ = 0;
    bool is_unsigned_ = false;
    std::wstring_view text_;
};

// Nothing when the format does not fit the arguments.
std::optional<std::wstring> format_printf(std::wstring_view format, std::initializer_list<FormatArg> args);
