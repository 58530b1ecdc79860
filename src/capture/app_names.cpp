#include "capture/app_names.h"

#include "config/language.h"

#include <array>
#include <cwctype>
#include <string_view>

namespace {

std::wstring lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring file_name_of(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool is_browser_process(const std::wstring& name_or_path) {
    static const std::array<std::wstring_view, 8> kBrowsers{
        L"chrome.exe", L"chromium.exe", L"msedge.exe", L"firefox.exe",
        L"opera.exe",  L"brave.exe",    L"yandex.exe", L"browser.exe",
    };
    const std::wstring name = lower(file_name_of(name_or_path));
    for (auto b : kBrowsers)
        if (name == b) return true;
    return false;
}

std::wstring app_display_name(const std::wstring& process_name) {
    std::wstring stem = file_name_of(process_name);
    const size_t dot = stem.rfind(L'.');
    if (dot != std::wstring::npos) stem.erase(dot);
    if (stem.empty()) return tr(L"card.app.unknown");

    struct Known {
        std::wstring_view stem;
        std::wstring_view shown;
    };
    static const std::array<Known, 14> kKnown{{
        {L"chrome", L"Chrome"},
        {L"chromium", L"Chrome"},
        {L"msedge", L"Chrome"},
        {L"firefox", L"Firefox"},
        {L"opera", L"Opera"},
        {L"opera_gx", L"Opera"},
        {L"brave", L"Brave"},
        {L"iexplore", L"Internet Explorer"},
        {L"yandex", L"Yandex Browser"},
        {L"browser", L"Yandex Browser"},
        {L"winword", L"Microsoft Word"},
        {L"excel", L"Microsoft Excel"},
        {L"powerpnt", L"Microsoft PowerPoint"},
        {L"outlook", L"Outlook"},
    }};
    const std::wstring key = lower(stem);
    if (key == L"notepad") return tr(L"card.app.notepad");
    if (key == L"explorer") return tr(L"card.app.explorer");
    for (const auto& k : kKnown)
        if (!k.stem.empty() && key == k.stem) return std::wstring(k.shown);
    return stem;
}
