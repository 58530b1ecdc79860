// MainWindow: the entry commands — what paste, copy, open, keep, pin, categories, quick slots, moves, edits, restores
// and deletes do to the selected rows.
#include "ui/main_window/main_window.h"

#include "capture/clipboard_watcher.h"
#include "capture/entry_clipboard.h"
#include "config/language.h"
#include "config/settings.h"
#include "services/clipboard.h"
#include "services/ids.h"
#include "services/paste_threads.h"
#include "services/text_util.h"
#include "storage/history_db.h"
#include "storage/manual_order.h"
#include "ui/app_parts.h"
#include "ui/dialogs/confirm_box.h"
#include "ui/dialogs/input_box.h"
#include "ui/dialogs/view_dialog.h"
#include "ui/main_window/entry_command_logic.h"
#include "ui/main_window/entry_format.h"
#include "ui/main_window/snippet_editor.h"
#include "ui/menu/popup_menu.h"

#include <algorithm>
#include <functional>

namespace {

HistoryDb* db_of(const MainWindow& mw) { return mw.app ? mw.app->db : nullptr; }
const Settings* settings_of(const MainWindow& mw) { return mw.app ? mw.app->settings : nullptr; }

// Tells the watcher first, so the program does not record its own write as a new copy.
void note_own_text(const MainWindow& mw, const std::wstring& text) {
    if (mw.app && mw.app->watcher) mw.app->watcher->note_own_text(text);
}

// False when another program kept the clipboard: what a paste would send then is not the text.
bool put_text_on_clipboard(const MainWindow& mw, const std::wstring& text) {
    note_own_text(mw, text);
    return set_clipboard_text(text);
}

bool put_entry_on_clipboard(const MainWindow& mw, const HistoryEntry& entry) {
    ClipboardWatcher* watcher = mw.app ? mw.app->watcher : nullptr;
    const bool placed = place_entry_on_clipboard(watcher, entry);
    // What the watcher reads back for a picture without text.
    if (watcher && entry.is_image && entry.text.empty()) watcher->note_own_text(tr(L"card.image"));
    return placed;
}

// The clipboard still holds something else: no keys, and the user is told.
void refuse_paste(const MainWindow& mw) {
    if (mw.app) mw.app->tell_paste_failed();
}

using PasteThread = void (*)(PasteRequest);

// A paste of the main window, once the pastes before it have sent their keys
// (AppParts::queue_paste). put writes the clipboard, counted runs once it
// holds the paste; then the tone, the window out of the way when it closes
// on a paste, and a worker brings the program that was in front back and
// presses Ctrl+V there. put and counted hold copies: the lists may be
// refilled before the turn comes.
void queue_paste(MainWindow& mw, std::function<bool()> put, std::function<void()> counted, PasteThread thread) {
    if (!mw.app) return;
    MainWindow* self = &mw;
    mw.app->queue_paste({}, [self, put = std::move(put), counted = std::move(counted), thread](unsigned paste) {
        AppParts& app = *self->app;
        app.catch_up_clipboard();
        if (!put()) {
            refuse_paste(*self);
            return false;
        }
        if (counted) counted();
        app.play_paste_tone();
        HWND target = app.paste_target;
        if (!target || !IsWindow(target) || target == self->hwnd) target = nullptr;
        if (self->close_on_paste) self->hide_window();
        // Enter, when it chose the entry, is still down: the paste waits for it.
        return start_detached(thread, PasteRequest{target, self->hwnd, !self->close_on_paste, VK_RETURN, paste});
    });
}

// What puts text on the clipboard when its paste's turn comes.
std::function<bool()> putting_text(MainWindow& mw, std::wstring text) {
    return [&mw, text = std::move(text)] { return put_text_on_clipboard(mw, text); };
}

// Only a copy that wrote something hides the window; after one that did not,
// the window stays for another try and the user is told.
void after_copy(MainWindow& mw, bool copied) {
    if (!copied) {
        if (mw.app) mw.app->tell_copy_failed();
        return;
    }
    const Settings* s = settings_of(mw);
    if (s && s->hide_on_copy) mw.hide_window();
}

bool ask(const MainWindow& mw, const std::wstring& title, const std::wstring& message) {
    return confirm_box(mw.hwnd, title, message, tr(L"action.delete"));
}

// Asks before several rows go: "Delete 3 entries and 1 template?"
bool ask_for_rows(const MainWindow& mw, const SplitSelection& rows) {
    return ask(mw, tr(L"confirm.delete_title"),
               delete_confirm_text(static_cast<int>(rows.entries.size()), static_cast<int>(rows.templates.size()),
                                   plural_rule_of(current_language())));
}

// The selected entries and templates go to the trash, or for good.
void remove_rows(HistoryDb& db, const SplitSelection& rows, bool for_good) {
    if (rows.entries.size() == 1) {
        if (for_good) {
            db.delete_entry(rows.entries.front());
        } else {
            db.trash_entry(rows.entries.front());
        }
    } else if (!rows.entries.empty()) {
        if (for_good) {
            db.delete_entries(rows.entries);
        } else {
            db.trash_entries(rows.entries);
        }
    }
    for (std::int64_t id : rows.templates) {
        if (for_good) {
            db.delete_snippet(id);
        } else {
            db.trash_snippet(id);
        }
    }
}

// A template's group lives while a live template names it: a change to
// templates can add or remove a group row of the sidebar.
void refresh_after(MainWindow& mw, const SplitSelection& rows) {
    if (rows.templates.empty()) {
        mw.refresh_list();
    } else {
        mw.refresh_all();
    }
}

// "Screenshot 2024-05-01 14:03" for a picture that has no name of its own.
std::wstring proposed_image_name(const HistoryEntry& entry) {
    if (!entry.custom_title.empty()) return entry.custom_title;
    if (!entry.source_title.empty()) return entry.source_title;
    std::wstring when = entry.created_at.substr(0, 16);
    std::replace(when.begin(), when.end(), L'T', L' ');
    return tr_format(L"card.screenshot", when);
}

}  // namespace

