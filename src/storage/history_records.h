#pragma once
// The records through which the rest of the program sees stored data. They
// are plain values: every list returns fresh copies that the caller owns.

#include "services/encoding.h"

#include <cstdint>
#include <optional>
#include <string>

// One history entry as every list delivers it, in display order. Rich text and
// HTML are the clipboard's raw bytes; image holds a PNG file or a DIB.
struct HistoryEntry {
    std::int64_t id = 0;
    std::wstring text;
    std::wstring created_at;  // local time, "%Y-%m-%dT%H:%M:%S"
    bool pinned = false;      // the user's own pin
    bool ep = false;          // effectively pinned: own pin, or a pinned category without override
    bool keep = false;
    std::optional<std::int64_t> category_id;
    std::int64_t use_count = 0;
    std::string rtf;
    std::string html;
    Bytes image;
    std::wstring source_app;
    bool is_image = false;
    bool is_browser_page = false;
    std::wstring source_title;
    std::wstring source_url;
    std::wstring custom_title;
    std::wstring link_title;
};

struct Category {
    std::int64_t id = 0;
    std::wstring name;
    bool pinned = false;
    std::int64_t cat_order = 0;  // position in the sidebar, ascending
};

// A template. grp is its group name, empty when ungrouped; deleted_at is empty
// for a live template and the time it went to the trash otherwise.
struct Snippet {
    std::int64_t id = 0;
    std::wstring title;
    std::wstring text;
    std::wstring grp;
    std::int64_t use_count = 0;
    std::wstring created_at;
    std::wstring deleted_at;
};

// Where the stored content stands: equal stamps taken at two moments mean
// that nothing was written in between, by this object or another program.
struct ChangeStamp {
    std::int64_t own = -1;     // rows this object's connection has changed
    std::int64_t others = -1;  // moves with every commit of another connection
    bool operator==(const ChangeStamp&) const = default;
};
