#include "storage/history_json.h"

#include "services/clock.h"
#include "services/encoding.h"
#include "services/file_io.h"
#include "services/text_util.h"
#include "storage/history_db.h"
#include "storage/sql_stmt.h"
#include "storage/transaction.h"

#include <exception>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <string_view>

void entry_to_json(const std::vector<Category>& categories, JsonValue& array, const HistoryEntry& entry) {
    std::string category_name;
    bool category_pinned = false;
    if (entry.category_id) {
        for (const Category& c : categories) {
            if (c.id == *entry.category_id) {
                category_name = utf8_from_wide(c.name);
                category_pinned = c.pinned;
                break;
            }
        }
    }
    JsonValue object = JsonValue::make_object();
    object.add_member("text", JsonValue(utf8_from_wide(entry.text)));
    object.add_member("created_at", JsonValue(utf8_from_wide(entry.created_at)));
    object.add_member("pinned", JsonValue::make_bool(entry.pinned));
    object.add_member("category", JsonValue(category_name));
    object.add_member("category_pinned", JsonValue::make_bool(category_pinned));
    if (entry.is_image) {
        object.add_member("is_image", JsonValue::make_bool(true));
        object.add_member("image", JsonValue(base64_encode(entry.image)));
    }
    array.items.push_back(std::move(object));
}