std::wstring MainWindow::snippet_text(const Snippet& snippet) const { return expand_template(snippet.text); }

bool MainWindow::selected_has_text() const {
    const HistoryEntry* entry = find_entry(selected_entry_id());
    return entry && entry->id >= 1 && !entry->is_image && !entry->text.empty();
}

bool MainWindow::selected_is_kept() const {
    const HistoryEntry* entry = find_entry(selected_entry_id());
    return entry && entry->id >= 1 && entry->keep;
}

// ---------------------------------------------------------------- paste and copy

void MainWindow::on_paste_selected() {
    if (selected_count() > 1) {
        on_paste_multiple();
        return;
    }
    HistoryDb* db = db_of(*this);
    const std::int64_t value = selected_id();
    if (!db || value == 0) return;
    if (const Snippet* snippet = find_snippet(value)) {
        const std::int64_t id = snippet->id;
        queue_paste(
            *this, putting_text(*this, snippet_text(*snippet)), [db, id] { db->increment_snippet_use(id); },
            paste_selected_thread_2);
        return;
    }
    const HistoryEntry* entry = value >= 1 ? find_entry(value) : nullptr;
    if (!entry) return;
    const std::int64_t id = entry->id;
    queue_paste(
        *this, [this, chosen = *entry] { return put_entry_on_clipboard(*this, chosen); },
        [db, id] { db->increment_use_count(id); }, paste_selected_thread);
}

void MainWindow::on_paste_multiple() {
    HistoryDb* db = db_of(*this);
    if (!db || trash_view()) return;
    std::vector<std::wstring> parts;
    std::vector<std::int64_t> used_templates, used_entries;
    for (std::int64_t value : selected_ids()) {
        if (const Snippet* snippet = find_snippet(value)) {
            used_templates.push_back(snippet->id);
            parts.push_back(snippet_text(*snippet));
        } else if (const HistoryEntry* entry = value >= 1 ? find_entry(value) : nullptr) {
            used_entries.push_back(entry->id);
            parts.push_back(entry->text);
        }
    }
    const std::wstring joined = join_row_texts(parts);
    if (joined.empty()) return;
    queue_paste(
        *this, putting_text(*this, joined),
        [db, used_templates, used_entries] {
            for (std::int64_t id : used_templates) db->increment_snippet_use(id);
            for (std::int64_t id : used_entries) db->increment_use_count(id);
        },
        paste_multiple_thread);
}

