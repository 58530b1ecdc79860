// Opening, schema, migrations and the statement functions the other
// history_*.cpp files build on.

#include "storage/history_db.h"

#include "services/clock.h"
#include "services/encoding.h"
#include "services/file_io.h"
#include "services/text_util.h"
#include "storage/sql_stmt.h"
#include "storage/sql_text.h"
#include "storage/transaction.h"
#include "storage/use_counts.h"

#include <windows.h>

#include <sqlite3.h>

#include <ctime>
#include <cwchar>
#include <string_view>

namespace {

// Long enough for a backup tool or sqlite3 to finish a short write; short
// enough that the UI thread, which runs every operation, never stalls long.
constexpr int kBusyTimeoutMs = 250;
// A use count of the program's own rewrites a whole row, a picture of
// megabytes included: a change the user makes meanwhile waits for it (for
// as long as it may take), rather than being lost.
constexpr int kOwnCountWaitMs = 5000;
constexpr int kBusyStepMs = 10;

// SQLite's word that the file is not a database, or a damaged one.
bool is_damage(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// Failures after which the file takes no new data.
bool is_write_failure(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_READONLY:
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return true;
    default: return false;
    }
}

// Whether the file lies on a fixed or RAM disk. A page read through a memory
// map that fails (a network drop, a pulled stick) raises an exception where a
// plain read returns an error SQLite can report, so only there are mapped
// reads safe.
bool on_local_disk(const std::wstring& file) {
    wchar_t volume[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW(file.c_str(), volume, MAX_PATH + 1)) return false;
    const UINT type = GetDriveTypeW(volume);
    return type == DRIVE_FIXED || type == DRIVE_RAMDISK;
}

// Where a damaged file goes: the path + ".corrupt-2026-12-07 10-15-00", with
// " (2)", " (3)"... after it when that name is taken.
std::wstring aside_name(const std::wstring& path, const std::tm& when, int attempt) {
    wchar_t stamp[32] = {};
    std::wcsftime(stamp, 32, L"%Y-%m-%d %H-%M-%S", &when);
    std::wstring name = path + L".corrupt-" + stamp;
    if (attempt > 1) name += L" (" + std::to_wstring(attempt) + L")";
    return name;
}

// Every statement runs at every open: a fresh file gets its tables, an older
// one gets the columns it lacks. An ALTER of an existing column fails, which
// is expected and harmless.
const wchar_t* const kSchemaStatements[] = {
    L"PRAGMA journal_mode=WAL",
    L"PRAGMA foreign_keys=ON",
    L"CREATE TABLE IF NOT EXISTS categories (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL UNIQUE,"
    L"pinned INTEGER NOT NULL DEFAULT 0,cat_order INTEGER NOT NULL DEFAULT 0)",
    L"CREATE TABLE IF NOT EXISTS history (id INTEGER PRIMARY KEY AUTOINCREMENT,text TEXT NOT NULL,"
    L"created_at TEXT NOT NULL,pinned INTEGER NOT NULL DEFAULT 0,category_id INTEGER REFERENCES categories(id),"
    L"sort_order INTEGER NOT NULL DEFAULT 0,deleted_at TEXT,use_count INTEGER NOT NULL DEFAULT 0)",
    L"CREATE TABLE IF NOT EXISTS slot_entries (entry_id INTEGER PRIMARY KEY,slot_order INTEGER NOT NULL DEFAULT 0)",
    L"ALTER TABLE history ADD COLUMN rtf TEXT DEFAULT ''",
    L"ALTER TABLE history ADD COLUMN html TEXT DEFAULT ''",
    L"ALTER TABLE history ADD COLUMN image BLOB DEFAULT NULL",
    L"ALTER TABLE history ADD COLUMN source_app TEXT DEFAULT ''",
    L"ALTER TABLE history ADD COLUMN source_title TEXT DEFAULT ''",
    L"ALTER TABLE history ADD COLUMN source_url TEXT DEFAULT ''",
    L"ALTER TABLE history ADD COLUMN orig_text TEXT DEFAULT ''",
    L"ALTER TABLE history ADD COLUMN is_image INTEGER NOT NULL DEFAULT 0",
    L"ALTER TABLE history ADD COLUMN is_browser_page INTEGER NOT NULL DEFAULT 0",
    L"ALTER TABLE history ADD COLUMN custom_title TEXT DEFAULT ''",
    L"ALTER TABLE history ADD COLUMN image_path TEXT DEFAULT ''",
    L"ALTER TABLE history ADD COLUMN cat_pin_override INTEGER NOT NULL DEFAULT 0",
    L"ALTER TABLE history ADD COLUMN link_title TEXT DEFAULT ''",
    L"ALTER TABLE history ADD COLUMN keep INTEGER NOT NULL DEFAULT 0",
    L"CREATE TABLE IF NOT EXISTS snippets (id INTEGER PRIMARY KEY AUTOINCREMENT,title TEXT NOT NULL,"
    L"text TEXT NOT NULL,grp TEXT DEFAULT '' ,created_at TEXT NOT NULL,use_count INTEGER NOT NULL DEFAULT 0,"
    L"deleted_at TEXT)",
    L"ALTER TABLE snippets ADD COLUMN grp TEXT DEFAULT ''",
    L"ALTER TABLE snippets ADD COLUMN deleted_at TEXT DEFAULT NULL",
    L"CREATE TABLE IF NOT EXISTS snippet_groups (name TEXT PRIMARY KEY)",
    // What the lists select and order by, so that a short list reads no row
    // it does not show (HistoryDb::list_entry_heads).
    L"CREATE INDEX IF NOT EXISTS history_listing ON history(deleted_at,is_image,pinned,category_id,cat_pin_override,"
    L"sort_order)",
};

// The templates a new user finds: a letter and a document heading.
const wchar_t kLetterGroup[] = L"Письма";
const wchar_t kDocumentGroup[] = L"Документы";
const wchar_t kLetterTitle[] = L"Письмо";
const wchar_t kLetterText[] = L"Здравствуйте, {user}!\n\nНаправляем вам письмо от {date}.\n\nС уважением, ...";
const wchar_t kDocumentTitle[] = L"Заголовок документа";
const wchar_t kDocumentText[] = L"Документ подготовлен {date} пользователем {user}.";

}  // namespace

