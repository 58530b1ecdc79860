#pragma once
// Builders for the SQL text of the history database, and the reading of
// numbers out of query rows. Values go into statements only through these.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// 'text' with every single quote doubled; nothing else needs escaping.
std::wstring sql_quote(const std::wstring& text);

// The ids in decimal, joined by "," without blanks.
std::wstring join_ids(const std::vector<std::int64_t>& ids);

// A CASE expression giving 1 for an effectively pinned entry (pinned itself,
// or in a pinned category without override), else 0. alias prefixes the
// history columns ("h" gives h.pinned...); empty for no prefix.
std::wstring pinned_case_expr(const std::wstring& alias);

// The opposite condition, not effectively pinned, on the history table.
extern const wchar_t kUnprotectedCondition[];

// The manual order of the lists, top first, for an ORDER BY: sort_order
// descending, and rows that share one (an import gives every row 0) in the
// order they were stored, so that an imported file lists as it was written.
// The cap removes entries from the far end of this order.
extern const wchar_t kManualOrder[];

// "NULL" or the category id in decimal.
std::wstring sql_category(std::optional<std::int64_t> category);

// A decimal 64-bit integer: leading blanks and a sign allowed, reading stops
// at the first non-digit. Empty when no digit comes or the value overflows.
std::optional<std::int64_t> parse_int64(const std::wstring& text);
std::int64_t int64_or(const std::wstring& text, std::int64_t fallback);
