#pragma once
// A fresh history database in a temporary folder, with a second plain SQLite
// connection on the same file for setting up rows and checking what was
// stored, independently of the code under test.

#include "storage/history_db.h"
#include "support/test_support.h"

#include "services/encoding.h"

#include <windows.h>

#include <sqlite3.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The file refuses every picture, as a full disk would.
inline constexpr char kRefusePictures[] =
    "CREATE TRIGGER refuse_new BEFORE INSERT ON history WHEN NEW.image IS NOT NULL BEGIN SELECT RAISE(ABORT, 'full'); "
    "END; CREATE TRIGGER refuse_set BEFORE UPDATE OF image ON history BEGIN SELECT RAISE(ABORT, 'full'); END;";

class StorageTest : public ::testing::Test {
protected:
    StorageTest() : db_path(dir.file(L"history.db")), db(std::make_unique<HistoryDb>(db_path)) {
        sqlite3_open(utf8_from_wide(db_path).c_str(), &raw);
        sqlite3_busy_timeout(raw, 5000);
    }
    ~StorageTest() override { sqlite3_close(raw); }

    // Runs SQL on the checking connection; a failure fails the test.
    void sql(const std::string& statement) {
        char* error = nullptr;
        const int rc = sqlite3_exec(raw, statement.c_str(), nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << statement << ": " << (error ? error : "");
        sqlite3_free(error);
    }

    std::vector<std::vector<std::string>> rows(const std::string& statement) {
        std::vector<std::vector<std::string>> out;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(raw, statement.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << statement << ": " << sqlite3_errmsg(raw);
            return out;
        }
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                row.push_back(p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt, c))) : "NULL");
            }
            out.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        return out;
    }

    // The first value of the first row, or "" when there is none.
    std::string value(const std::string& statement) {
        const auto r = rows(statement);
        return r.empty() || r[0].empty() ? std::string() : r[0][0];
    }
    long long number(const std::string& statement) { return std::stoll(value(statement)); }
    // value() once it reads expected, or after a few seconds: for a write of a thread of the database's own.
    std::string settled(const std::string& statement, const std::string& expected) {
        for (int i = 0; i < 250 && value(statement) != expected; ++i) Sleep(20);
        return value(statement);
    }

    // The first column of every row.
    std::vector<std::string> column(const std::string& statement) {
        std::vector<std::string> out;
        for (auto& r : rows(statement)) out.push_back(r.empty() ? std::string() : r[0]);
        return out;
    }

    std::int64_t add(const std::wstring& text, std::optional<std::int64_t> category = std::nullopt,
                     bool always_new = false) {
        return db->add_entry(text, {}, {}, {}, L"", false, always_new, category, L"", L"", false);
    }
    std::int64_t add_image(const std::wstring& text, const Bytes& image) {
        return db->add_entry(text, {}, {}, image, L"", true, true, std::nullopt, L"", L"", false);
    }

    static std::vector<std::int64_t> ids_of(const std::vector<HistoryEntry>& entries) {
        std::vector<std::int64_t> out;
        for (const auto& e : entries) out.push_back(e.id);
        return out;
    }

    // A real file that a saved image would be.
    std::wstring make_png(const std::wstring& name) {
        const std::wstring p = dir.file(name);
        testsupport::write_bytes(p, std::string("\x89PNG\r\n\x1a\n", 8));
        return p;
    }

    testsupport::TempDir dir;
    std::wstring db_path;
    std::unique_ptr<HistoryDb> db;
    sqlite3* raw = nullptr;
};
