// Opens a history database through HistoryDb and runs the operations named on
// the command line, printing their results, so that Python tests can check the
// closed file with their own sqlite3.
//
//   storage_db_tool <db path> <op> [<op> ...]
//
// An op is its name and arguments joined by ':'; texts are hex of their UTF-8
// bytes so that no quoting stands between the test and the program. Results
// print one per line: "R\t<value>" for a scalar, "E\t..." for an entry (see
// print_entry), "C\t..." for a category, "S\t..." for a template, "G\t..." for
// a template group name.

#include "storage/history_db.h"
#include "support/test_support.h"

#include "services/encoding.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string hex(const void* data, size_t n) {
    static const char digits[] = "0123456789abcdef";
    const auto* p = static_cast<const unsigned char*>(data);
    std::string out;
    out.reserve(n * 2 + 1);
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    // An empty field still prints something the reader can split on.
    return out.empty() ? "-" : out;
}
std::string hex(const std::string& s) { return hex(s.data(), s.size()); }
std::string hex(const Bytes& b) { return hex(b.data(), b.size()); }
std::string hex(const std::wstring& w) { return hex(utf8_from_wide(w)); }

std::string unhex(const std::string& h) {
    if (h == "-") return {};
    std::string out;
    for (size_t i = 0; i + 1 < h.size(); i += 2) out += static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16));
    return out;
}
std::wstring unhex_wide(const std::string& h) { return wide_from_utf8(unhex(h)); }

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t at = s.find(sep, start);
        out.push_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return out;
        start = at + 1;
    }
}

std::vector<std::int64_t> ids_of(const std::string& list) {
    std::vector<std::int64_t> ids;
    if (list.empty() || list == "-") return ids;
    for (const auto& part : split(list, ',')) ids.push_back(std::stoll(part));
    return ids;
}

std::optional<std::int64_t> category_of(const std::string& s) {
    if (s.empty() || s == "-") return std::nullopt;
    return std::stoll(s);
}

void print_entry(const HistoryEntry& e) {
    std::printf("E\t%lld\t%d\t%d\t%d\t%s\t%lld\t%d\t%d\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n",
                static_cast<long long>(e.id), e.ep, e.pinned, e.keep,
                e.category_id ? std::to_string(*e.category_id).c_str() : "-", static_cast<long long>(e.use_count),
                e.is_image, e.is_browser_page, hex(e.text).c_str(), hex(e.created_at).c_str(), hex(e.rtf).c_str(),
                hex(e.html).c_str(), hex(e.image).c_str(), hex(e.source_app).c_str(), hex(e.source_title).c_str(),
                hex(e.source_url).c_str(), hex(e.custom_title).c_str(), hex(e.link_title).c_str());
}

void print_snippet(const Snippet& s) {
    std::printf("S\t%lld\t%s\t%s\t%s\t%lld\t%s\t%s\n", static_cast<long long>(s.id), hex(s.title).c_str(),
                hex(s.text).c_str(), hex(s.grp).c_str(), static_cast<long long>(s.use_count), hex(s.created_at).c_str(),
                hex(s.deleted_at).c_str());
}

void result(long long v) { std::printf("R\t%lld\n", v); }

bool run(HistoryDb& db, const std::vector<std::string>& a) {
    const std::string& op = a[0];
    auto arg = [&](size_t i) -> const std::string& {
        static const std::string none;
        return i < a.size() ? a[i] : none;
    };
    if (op == "open") return true;
    if (op == "mark") {
        std::printf("M\t%s\n", arg(1).c_str());
        return true;
    }
    if (op == "list") {
        for (const auto& e : db.list_entries(unhex_wide(arg(1)), arg(2) == "1", arg(3) == "1")) print_entry(e);
    } else if (op == "slots") {
        for (const auto& e : db.list_slots()) print_entry(e);
    } else if (op == "categories") {
        for (const auto& c : db.list_categories())
            std::printf("C\t%lld\t%s\t%d\t%lld\n", static_cast<long long>(c.id), hex(c.name).c_str(), c.pinned,
                        static_cast<long long>(c.cat_order));
    } else if (op == "snippets") {
        for (const auto& s : db.list_snippets()) print_snippet(s);
    } else if (op == "trashed_snippets") {
        for (const auto& s : db.list_trashed_snippets()) print_snippet(s);
    } else if (op == "add") {
        // add:text[:image hex[:category[:always_new]]]
        const std::string image = unhex(arg(2));
        result(db.add_entry(unhex_wide(arg(1)), {}, {}, Bytes(image.begin(), image.end()), L"", !image.empty(),
                            arg(4) == "1", category_of(arg(3)), L"", L"", false));
    } else if (op == "add_rich") {
        // add_rich:text:rtf:html:image:source_app:source_title:source_url:browser
        const std::string image = unhex(arg(4));
        result(db.add_entry(unhex_wide(arg(1)), unhex(arg(2)), unhex(arg(3)), Bytes(image.begin(), image.end()),
                            unhex_wide(arg(5)), !image.empty(), false, std::nullopt, unhex_wide(arg(6)),
                            unhex_wide(arg(7)), arg(8) == "1"));
    } else if (op == "groups") {
        for (const auto& g : db.list_snippet_groups()) std::printf("G\t%s\n", hex(g).c_str());
    } else if (op == "purge_trash") {
        result(db.purge_trash(std::stoi(arg(1))));
    } else if (op == "purge_expired") {
        result(db.purge_expired(std::stoi(arg(1))));
    } else if (op == "clear") {
        result(db.clear_history(arg(1) == "1"));
    } else if (op == "empty_trash") {
        result(db.empty_trash());
    } else if (op == "delete") {
        result(db.delete_entries(ids_of(arg(1))));
    } else if (op == "trash") {
        result(db.trash_entries(ids_of(arg(1))));
    } else if (op == "slot") {
        result(db.add_to_slots(ids_of(arg(1)), arg(2).empty() ? 9 : std::stoi(arg(2))));
    } else {
        std::fprintf(stderr, "unknown op %s\n", op.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::install_crash_guard();
    if (argc < 2) {
        std::fprintf(stderr, "usage: storage_db_tool <db path> <op> ...\n");
        return 2;
    }
    // The path arrives in the console code page; pass it as hex when it is not ASCII.
    std::string db_arg = argv[1];
    const std::wstring db_path = db_arg.rfind("hex:", 0) == 0 ? unhex_wide(db_arg.substr(4)) : wide_from_utf8(db_arg);
    HistoryDb db(db_path);
    for (int i = 2; i < argc; ++i) {
        if (!run(db, split(argv[i], ':'))) return 2;
        std::fflush(stdout);
    }
    return 0;
}
