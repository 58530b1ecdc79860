#pragma once
// The history database: one SQLite file with the history entries, their
// categories, the quick slots, the templates and the template groups. Every
// public operation takes the object's mutex for its whole run, so callers never
// see half of another operation; an entry's use count alone is written on a
// thread of its own (storage/use_counts.h). Failures are quiet: operations
// return false, 0, -1 or an empty list, and SQLite's message goes to the
// debugger output; only what the user must know about the file itself
// (damaged and moved aside, or not writable) is kept for the program to tell
// (take_notice).

#include "storage/history_records.h"
#include "storage/manual_order.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct JsonValue;
class StatementCache;
class UseCountWriter;

// How much of the history file SQLite reads through a memory map: in practice
// all of it (the 200-entry cap and the protected entries bound it), so that a
// list of pictures costs copies in memory rather than file reads.
inline constexpr std::int64_t kHistoryMapBytes = std::int64_t(256) << 20;

// What export_json returns when memory ran out before the file was written.
inline constexpr int kExportOutOfMemory = -1;
// What export_json and import_json return when the file could not be
// written, or read and stored whole: the history is as it was.
inline constexpr int kJsonFileFailed = -2;

// Something about the history file that the user must be told.
struct StorageNotice {
    enum class Kind {
        MovedAside,   // SQLite found the file damaged: it went to moved_to, a new one took its place
        NotWritable,  // it cannot be written (read-only, disk full, cannot be opened): copies are lost
    };
    Kind kind = Kind::NotWritable;
    std::wstring moved_to;
};

class HistoryDb {
public:
    // Opens (creating when missing) and migrates the file. A file SQLite
    // finds damaged (not a database, malformed) is moved aside, with its -wal
    // and -shm, under path + ".corrupt-<local date and time>", and a new one is
    // started in its place; nothing is deleted. A file that cannot be opened
    // leaves an object whose every operation fails quietly. Writes wait a
    // short while for another program's lock (a backup tool, sqlite3) before
    // they give up. map_bytes: how much of the file is read through a memory
    // map (0: none); a file on a network or removable drive never is, since
    // a read error there would end the program instead of failing the read.
    explicit HistoryDb(const std::wstring& path, std::int64_t map_bytes = kHistoryMapBytes);
    ~HistoryDb();
    HistoryDb(const HistoryDb&) = delete;
    HistoryDb& operator=(const HistoryDb&) = delete;

    // ---- the file's health (told by the App in tray balloons)
    // The next thing to tell the user about the file; each kind comes at most
    // once in the object's life, whenever it first happens.
    std::optional<StorageNotice> take_notice();
    // Whether the last add_entry stored nothing because another program held
    // the file locked beyond the wait: the same capture may succeed later.
    bool add_was_busy();

    // Where the stored content stands now; cheap enough to ask before each
    // list, so that a caller may keep what it read while the stamp stays.
    ChangeStamp change_stamp();
    // How many statements the connection holds prepared. Those kept for
    // reuse live until the file closes, so the count must not grow with
    // what is viewed.
    std::size_t prepared_statement_count();

    // ---- lists (fresh values; display order)
    // view: "all", "images", "none", "pinned", "trash", "slots", "cat:<id>";
    // any other text lists every row, trashed ones too.
    std::vector<HistoryEntry> list_entries(const std::wstring& view, bool by_frequency, bool pinned_first);
    // The first count rows of a view in list_entries' order (no frequency
    // sort), each with only the start of its text, cut_code_units(text,
    // text_units), and none of the columns read with the text (rich text,
    // HTML, image, custom title): a text of megabytes costs a short menu no
    // more than a short one.
    std::vector<HistoryEntry> list_entry_heads(const std::wstring& view, bool pinned_first, std::size_t count,
                                               std::size_t text_units);
    // The entry with that id, live or trashed, whole as the lists give it.
    std::optional<HistoryEntry> find_entry(std::int64_t id);
    // Quick slot n (Ctrl+Shift+n) is element n - 1.
    std::vector<HistoryEntry> list_slots();
    // Quick slot n alone, read without the others; nothing when there are
    // fewer slots.
    std::optional<HistoryEntry> find_slot(int n);
    std::vector<Category> list_categories();
    std::vector<Snippet> list_snippets();          // live, by title
    std::vector<Snippet> list_trashed_snippets();  // newest deletion first

