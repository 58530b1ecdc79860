// Templates and template groups.

#include "storage_fixture.h"

class TemplatesTest : public StorageTest {
protected:
    TemplatesTest() {
        // Start without the templates a new file is seeded with.
        sql("DELETE FROM snippets");
        sql("DELETE FROM snippet_groups");
    }
    std::vector<std::wstring> titles() {
        std::vector<std::wstring> out;
        for (const auto& s : db->list_snippets()) out.push_back(s.title);
        return out;
    }
    using Names = std::vector<std::wstring>;
};

TEST_F(TemplatesTest, AddEditAndUniqueTitles) {
    const auto id = db->add_snippet(L"  Greeting ", L"  Hello, {user}  ", L" Mail ");
    ASSERT_GT(id, 0);
    const auto s = db->list_snippets().at(0);
    EXPECT_EQ(s.title, L"Greeting");
    EXPECT_EQ(s.text, L"  Hello, {user}  ");
    EXPECT_EQ(s.grp, L"Mail");
    EXPECT_EQ(s.use_count, 0);
    EXPECT_EQ(s.deleted_at, L"");
    EXPECT_EQ(s.created_at.size(), 19u);

    EXPECT_EQ(db->add_snippet(L"Greeting", L"other", L""), 0);
    EXPECT_EQ(db->add_snippet(L" \t", L"text", L""), -1);
    EXPECT_EQ(db->add_snippet(L"Title", L"", L""), -1);
    EXPECT_GT(db->add_snippet(L"Blank text", L"   ", L""), 0);
    // A trashed template still holds its title.
    db->trash_snippet(id);
    EXPECT_EQ(db->add_snippet(L"Greeting", L"again", L""), 0);

    const auto other = db->add_snippet(L"It's \"quoted\"", L"a'b", L"Bob's");
    EXPECT_EQ(titles(), (Names{L"Blank text", L"It's \"quoted\""}));
    // Editing may repeat another template's title.
    EXPECT_TRUE(db->update_snippet(other, L" Blank text ", L"new text", L" G "));
    EXPECT_FALSE(db->update_snippet(other, L"", L"x", L""));
    EXPECT_FALSE(db->update_snippet(other, L"x", L"", L""));
    EXPECT_EQ(titles(), (Names{L"Blank text", L"Blank text"}));
    EXPECT_EQ(value("SELECT grp || '|' || text FROM snippets WHERE id=" + std::to_string(other)), "G|new text");

    EXPECT_TRUE(db->increment_snippet_use(other));
    db->increment_snippet_use(other);
    EXPECT_EQ(value("SELECT use_count FROM snippets WHERE id=" + std::to_string(other)), "2");
}

TEST_F(TemplatesTest, TrashRestoreDelete) {
    const auto a = db->add_snippet(L"A", L"a", L""), b = db->add_snippet(L"B", L"b", L"");
    db->trash_snippet(a);
    sql("UPDATE snippets SET deleted_at='2020-01-01T00:00:00' WHERE id=" + std::to_string(a));
    db->trash_snippet(b);
    const auto trashed = db->list_trashed_snippets();
    ASSERT_EQ(trashed.size(), 2u);
    EXPECT_EQ(trashed[0].id, b);  // newest deletion first
    EXPECT_TRUE(db->list_snippets().empty());
    EXPECT_TRUE(db->restore_snippet(a));
    EXPECT_EQ(titles(), (Names{L"A"}));
    EXPECT_TRUE(db->delete_snippet(b));
    EXPECT_TRUE(db->list_trashed_snippets().empty());
    // Trashed templates never age out with the history's trash.
    db->trash_snippet(a);
    sql("UPDATE snippets SET deleted_at='2000-01-01T00:00:00'");
    db->purge_trash(1);
    EXPECT_EQ(db->list_trashed_snippets().size(), 1u);
}