void MainWindow::on_paste_plain() {
    if (!selected_has_text()) return;
    on_paste_transformed(-1);
}

// mode -1: the text as it is.
void MainWindow::on_paste_transformed(int mode) {
    HistoryDb* db = db_of(*this);
    if (!db || !selected_has_text()) return;
    const HistoryEntry& entry = *find_entry(selected_entry_id());
    const std::wstring text = mode < 0 ? entry.text : transform_text(entry.text, static_cast<std::uint32_t>(mode));
    paste_text_to_window(text, entry.id);
}

void MainWindow::paste_text_to_window(const std::wstring& text, std::int64_t counted_entry) {
    HistoryDb* db = db_of(*this);
    std::function<void()> counted;
    if (db && counted_entry >= 1) counted = [db, counted_entry] { db->increment_use_count(counted_entry); };
    queue_paste(*this, putting_text(*this, text), std::move(counted), paste_text_thread);
}

void MainWindow::on_copy_selected() {
    HistoryDb* db = db_of(*this);
    // Before the rows are read: a copy taken now refills the list.
    if (app) app->catch_up_clipboard();
    const std::vector<std::int64_t> selection = selected_ids();
    if (!db || selection.empty()) return;
    // Templates count a use, entries do not; only a copy that was made counts.
    std::vector<std::int64_t> used_templates;
    bool copied = false;
    if (selection.size() > 1) {
        std::vector<std::wstring> parts;
        for (std::int64_t value : selection) {
            if (const Snippet* snippet = find_snippet(value)) {
                used_templates.push_back(snippet->id);
                parts.push_back(snippet_text(*snippet));
            } else if (const HistoryEntry* entry = value >= 1 ? find_entry(value) : nullptr) {
                parts.push_back(entry->text);
            }
        }
        const std::wstring joined = join_row_texts(parts);
        if (joined.empty()) return;
        copied = put_text_on_clipboard(*this, joined);
    } else if (const Snippet* snippet = find_snippet(selection.front())) {
        used_templates.push_back(snippet->id);
        copied = put_text_on_clipboard(*this, snippet_text(*snippet));
    } else if (const HistoryEntry* entry = selection.front() >= 1 ? find_entry(selection.front()) : nullptr) {
        copied = put_entry_on_clipboard(*this, *entry);
    } else {
        return;
    }
    if (copied)
        for (std::int64_t id : used_templates) db->increment_snippet_use(id);
    after_copy(*this, copied);
}

void MainWindow::on_open_selected() {
    const HistoryEntry* entry = find_entry(selected_entry_id());
    if (!entry || entry->id < 1) return;
    // A copy: a capture arriving while the dialog runs refills `entries`.
    const HistoryEntry shown = *entry;
    show_view_dialog(this, shown);
}

// ---------------------------------------------------------------- keep, pin, categories, quick slots

void MainWindow::toggle_keep_selected() {
    HistoryDb* db = db_of(*this);
    const std::int64_t id = selected_entry_id();
    if (!db || id < 1) return;
    db->set_keep(id, !db->get_keep(id));
    refresh_list();
}

void MainWindow::toggle_pin_selected() {
    HistoryDb* db = db_of(*this);
    const std::vector<std::int64_t> ids = selected_entry_ids(selected_ids());
    if (!db || ids.empty()) return;
    // Pins all unless every one is pinned already.
    const bool pin = std::any_of(ids.begin(), ids.end(), [this](std::int64_t id) {
        const HistoryEntry* entry = find_entry(id);
        return !entry || !entry_is_pinned(*entry);
    });
    db->set_pinned_many(ids, pin);
    refresh_list();
}

void MainWindow::move_selected_to_category() {
    HistoryDb* db = db_of(*this);
    const std::vector<std::int64_t> ids = selected_entry_ids(selected_ids());
    if (!db || ids.empty()) return;
    const std::vector<Category> categories = db->list_categories();
    if (categories.empty()) {
        MessageBoxW(hwnd, tr(L"message.no_categories").c_str(), tr(L"menu.categories").c_str(), MB_OK);
        return;
    }
    PopupMenuItems menu;
    for (const Category& c : categories)
        append_menu_item(menu, static_cast<std::uint64_t>(c.id + kCategoryPickerBase), c.name);
    POINT at{};
    GetCursorPos(&at);
    const std::uint64_t chosen = track_popup_menu(hwnd, at.x, at.y, menu, dark);
    if (chosen < static_cast<std::uint64_t>(kCategoryPickerBase)) return;
    db->set_entries_category(ids, static_cast<std::int64_t>(chosen) - kCategoryPickerBase);
    refresh_list();
}