HistoryDb::HistoryDb(const std::wstring& db_path, std::int64_t map_size)
    : statements(std::make_unique<StatementCache>()),
      use_counts(std::make_unique<UseCountWriter>(db_path)),
      path(db_path),
      map_bytes(map_size) {
    open_and_migrate();
}

HistoryDb::~HistoryDb() {
    use_counts.reset();
    statements->clear();
    if (db) sqlite3_close(db);
}

void HistoryDb::open_and_migrate() {
    // A failed open keeps its handle: every later statement on it fails
    // quietly, and the destructor closes it.
    if (!open_connection() || (is_damaged() && (!move_damaged_aside() || !open_connection()))) {
        not_writable = true;
        return;
    }
    for (const wchar_t* sql : kSchemaStatements) exec(sql);
    // A read-only file opens, read-only: it is the user who must hear of it.
    if (sqlite3_db_readonly(db, "main") == 1) not_writable = true;
    seed_templates();
    exec(L"UPDATE history SET is_image=1 WHERE is_image=0 AND image IS NOT NULL AND length(image) > 0");
    backfill_source_url();
}

int HistoryDb::wait_while_busy(void* self, int tries) {
    const auto* history = static_cast<const HistoryDb*>(self);
    const int waited = tries * kBusyStepMs;
    const bool own_count = history->use_counts && history->use_counts->writing();
    if (waited >= (own_count ? kOwnCountWaitMs : kBusyTimeoutMs)) return 0;
    Sleep(kBusyStepMs);
    return 1;
}

bool HistoryDb::open_connection() {
    const int rc = sqlite3_open(utf8_from_wide(path).c_str(), &db);
    if (db) sqlite3_busy_handler(db, wait_while_busy, this);
    if (rc == SQLITE_OK && map_bytes > 0 && on_local_disk(path))
        exec_sql(db, "PRAGMA mmap_size=" + std::to_string(map_bytes));
    return rc == SQLITE_OK;
}

// Only SQLite's own verdict counts: a file it cannot read for another reason
// (locked, unreadable) is not damaged and stays where it is.
bool HistoryDb::is_damaged() {
    ScopedStmt check = prepare_stmt(db, "PRAGMA quick_check");
    if (!check) return is_damage(sqlite3_errcode(db));
    const int rc = sqlite3_step(check.get());
    if (rc != SQLITE_ROW) return is_damage(rc);
    const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
    return !verdict || std::string_view(verdict) != "ok";
}

