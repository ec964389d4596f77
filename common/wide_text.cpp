#include "wide_text.h"

namespace wide_text {

std::wstring windowText(HWND window)
{
    // The length may change between the two calls; the copy is bounded by
    // the buffer and trimmed to what was written.
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::string toAnsi(const wchar_t* text, int length)
{
    if (!text || length <= 0)
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &result[0], size, nullptr, nullptr);
    return result;
}

std::string toAnsi(const std::wstring& text)
{
    return toAnsi(text.data(), static_cast<int>(text.size()));
}

std::wstring fromAnsi(const char* text, int length)
{
    if (!text || length <= 0)
        return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, length, &result[0], size);
    return result;
}

std::wstring fromAnsi(const std::string& text)
{
    return fromAnsi(text.data(), static_cast<int>(text.size()));
}

}  // namespace wide_text
