// The combo box of the front-ends: its items, selection and edit text, and
// which changes reach TForm1. Instantiated by each front-end's tests with
// its ComboFrontEnd.
#include "combo_contract.h"

#include "base/error.h"
#include "lists/string_list.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarvenia::testing {
namespace {

    // Items are added one by one (Add) or all at once (AddAll, as a load
    // does); both behave alike.
    void AddTitles(StringList& items, const std::vector<std::string>& titles, bool at_once)
    {
        if (!at_once) {
            for (const auto& title : titles)
                items.Add(title);
            return;
        }
        PackedStrings packed;
        for (const auto& title : titles)
            packed.push_back(title);
        items.AddAll(std::move(packed));
    }

    TEST_P(ComboContract, ItemsKeepTheirBytesAndRefuseBadIndexes)
    {
        TView& view = front_->View();
        StringList& items = view.ComboItems();
        // Bytes the code page leaves undefined (0x81) come back as given.
        const std::vector<std::string> titles = { "Amanecer",
            "Monta\xF1"
            "a",
            "A\x80\x81" };
        for (bool at_once : { false, true }) {
            SCOPED_TRACE(at_once ? "all at once" : "one by one");
            view.SetComboText("keep");
            AddTitles(items, { titles[0] }, at_once);
            AddTitles(items, { titles[1], titles[2] }, at_once);
            ASSERT_EQ(items.Count(), 3);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(items.Get(i), titles[i]) << i;
            // Adding neither selects nor touches the edit text.
            EXPECT_EQ(view.ComboSelectedIndex(), -1);
            EXPECT_EQ(view.ComboText(), "keep");
            for (int bad : { -1, 3 }) {
                try {
                    items.Get(bad);
                    ADD_FAILURE() << bad;
                } catch (const ListIndexError& e) {
                    EXPECT_EQ(std::string(e.what()),
                        "List index out of bounds (" + std::to_string(bad) + ")");
                }
            }
            // A selection shows the item's bytes in the edit field, and
            // items added after it keep it.
            for (int i : { 1, 2 }) {
                view.SetComboSelectedIndex(i);
                EXPECT_EQ(view.ComboSelectedIndex(), i);
                EXPECT_EQ(view.ComboText(), titles[i]);
            }
            AddTitles(items, { "Faro" }, at_once);
            EXPECT_EQ(items.Get(3), "Faro");
            EXPECT_EQ(view.ComboSelectedIndex(), 2);
            EXPECT_EQ(view.ComboText(), titles[2]);
            items.Clear();
            EXPECT_EQ(items.Count(), 0);
            EXPECT_EQ(view.ComboSelectedIndex(), -1);
        }
    }

    // Whether the control is on the screen stays as the program set it,
    // whichever way the items come.
    TEST_P(ComboContract, AddingLeavesTheComboShownOrHidden)
    {
        TView& view = front_->View();
        for (bool shown : { false, true }) {
            for (bool at_once : { false, true }) {
                SCOPED_TRACE(std::string(shown ? "shown" : "hidden")
                    + (at_once ? ", all at once" : ", one by one"));
                view.SetVisible(Control::combo, shown);
                AddTitles(view.ComboItems(), { "Amanecer", "Faro" }, at_once);
                front_->Settle();
                EXPECT_EQ(front_->ComboOnScreen(), shown);
            }
        }
    }

    TEST_P(ComboContract, TheDroppedListShowsSevenRows)
    {
        for (int i = 0; i < 12; ++i)
            front_->View().ComboItems().Add("Foto " + std::to_string(i));
        front_->View().SetVisible(Control::combo, true);
        EXPECT_EQ(front_->VisibleRows(), 7);
    }

    TEST_P(ComboContract, OnlyTheUsersPickStartsAPhotoRun)
    {
        TView& view = front_->View();
        front_->State().BaseUrls = { "http://fotos1.example/", "http://fotos2.example/" };
        front_->Form().EntryBases = { "0", "1", "0" };
        front_->Form().EntryKeys = { "20030301", "20030302", "20030303" };
        for (const char* title : { "Amanecer", "Faro", "Puerto" })
            view.ComboItems().Add(title);
        view.SetVisible(Control::combo, true);

        // Set by the program: nothing fires.
        view.SetComboSelectedIndex(0);
        view.SetComboText("Otro");
        view.SetComboSelectedIndex(2);
        front_->Settle();
        EXPECT_TRUE(front_->Started().empty());
        EXPECT_EQ(view.ComboSelectedIndex(), 2);
        EXPECT_EQ(view.ComboText(), "Puerto");

        // Typed by the user: the text changes, the selection stays (the entry
        // whose photo is shown).
        view.SetComboSelectedIndex(1);
        front_->Type("Mi faro\xF1");
        front_->Settle();
        EXPECT_EQ(view.ComboText(), "Mi faro\xF1");
        EXPECT_EQ(view.ComboSelectedIndex(), 1);
        EXPECT_TRUE(front_->Started().empty());
        EXPECT_TRUE(view.IsVisible(Control::combo));

        // A pick from the list downloads that entry and hides the combo
        // until the photo has come.
        front_->Pick(2);
        ASSERT_EQ(front_->Started().size(), 1u);
        EXPECT_EQ(front_->Started()[0], "http://fotos1.example/20030303.jpg");
        EXPECT_EQ(front_->State().SelectedKey, "20030303");
        EXPECT_FALSE(view.IsVisible(Control::combo));
    }

    // Emptying the list keeps the text of the edit field, as picked or as
    // typed: the favourites view of a missing file shows its error over the
    // title of the photo still on show.
    TEST_P(ComboContract, EmptyingTheListKeepsTheEditText)
    {
        TView& view = front_->View();
        StringList& items = view.ComboItems();
        struct Row {
            const char* what;
            std::string text;
            const char* typed; // replaces the text when set
        } rows[] = {
            { "picked", "Amanecer", nullptr },
            { "typed over", "Amanecer", "Amanecer xy" },
            { "a title of 41 bytes",
                "Monta\xF1"
                "a de la luna llena sobre el puerto viejo.",
                nullptr },
            { "empty", "", nullptr },
        };
        view.SetVisible(Control::combo, true);
        for (const Row& row : rows) {
            SCOPED_TRACE(row.what);
            items.Clear();
            items.Add(row.text);
            items.Add("Puerto");
            view.SetComboSelectedIndex(0);
            view.SetComboText(row.text);
            if (row.typed)
                front_->Type(row.typed);
            items.Clear();
            front_->Settle();
            EXPECT_EQ(items.Count(), 0);
            EXPECT_EQ(view.ComboSelectedIndex(), -1);
            EXPECT_EQ(view.ComboText(), row.typed ? row.typed : row.text);
        }
        EXPECT_TRUE(front_->Started().empty());
    }

} // namespace
} // namespace tarvenia::testing