TEST_F(TemplatesTest, GroupsExistThroughRowsOrLiveTemplates) {
    EXPECT_TRUE(db->create_snippet_group(L" Letters "));
    EXPECT_FALSE(db->create_snippet_group(L"Letters"));
    EXPECT_FALSE(db->create_snippet_group(L"  "));
    const auto t = db->add_snippet(L"In docs", L"x", L"Docs");
    EXPECT_FALSE(db->create_snippet_group(L"Docs"));  // exists through its template
    db->add_snippet(L"lower", L"x", L"docs");
    const auto hidden = db->add_snippet(L"Trashed", L"x", L"Hidden");
    db->trash_snippet(hidden);
    EXPECT_EQ(db->list_snippet_groups(), (Names{L"Docs", L"Letters", L"docs"}));

    // A group row outlives its last template; a group of templates only goes with them.
    const auto letter = db->add_snippet(L"Letter", L"x", L"Letters");
    db->delete_snippet(letter);
    EXPECT_EQ(db->list_snippet_groups(), (Names{L"Docs", L"Letters", L"docs"}));
    EXPECT_TRUE(db->delete_snippet_group(L"Docs"));
    EXPECT_EQ(db->list_snippet_groups(), (Names{L"Letters", L"docs"}));
    EXPECT_EQ(value("SELECT grp FROM snippets WHERE id=" + std::to_string(t)), "");

    // Restoring a trashed template brings its group back.
    db->restore_snippet(hidden);
    EXPECT_EQ(db->list_snippet_groups(), (Names{L"Hidden", L"Letters", L"docs"}));

    EXPECT_TRUE(db->set_snippet_group(t, L"Bob's"));
    EXPECT_EQ(db->list_snippet_groups(), (Names{L"Bob's", L"Hidden", L"Letters", L"docs"}));
    EXPECT_TRUE(db->set_snippet_group(t, L""));
    EXPECT_EQ(db->list_snippet_groups(), (Names{L"Hidden", L"Letters", L"docs"}));
}

TEST_F(TemplatesTest, RenamingGroups) {
    const auto loose = db->add_snippet(L"Loose", L"x", L"");
    const auto in_g = db->add_snippet(L"In G", L"x", L"G");
    const auto trashed = db->add_snippet(L"Trashed in G", L"x", L"G");
    db->trash_snippet(trashed);
    db->create_snippet_group(L"Empty");

    // A group of templates only gets a row under its new name.
    EXPECT_TRUE(db->rename_snippet_group(L"G", L" Group's "));
    EXPECT_EQ(value("SELECT grp FROM snippets WHERE id=" + std::to_string(in_g)), "Group's");
    EXPECT_EQ(value("SELECT grp FROM snippets WHERE id=" + std::to_string(trashed)), "G");
    EXPECT_EQ(column("SELECT name FROM snippet_groups ORDER BY name"), (std::vector<std::string>{"Empty", "Group's"}));

    EXPECT_FALSE(db->rename_snippet_group(L"Missing", L"New"));
    EXPECT_FALSE(db->rename_snippet_group(L"Empty", L"Group's"));  // a group row has it
    EXPECT_FALSE(db->rename_snippet_group(L"Empty", L"  "));
    db->add_snippet(L"Other", L"x", L"Used");
    EXPECT_FALSE(db->rename_snippet_group(L"Empty", L"Used"));  // a live template outside uses it
    EXPECT_TRUE(db->rename_snippet_group(L"Empty", L"Renamed"));
    EXPECT_FALSE(db->rename_snippet_group(L"Renamed", L"Renamed"));  // its own row is in the way
    EXPECT_TRUE(db->rename_snippet_group(L"Used", L"Used"));         // no row yet: gets one

    // Ungrouped templates are no group: a blank old name renames nothing.
    EXPECT_FALSE(db->rename_snippet_group(L" ", L"Former loose"));
    EXPECT_EQ(value("SELECT grp FROM snippets WHERE id=" + std::to_string(loose)), "");
    EXPECT_EQ(db->list_snippet_groups(), (Names{L"Group's", L"Renamed", L"Used"}));
}
