// MainWindow: painting the cards of the entry list.
#include "ui/main_window/main_window.h"

#include "config/language.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/theme.h"
#include "ui/main_window/entry_format.h"

namespace {

constexpr int kThumbBox = 44;
constexpr wchar_t kPinPrefix[] = L"\U0001F4CC ";
constexpr wchar_t kGroupGlyph[] = L"\u25BE";

constexpr UINT kSingleLine = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
constexpr UINT kWrapped = DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EDITCONTROL;

struct CardPens {
    COLORREF primary, secondary;
};

void draw_text(HDC dc, const std::wstring& text, RECT r, COLORREF colour, HFONT font, UINT format) {
    if (r.right <= r.left || r.bottom <= r.top || text.empty()) return;
    ScopedSelect keep(dc, font);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

int measure(HDC dc, const std::wstring& text, HFONT font) {
    ScopedSelect keep(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

std::pair<std::wstring, std::wstring> split_first_line(const std::wstring& text) {
    const std::size_t lf = text.find(L'\n');
    if (lf == std::wstring::npos) return {text, {}};
    return {text.substr(0, lf), text.substr(lf + 1)};
}

}  // namespace

void MainWindow::draw_card(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT row = item.rcItem;
    fill_solid(dc, row, ui_color(UiColor::FieldBackground, dark));
    if (static_cast<int>(item.itemID) < 0) return;

    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT card = row;
    InflateRect(&card, -2, -2);
    fill_round(dc, card, 8, ui_color(selected ? UiColor::Accent : UiColor::Card, dark));

    auto font = reinterpret_cast<HFONT>(list_call(WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW bold_face{};
    GetObjectW(font, sizeof bold_face, &bold_face);
    bold_face.lfWeight = FW_SEMIBOLD;
    const CardPens pens{selected ? ui_color(UiColor::SelectedText, dark) : ui_color(UiColor::Text, dark),
                        selected ? ui_color(UiColor::SelectedText, dark) : ui_color(UiColor::SecondaryText, dark)};
    SetBkMode(dc, TRANSPARENT);

    const int row_index = static_cast<int>(item.itemID);
    const std::wstring text = row_text(row_index);
    const auto data = static_cast<std::int64_t>(item.itemData);
    const int left = row.left, top = row.top, right = row.right, bottom = row.bottom;

    switch (row_kind(data)) {
    case RowKind::GroupHeader: {
        ScopedFont bold(CreateFontIndirectW(&bold_face));
        const std::wstring name = strip_group_prefix(text);
        draw_text(dc, kGroupGlyph, {left + 10, top, left + 26, bottom}, pens.secondary, font, kSingleLine);
        draw_text(dc, name, {left + 30, top, right - 60, bottom}, pens.primary, bold.get(), kSingleLine);
        const int count = count_templates_in_group(data == kListUngroupedHeader ? std::wstring{} : name);
        const std::wstring count_text = count > 0 ? std::to_wstring(count) : tr(L"card.group_empty");
        draw_text(dc, count_text, {right - 56, top, right - 8, bottom}, pens.secondary, font, kSingleLine | DT_RIGHT);
        return;
    }
    case RowKind::Template: {
        ScopedFont bold(CreateFontIndirectW(&bold_face));
        const auto [title, body] = split_first_line(text);
        const int indent = row_is_grouped_template(row_index) ? 28 : 14;
        draw_text(dc, title, {left + indent, top + 3, right - 8, top + 23}, pens.primary, bold.get(), kSingleLine);
        draw_text(dc, body, {left + indent + 1, top + 22, right - 8, bottom - 3}, pens.secondary, font, kWrapped);
        return;
    }
    case RowKind::Entry: break;
    }

    if (const HistoryEntry* entry = find_image_entry(data)) {
        const RECT box{left + 8, top + (bottom - top - kThumbBox) / 2, left + 8 + kThumbBox,
                       top + (bottom - top - kThumbBox) / 2 + kThumbBox};
        fill_round(dc, box, 6, ui_color(UiColor::Border, dark));
        RECT inner = box;
        InflateRect(&inner, -1, -1);
        fill_solid(dc, inner, ui_color(UiColor::FieldBackground, dark));
        const ScopedBitmap* made = made_thumbnail(entry->id);
        HBITMAP picture = made ? made->get() : nullptr;
        BITMAP info{};
        if (!made) {
            ask_for_thumbnail(entry->id);  // the box stays empty until the picture is made
        } else if (picture && GetObjectW(picture, sizeof info, &info) && info.bmWidth > 0 && info.bmHeight > 0) {
            const int w = std::min(kThumbnailSize, static_cast<int>(info.bmWidth));
            const int h = std::min(kThumbnailSize, static_cast<int>(info.bmHeight));
            ScopedDc source(CreateCompatibleDC(dc));
            ScopedSelect keep(source.get(), picture);
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, inner.left + (kThumbnailSize - w) / 2, inner.top + (kThumbnailSize - h) / 2, w, h,
                       source.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        } else {
            fill_solid(dc, inner, ui_color(UiColor::PopupSurface, dark));
            draw_text(dc, L"?", inner, pens.secondary, font, DT_CENTER | kSingleLine);
        }
        const auto [line1, line2] = split_first_line(image_caption(*entry));
        RECT first{left + 62, top + 4, right - 8, top + 22};
        if (entry_is_pinned(*entry)) {
            draw_text(dc, kPinPrefix, first, pens.primary, font, kSingleLine);
            first.left += measure(dc, kPinPrefix, font);
        }
        draw_text(dc, line1, first, pens.primary, font, kSingleLine);
        draw_text(dc, line2, {left + 62, top + 24, right - 8, bottom - 16}, pens.secondary, font, kWrapped);
        if (show_time)
            draw_text(dc, format_meta_line(entry->id), {left, bottom - 18, right - 8, bottom - 3}, pens.secondary, font,
                      kSingleLine | DT_RIGHT);
        return;
    }

    int text_right = right - 8;
    const std::wstring meta = format_meta_line(data);
    if (!meta.empty()) {
        const int w = measure(dc, meta, font);
        draw_text(dc, meta, {right - 8 - w - 8, top, right - 8, bottom}, pens.secondary, font, kSingleLine | DT_RIGHT);
        text_right -= w + 8;
    }
    draw_text(dc, text, {left + 12, top, text_right, bottom}, pens.primary, font, kSingleLine);
}
