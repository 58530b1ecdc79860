#pragma once
// The history file: a JSON array of entry objects. HistoryDb::export_json
// writes it and HistoryDb::import_json reads it (history_db.h); this is the
// mapping of one entry to its object.

#include "storage/history_records.h"
#include "storage/json.h"

#include <vector>

// Appends the entry's object to array: "text", "created_at", "pinned" (its
// own pin), "category" and "category_pinned" (looked up in categories by the
// entry's category id; "" and false without one), and on image entries
// "is_image" and "image" (the stored bytes in base64).
void entry_to_json(const std::vector<Category>& categories, JsonValue& array, const HistoryEntry& entry);