void MainWindow::clear_selected_category() {
    HistoryDb* db = db_of(*this);
    const std::int64_t id = selected_entry_id();
    if (db && id >= 1 && db->set_entry_category(id, std::nullopt)) refresh_list();
}

void MainWindow::add_selected_to_slots() {
    HistoryDb* db = db_of(*this);
    const std::vector<std::int64_t> ids = selected_entry_ids(selected_ids());
    // A trashed entry in a slot would be listed nowhere, yet count toward the nine.
    if (!db || ids.empty() || trash_view()) return;
    db->add_to_slots(ids, kQuickSlotCount);
    refresh_list();
}

void MainWindow::remove_selected_from_slots() {
    HistoryDb* db = db_of(*this);
    const std::int64_t id = selected_entry_id();
    if (db && id >= 1 && db->remove_from_slots(id)) refresh_list();
}

// ---------------------------------------------------------------- moves

void MainWindow::move_selection(int direction) {
    HistoryDb* db = db_of(*this);
    const Settings* s = settings_of(*this);
    const std::vector<std::int64_t> ids = selected_entry_ids(selected_ids());
    const bool searching = search_edit && GetWindowTextLengthW(search_edit) > 0;
    if (!db || ids.empty() || !view_allows_moves(templates_view, trash_view(), view_mode, searching)) return;
    // The order is the use count's: nothing to move by hand.
    if (s && s->sort_by_frequency) {
        refresh_list();
        return;
    }
    std::vector<int> rows(static_cast<std::size_t>(std::max(selected_count(), 0)));
    if (!rows.empty()) {
        const LRESULT got = list_call(LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
        rows.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, rows.size())));
    }
    const MovePlan plan = plan_block_move(rows, row_count(), direction);
    if (plan.step == MovePlan::Step::Nothing) return;
    if (plan.step == MovePlan::Step::Refill) {
        refresh_list();
        return;
    }
    const bool moved = view_mode == kViewSlots ? db->move_slots(ids, direction)
                                               : db->move_entries(ids, direction, !s || s->pinned_first,
                                                                  make_view_scope(view_mode, view_category));
    if (!moved) return;

    // The rows change places as stored, without a refill: the list keeps its
    // scroll position and the block stays selected.
    const LRESULT top = list_call(LB_GETTOPINDEX, 0, 0);
    refilling = true;
    list_call(WM_SETREDRAW, FALSE, 0);
    move_row(plan.from, plan.to);
    reselect(ids);
    list_call(LB_SETTOPINDEX, static_cast<WPARAM>(std::max<LRESULT>(top, 0)), 0);
    // A block moved past the edge of the view is scrolled back in.
    const LRESULT caret = list_call(LB_GETCARETINDEX, 0, 0);
    if (caret != LB_ERR) list_call(LB_SETCARETINDEX, static_cast<WPARAM>(caret), FALSE);
    refilling = false;
    list_call(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(entry_list, nullptr, TRUE);
    refresh_preview();
}

void MainWindow::move_selection_up() { move_selection(-1); }
void MainWindow::move_selection_down() { move_selection(+1); }

// ---------------------------------------------------------------- edit