    // ---- adding and editing entries
    // The text is folded to one line and trimmed; a text under 2 characters
    // without an image stores nothing. A live entry with the same text is
    // moved to the top instead (unless always_new or is_image). Returns the id
    // of the new or refreshed entry, 0 when nothing was stored: a new entry
    // goes in with its image, or not at all. image_path:
    // the saved file a new row records, stored with the row, before the cap
    // removes older rows, one of which may record a file of the same name.
    std::int64_t add_entry(const std::wstring& text, const std::string& rtf, const std::string& html,
                           const Bytes& image, const std::wstring& source_app, bool is_image, bool always_new,
                           std::optional<std::int64_t> category, const std::wstring& source_title,
                           const std::wstring& source_url, bool is_browser_page, const std::wstring& image_path = {});
    // One transaction; the number of ids whose update ran; 0, and nothing
    // changed, when a statement fails.
    int set_pinned_many(const std::vector<std::int64_t>& ids, bool pin);
    bool trash_entry(std::int64_t id);
    int trash_entries(const std::vector<std::int64_t>& ids);
    bool restore_entry(std::int64_t id);
    int restore_entries(const std::vector<std::int64_t>& ids);
    bool get_keep(std::int64_t id);
    bool set_keep(std::int64_t id, bool keep);                       // false when the entry does not exist
    bool set_entry_text(std::int64_t id, const std::wstring& text);  // false for an empty text
    bool set_custom_title(std::int64_t id, const std::wstring& title);
    bool set_image_path(std::int64_t id, const std::wstring& path);  // true when a row changed
    // Only while the entry holds the text a capture of fetched_for stores;
    // false for an empty title and when the entry is gone or was edited.
    bool set_link_title(std::int64_t id, const std::wstring& fetched_for, const std::wstring& title);
    bool set_entry_category(std::int64_t id, std::optional<std::int64_t> category);
    int set_entries_category(const std::vector<std::int64_t>& ids, std::optional<std::int64_t> category);
    // One more use of the entry, written soon, off the caller's thread, and
    // before the file closes; the lists show it once written.
    bool increment_use_count(std::int64_t id);

    // ---- categories, quick slots and manual order
    // The id of the new or existing category; -1 for a blank name or a failed insert.
    std::int64_t add_category(const std::wstring& name);
    bool rename_category(std::int64_t id, const std::wstring& name);
    bool toggle_category_pin(std::int64_t id);
    bool move_category(std::int64_t id, std::int32_t direction);  // -1 up, anything else down
    bool delete_category(std::int64_t id);                        // its entries stay, without a category
    // Moves every entry of from (live and trashed) into into and deletes from,
    // in one transaction; each entry stays pinned or unpinned as it was. False
    // and nothing changed when either is missing, they are the same, or a
    // statement fails.
    bool merge_category(std::int64_t from, std::int64_t into);
    // Appends the ids not yet in the slots, keeps at most maximum slots (the
    // first ones); returns the number of slots gained.
    int add_to_slots(const std::vector<std::int64_t>& ids, std::int32_t maximum);
    bool remove_from_slots(std::int64_t id);
    // direction -1 up, +1 down; true when the order changed and was stored.
    bool move_entries(const std::vector<std::int64_t>& selected, int direction, bool pinned_first, ViewScope scope);
    bool move_slots(const std::vector<std::int64_t>& selected, int direction);

    // ---- deletion and retention (saved PNG files of removed entries go too,
    // unless an entry still there records the same file)
    bool delete_entry(std::int64_t id);
    int delete_entries(const std::vector<std::int64_t>& ids);
    int empty_trash();                     // trashed entries + trashed templates removed
    int purge_trash(std::int32_t hours);   // entries trashed more than hours ago; below 1: off
    int purge_expired(std::int32_t days);  // unprotected live entries older than days; below 1: off
    int clear_history(bool only_unprotected);

    // ---- templates and template groups
    // The new id; 0 when a template (live or trashed) has that title; -1 when
    // the trimmed title or the text is empty, or the insert failed.
    std::int64_t add_snippet(const std::wstring& title, const std::wstring& text, const std::wstring& group);
    bool update_snippet(std::int64_t id, const std::wstring& title, const std::wstring& text,
                        const std::wstring& group);
    bool set_snippet_group(std::int64_t id, const std::wstring& group);
    bool trash_snippet(std::int64_t id);
    bool restore_snippet(std::int64_t id);
    bool delete_snippet(std::int64_t id);
    bool increment_snippet_use(std::int64_t id);
    std::vector<std::wstring> list_snippet_groups();
    bool create_snippet_group(const std::wstring& name);
    // False, and nothing renamed, for an empty or blank old name: ungrouped templates are no group.
    bool rename_snippet_group(const std::wstring& old_name, const std::wstring& new_name);
    bool delete_snippet_group(const std::wstring& name);