// Nothing is deleted: the damaged file may still hold what the user needs,
// and SQLite's tools may recover it. Its -wal and -shm go along under the
// names SQLite looks for, so the moved file opens whole; a -wal left behind
// would be replayed into the new file.
bool HistoryDb::move_damaged_aside() {
    statements->clear();
    // Closing would otherwise fold the -wal into the damaged file and delete it.
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_close(db);
    db = nullptr;
    std::tm now{};
    local_time(std::time(nullptr), now);
    std::wstring target;
    for (int attempt = 1; attempt <= 100 && target.empty(); ++attempt) {
        const std::wstring name = aside_name(path, now, attempt);
        if (rename_file(path, name)) target = name;
        else if (const DWORD error = GetLastError(); error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return false;
    }
    if (target.empty()) return false;
    moved_to = target;
    for (const wchar_t* companion : {L"-wal", L"-shm"})
        if (!rename_file(path + companion, target + companion) && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    return true;
}

void HistoryDb::note_result(int rc) {
    if (is_write_failure(rc)) not_writable = true;
}

std::optional<StorageNotice> HistoryDb::take_notice() {
    std::lock_guard<std::mutex> lock(mutex);
    if (!moved_to.empty()) {
        StorageNotice notice{StorageNotice::Kind::MovedAside, std::move(moved_to)};
        moved_to.clear();
        return notice;
    }
    if (not_writable && !not_writable_told) {
        not_writable_told = true;
        return StorageNotice{StorageNotice::Kind::NotWritable, {}};
    }
    return std::nullopt;
}

bool HistoryDb::add_was_busy() {
    std::lock_guard<std::mutex> lock(mutex);
    return add_busy;
}

std::size_t HistoryDb::prepared_statement_count() {
    std::lock_guard<std::mutex> lock(mutex);
    std::size_t count = 0;
    for (sqlite3_stmt* s = db ? sqlite3_next_stmt(db, nullptr) : nullptr; s; s = sqlite3_next_stmt(db, s)) ++count;
    return count;
}

void HistoryDb::seed_templates() {
    const std::int64_t groups = query_number(L"SELECT count(*) FROM snippet_groups", -1);
    const auto live = query(L"SELECT count(*) FROM snippets WHERE deleted_at IS NULL");
    if (live.empty() || live[0].empty()) return;
    if (groups != 0 || int64_or(live[0][0], -1) != 0) return;
    exec(L"INSERT INTO snippet_groups (name) VALUES (" + sql_quote(kLetterGroup) + L")");
    exec(L"INSERT INTO snippet_groups (name) VALUES (" + sql_quote(kDocumentGroup) + L")");
    exec(L"INSERT INTO snippets (title, text, grp, created_at) VALUES (" + sql_quote(kLetterTitle) + L", " +
         sql_quote(kLetterText) + L", " + sql_quote(kLetterGroup) + L", " + sql_quote(now_iso()) + L")");
    exec(L"INSERT INTO snippets (title, text, grp, created_at) VALUES (" + sql_quote(kDocumentTitle) + L", " +
         sql_quote(kDocumentText) + L", " + sql_quote(kDocumentGroup) + L", " + sql_quote(now_iso()) + L")");
}

// Entries captured before the page address had its own column carry it only
// in their "HTML Format" header.
void HistoryDb::backfill_source_url() {
    const auto rows = query(L"SELECT id, html FROM history WHERE source_url='' OR source_url IS NULL");
    for (const auto& row : rows) {
        if (row.size() < 2) continue;
        const auto id = parse_int64(row[0]);
        if (!id) continue;
        const std::wstring url = html_source_url(row[1]);
        if (url.empty() || *id < 1) continue;
        ScopedStmt stmt = prepare_stmt(db, "UPDATE history SET source_url=?1 WHERE id=?2");
        if (!stmt) continue;
        bind_wide(stmt.get(), 1, url);
        sqlite3_bind_int64(stmt.get(), 2, *id);
        sqlite3_step(stmt.get());
    }
}

int HistoryDb::exec(const std::wstring& sql) {
    const int rc = exec_sql(db, utf8_from_wide(sql));
    note_result(rc);
    return rc;
}

std::vector<HistoryDb::Row> HistoryDb::query(const std::wstring& sql) {
    std::vector<Row> rows;
    ScopedStmt stmt = prepare_stmt(db, utf8_from_wide(sql));
    if (!stmt) return rows;
    while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
        const int columns = sqlite3_column_count(stmt.get());
        Row row;
        row.reserve(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(stmt.get(), c) == SQLITE_NULL) {
                row.emplace_back();
                continue;
            }
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), c));
            const int bytes = sqlite3_column_bytes(stmt.get(), c);
            row.push_back(text ? wide_from_utf8(std::string_view(text, static_cast<size_t>(bytes))) : std::wstring());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::int64_t HistoryDb::last_insert_rowid() { return db ? sqlite3_last_insert_rowid(db) : 0; }

std::int64_t HistoryDb::query_number(const std::wstring& sql, std::int64_t fallback) {
    const auto rows = query(sql);
    if (rows.empty() || rows[0].empty()) return fallback;
    return int64_or(rows[0][0], fallback);
}

// Manual order grows with every capture, trashed rows included.
std::int64_t HistoryDb::next_sort_order() {
    return query_number(L"SELECT COALESCE(MAX(sort_order),0) FROM history", 0) + 1;
}

bool HistoryDb::run_transaction(const std::vector<std::wstring>& statements) {
    Transaction transaction(db);
    if (!transaction) return false;
    for (const auto& sql : statements)
        if (exec(sql) != SQLITE_OK) return false;
    return transaction.commit();
}