namespace {

bool digits_in_range(const std::string& s, size_t pos, int low, int high) {
    if (s[pos] < '0' || s[pos] > '9' || s[pos + 1] < '0' || s[pos + 1] > '9') return false;
    const int v = (s[pos] - '0') * 10 + (s[pos + 1] - '0');
    return v >= low && v <= high;
}

// The program's own timestamp form, "%Y-%m-%dT%H:%M:%S".
bool is_timestamp(const std::string& s) {
    if (s.size() != 19 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' || s[16] != ':') return false;
    return digits_in_range(s, 0, 0, 99) && digits_in_range(s, 2, 0, 99) && digits_in_range(s, 5, 1, 12) &&
           digits_in_range(s, 8, 1, 31) && digits_in_range(s, 11, 0, 23) && digits_in_range(s, 14, 0, 59) &&
           digits_in_range(s, 17, 0, 59);
}

// One element of the file as it will be stored.
struct ImportedEntry {
    std::wstring text;
    std::wstring created_at;
    bool pinned = false;
    std::wstring category;
    bool category_pinned = false;
    bool is_image = false;
    Bytes image;
};

constexpr std::string_view kImportInsert =
    "INSERT INTO history (text, created_at, pinned, category_id, is_image, image) VALUES (?1,?2,?3,?4,?5,?6)";

// Nothing when the element is no entry at all: not an object, an image that
// decodes to nothing, or neither text nor image; or one whose text or category
// holds a NUL, where every text of the program ends.
std::optional<ImportedEntry> read_element(const JsonValue& element, const std::wstring& now) {
    if (element.kind != JsonValue::kObject) return std::nullopt;
    ImportedEntry e;
    e.text = wide_from_utf8(json_get_string(element, "text", ""));
    // A missing or foreign timestamp would sort and expire wrongly (the age
    // purge compares the text), so such entries count as imported now.
    const std::string created = json_get_string(element, "created_at", "");
    e.created_at = is_timestamp(created) ? wide_from_utf8(created) : now;
    e.pinned = json_get_bool(element, "pinned", false);
    e.category = wide_from_utf8(json_get_string(element, "category", ""));
    e.category_pinned = json_get_bool(element, "category_pinned", false);
    const std::string image = json_get_string(element, "image", "");
    if (json_get_bool(element, "is_image", false) && !image.empty()) {
        e.image = base64_decode(image);
        if (e.image.empty()) return std::nullopt;
        e.is_image = true;
    } else if (e.text.empty()) {
        return std::nullopt;
    }
    if (e.text.find(L'\0') != std::wstring::npos || e.category.find(L'\0') != std::wstring::npos) return std::nullopt;
    return e;
}

}  // namespace

// Memory running out (a history of many large pictures) fails the whole
// export before the file is touched: a part of the history written as if it
// were all of it would be worse than none.
int HistoryDb::export_json(const std::wstring& file) {
    std::string text;
    int count = 0;
    try {
        const std::vector<Category> categories = list_categories();
        JsonValue array = JsonValue::make_array();
        for (const wchar_t* view : {L"all", L"images"}) {
            // One view at a time, so at most one list of images is held
            // besides the tree.
            for (const HistoryEntry& entry : list_entries(view, false, true)) entry_to_json(categories, array, entry);
        }
        count = static_cast<int>(array.items.size());
        text = json_write(array, 0);
    } catch (const std::bad_alloc&) {
        return kExportOutOfMemory;
    }
    // Never a half-written or emptied history file, whatever the disk does.
    if (!write_file_atomic(file, text)) return kJsonFileFailed;
    return count;
}

// The categories an import has met, by name: each is looked up or added once.
struct HistoryDb::ImportCategories {
    struct Known {
        std::int64_t id;
        bool pinned;  // set pinned by this import
    };
    std::map<std::wstring, Known> by_name;
};

// One transaction for the whole file: it comes into the history whole or not
// at all, whether a write fails or the program is stopped halfway, and its
// entries cost one commit rather than one each.
int HistoryDb::import_json(const std::wstring& file) {
    JsonValue root;
    try {
        std::string text;
        if (read_whole_file(file, text) != FileRead::Ok) return kJsonFileFailed;
        // Notepad and other Windows tools start UTF-8 files with a byte-order mark.
        if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
        JsonCursor cursor{text};
        root = json_parse_value(cursor);
    } catch (const std::exception&) {
        return kJsonFileFailed;  // malformed or too large to hold: nothing was written
    }
    if (root.kind != JsonValue::kArray) return kJsonFileFailed;

    const std::wstring now = now_iso();
    std::lock_guard<std::mutex> lock(mutex);
    Transaction transaction(db);
    if (!transaction) {
        note_result(sqlite3_errcode(db));
        return kJsonFileFailed;
    }
    ImportCategories categories;
    int count = 0;
    for (const JsonValue& element : root.items) {
        try {
            const Imported imported = import_element(element, now, categories);
            if (imported == Imported::Failed) return kJsonFileFailed;
            if (imported == Imported::Entry) ++count;
        } catch (const std::bad_alloc&) {
            // A text of hundreds of megabytes that memory cannot hold as
            // stored: that element is left out, the others come in.
        }
    }
    if (!transaction.commit()) {
        note_result(sqlite3_errcode(db));
        return kJsonFileFailed;
    }
    return count;
}

// Whatever takes memory in proportion to the element (its text as stored, the
// copy of its picture) is made before the first write, so that an element too
// large for memory, or for SQLite, leaves nothing behind, not even its category.
HistoryDb::Imported HistoryDb::import_element(const JsonValue& element, const std::wstring& now,
                                              ImportCategories& categories) {
    std::optional<ImportedEntry> e = read_element(element, now);
    if (!e) return Imported::NoEntry;
    const std::string text = utf8_from_wide(e->text);
    std::wstring().swap(e->text);  // its memory is wanted for the copy of the picture
    const std::string created = utf8_from_wide(e->created_at);
    auto insert = statements->use(db, kImportInsert);
    if (!insert) return Imported::Failed;
    sqlite3_stmt* stmt = insert.get();
    if (sqlite3_bind_text64(stmt, 1, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8) != SQLITE_OK ||
        bind_bytes(stmt, 6, e->image) != SQLITE_OK)
        return Imported::NoEntry;
    sqlite3_bind_text(stmt, 2, created.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_int(stmt, 3, e->pinned ? 1 : 0);
    sqlite3_bind_int(stmt, 5, e->is_image ? 1 : 0);

    // A blank name means no category.
    const std::wstring name = trim_blanks(e->category);
    if (!name.empty()) {
        auto known = categories.by_name.find(name);
        if (known == categories.by_name.end()) {
            const std::int64_t id = find_or_add_category(name);
            if (id < 0) return Imported::Failed;
            known = categories.by_name.emplace(name, ImportCategories::Known{id, false}).first;
        }
        if (e->category_pinned && !known->second.pinned) {
            if (exec(L"UPDATE categories SET pinned=1 WHERE id=" + std::to_wstring(known->second.id)) != SQLITE_OK)
                return Imported::Failed;
            known->second.pinned = true;
        }
        sqlite3_bind_int64(stmt, 4, known->second.id);
    }
    const int rc = sqlite3_step(stmt);
    note_result(rc);
    return rc == SQLITE_DONE ? Imported::Entry : Imported::Failed;
}