    // ---- the JSON history file
    // Entries written; kJsonFileFailed when the file cannot be written (what
    // was there stays); kExportOutOfMemory when memory ran out on the way
    // (many large pictures), in which case no file was touched.
    int export_json(const std::wstring& path);
    // Entries imported, all in one transaction; kJsonFileFailed, and nothing
    // imported, when the file is unreadable or malformed or a write fails. An
    // element too large for memory or for SQLite is skipped, uncounted, and
    // leaves nothing behind.
    int import_json(const std::wstring& path);

private:
    using Row = std::vector<std::wstring>;

    // Statement functions; the caller holds the mutex.
    int exec(const std::wstring& sql);
    std::vector<Row> query(const std::wstring& sql);
    std::int64_t last_insert_rowid();
    // The first column of the first row as a number, or fallback.
    std::int64_t query_number(const std::wstring& sql, std::int64_t fallback);
    std::int64_t next_sort_order();

    void open_and_migrate();
    // SQLite's busy handler of the connection (tries: its calls so far):
    // another program's write is waited out briefly, the program's own use
    // count for longer; 0 gives up.
    static int wait_while_busy(void* self, int tries);
    bool open_connection();
    bool is_damaged();
    // Closes the connection and moves the file and its companions aside;
    // true when a new file may take its place.
    bool move_damaged_aside();
    // Remembers a failed write that the user must hear of.
    void note_result(int rc);
    void seed_templates();
    void backfill_source_url();

    // stmt: "SELECT text, rtf, html, image, custom_title FROM history WHERE id=?1".
    void load_rich_data(sqlite3_stmt* stmt, HistoryEntry& entry);
    // The start of the entry's text, as list_entry_heads gives it.
    void load_text_head(HistoryEntry& entry, std::size_t text_units);
    // The rows of sql, a statement over the listed columns whose ?1 (when it
    // has one) is bound to id.
    std::vector<HistoryEntry> entries_of(const std::wstring& sql, std::int64_t id = 0);

    // Whether the id's update ran (a pin's runs for a missing id too, on no
    // row); nothing when a statement failed.
    std::optional<bool> set_pinned_unlocked(std::int64_t id, bool pin);
    // Deletes the unprotected entries beyond the cap, at the far end of the
    // lists' order; returns the saved image files to delete once the deletion
    // is committed.
    std::vector<std::wstring> apply_cap();

    std::vector<std::wstring> collect_image_paths(const std::wstring& condition);
    // Deletes the saved files of removed rows that no remaining row records;
    // when the remaining rows cannot be read, every file stays.
    void delete_unrecorded_files(const std::vector<std::wstring>& paths);
    // Deletes the history rows matching condition, then the quick-slot rows
    // left without an entry and the rows' saved PNG files that no remaining
    // row records. Nothing but the attempted DELETE happens when it fails;
    // the result tells.
    bool delete_history_where(const std::wstring& condition);

    // The id of the category with that name (trimmed, not blank), added when
    // there is none; -1 when a statement failed.
    std::int64_t find_or_add_category(const std::wstring& trimmed);

    // Stores one element of a history file inside import_json's transaction:
    // now stands for a missing or foreign time, categories holds those the
    // import has met. Throws std::bad_alloc, before anything is written, when
    // the element is too large for memory.
    enum class Imported { Entry, NoEntry, Failed };
    struct ImportCategories;
    Imported import_element(const JsonValue& element, const std::wstring& now, ImportCategories& categories);

    // The statements in one transaction; false and nothing kept when any fails.
    bool run_transaction(const std::vector<std::wstring>& statements);

    sqlite3* db = nullptr;
    std::unique_ptr<StatementCache> statements;  // finalized before db closes
    std::unique_ptr<UseCountWriter> use_counts;  // done before db closes
    std::mutex mutex;
    std::wstring path;
    std::int64_t map_bytes;

    std::wstring moved_to;  // where a damaged file went, until told
    bool not_writable = false;
    bool not_writable_told = false;
    bool add_busy = false;
};