void MainWindow::edit_selected() {
    HistoryDb* db = db_of(*this);
    const std::int64_t value = selected_id();
    if (!db || value == 0) return;
    // Copies: the boxes run while captures may refill the loaded rows.
    if (const Snippet* found = find_snippet(value)) {
        const Snippet snippet = *found;
        std::wstring title = snippet.title, group = snippet.grp, text = snippet.text;
        if (show_snippet_editor(hwnd, this, title, group, text) && !db->update_snippet(snippet.id, title, text, group))
            MessageBoxW(hwnd, tr(L"message.need_title_text").c_str(), tr(L"side.templates").c_str(),
                        MB_OK | MB_ICONINFORMATION);
        refresh_all();  // the group typed in the editor may be new, the old one gone
        return;
    }
    const HistoryEntry* found = value >= 1 ? find_entry(value) : nullptr;
    if (!found) return;
    const HistoryEntry entry = *found;
    if (entry.is_image) {
        std::wstring name = proposed_image_name(entry);
        if (!input_box(hwnd, tr(L"input.image_name"), tr(L"prompt.name"), name)) return;
        if (db->set_custom_title(entry.id, trim_blanks(name))) refresh_list();
        return;
    }
    // The whole text is offered, however long, each of its lines on a line of
    // its own, and only a real change is stored, with the breaks it came with.
    std::wstring text = with_crlf(entry.text);
    if (!input_box(hwnd, tr(L"input.edit_entry"), tr(L"prompt.text"), text)) return;
    text = with_breaks_of(text, entry.text);
    if (text == entry.text) return;
    text = trim_blanks(text);
    if (text.empty() || text == entry.text) return;
    if (db->set_entry_text(entry.id, text)) refresh_list();
}

// ---------------------------------------------------------------- restore and delete

void MainWindow::restore_selected() {
    HistoryDb* db = db_of(*this);
    const SplitSelection rows = split_selection(selected_ids());
    if (!db || rows.has_none()) return;
    if (rows.entries.size() == 1) {
        db->restore_entry(rows.entries.front());
    } else if (!rows.entries.empty()) {
        db->restore_entries(rows.entries);
    }
    for (std::int64_t id : rows.templates) db->restore_snippet(id);
    refresh_after(*this, rows);
}

void MainWindow::delete_selected_forever() {
    HistoryDb* db = db_of(*this);
    const SplitSelection rows = split_selection(selected_ids());
    if (!db || rows.has_none()) return;
    // One row goes without a question.
    if (rows.rows > 1 && !ask_for_rows(*this, rows)) return;
    remove_rows(*db, rows, true);
    refresh_list();
}

void MainWindow::delete_selected() {
    HistoryDb* db = db_of(*this);
    const SplitSelection rows = split_selection(selected_ids());
    if (!db || rows.has_none()) return;
    if (rows.rows > 1) {
        if (trash_view()) {
            delete_selected_forever();
        } else if (ask_for_rows(*this, rows)) {
            remove_rows(*db, rows, false);
            refresh_after(*this, rows);
        }
        return;
    }
    std::wstring title = tr(L"confirm.delete_title"), message;
    if (!rows.entries.empty()) {
        message = trash_view() ? tr(L"confirm.delete_entry_forever") : tr(L"confirm.delete_entry");
    } else {
        const Snippet* snippet = find_snippet(-rows.templates.front());
        if (!snippet) return;
        title = tr(L"side.templates");
        message = trash_view() ? tr_format(L"confirm.del_snippet_forever", snippet->title)
                               : tr_format(L"confirm.del_snippet", snippet->title);
    }
    if (!ask(*this, title, message)) return;
    remove_rows(*db, rows, trash_view());
    refresh_after(*this, rows);
}

void MainWindow::empty_trash() {
    HistoryDb* db = db_of(*this);
    if (!db) return;
    if (MessageBoxW(hwnd, tr(L"confirm.empty_trash").c_str(), tr(L"confirm.title").c_str(), MB_YESNO) != IDYES) return;
    db->empty_trash();
    refresh_list();
}

// ---------------------------------------------------------------- selection, search, time

void MainWindow::select_all() {
    if (!entry_list) return;
    list_call(LB_SETSEL, TRUE, -1);
    on_selection_changed();
}

void MainWindow::focus_search() {
    if (search_edit) SetFocus(search_edit);
}

void MainWindow::on_search_changed() {
    if (!clearing_search) refresh_list();
}

void MainWindow::clear_search() {
    if (!search_edit || GetWindowTextLengthW(search_edit) == 0) return;
    clearing_search = true;
    SetWindowTextW(search_edit, L"");
    clearing_search = false;
}

void MainWindow::toggle_show_time() {
    show_time = !show_time;
    if (app && app->settings) app->settings->show_time = show_time;
    if (app) app->sync_settings_window();
    refresh_list();
}
