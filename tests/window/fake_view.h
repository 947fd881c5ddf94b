// A window without a toolkit: it keeps what the controller set and behaves
// like the real combo box where that matters (selecting an item shows its
// text, emptying the items keeps the text).
#pragma once

#include "base/error.h"
#include "base/file.h"
#include "base/texts.h"
#include "lists/catalog.h"
#include "window/view.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvenia::testing {

class FakeView : public TView {
public:
    FakeView()
    {
        visible_ = { { Control::bsal, true }, { Control::bcon, true }, { Control::bcnf, false },
            { Control::bfav, false }, { Control::badd, false }, { Control::combo, false } };
        captions_ = { { Control::bsal, texts::kSalir }, { Control::bcon, texts::kConectar },
            { Control::bcnf, texts::kConfirmar }, { Control::bfav, texts::kFavoritas },
            { Control::badd, "" }, { Control::combo, "" } };
        hints_[Control::badd] = texts::kHintAdd;
    }

    layout::Box PrimaryScreen() const override { return screen; }
    void MoveTo(int left, int top) override { place = { left, top }; }

    void SetVisible(Control control, bool visible) override
    {
        visible_[control] = visible;
        if (!visible && focus == control)
            focus = Control::bsal;
    }
    bool IsVisible(Control control) const override { return visible_.at(control); }

    void SetStatusText(const std::string& text, bool announce) override
    {
        status = text;
        if (announce)
            announced.push_back(text);
    }
    void SetPictureTitle(const std::string& title) override { picture_title = title; }
    std::optional<Control> FocusedControl() const override { return focus; }
    // A hidden control loses the focus to the next visible one, as the
    // toolkits move it.
    void SetFocus(std::optional<Control> control) override { focus = control; }

    // Loads like the real image control: the file must be readable, and a
    // non-empty file must begin as a JPEG.
    void LoadPicture(const std::string& path) override
    {
        auto bytes = File::ReadAll(path);
        if (!bytes.empty() && (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8))
            throw Error("JPEG error #52");
        picture = std::string(bytes.begin(), bytes.end());
        ++loads;
    }

    StringList& ComboItems() override { return items; }
    int ComboSelectedIndex() const override { return selected_; }
    void SetComboSelectedIndex(int index) override
    {
        selected_ = index;
        text_ = index >= 0 && index < items.Count() ? items.Get(index) : std::string();
    }
    std::string ComboText() const override { return text_; }
    void SetComboText(const std::string& text) override { text_ = text; }

    std::string Caption(Control control) const override { return captions_.at(control); }
    void SetCaption(Control control, const std::string& caption) override
    {
        captions_[control] = caption;
    }
    void SetHint(Control control, const std::string& hint) override { hints_[control] = hint; }
    std::string Hint(Control control) const override
    {
        auto it = hints_.find(control);
        return it == hints_.end() ? std::string() : it->second;
    }
    void SetAddGlyph(int image_index) override { glyph = image_index; }

    void ShowErrorBox(const std::string& text, const std::string& caption) override
    {
        errors.emplace_back(text, caption);
    }
    void Close() override
    {
        closed = true;
        if (on_close)
            on_close();
    }

    // What the user does in the edit field: the text changes, nothing else.
    void UserTypes(const std::string& text) { text_ = text; }
    // A pick from the dropped-down list.
    void UserPicks(int index) { SetComboSelectedIndex(index); }

    // The controls that are visible, in the order of the Control enum.
    std::vector<Control> Visible() const
    {
        std::vector<Control> out;
        for (auto [control, shown] : visible_)
            if (shown)
                out.push_back(control);
        return out;
    }

    class Items : public StringList {
    public:
        explicit Items(FakeView& view)
            : view_(view)
        {
        }
        void Add(const std::string& item) override { list.Add(item); }
        // Emptying the list drops the selection but keeps the edit text.
        void Clear() override
        {
            list.Clear();
            view_.selected_ = -1;
        }
        int Count() const override { return list.Count(); }
        std::string Get(int index) const override { return list.Get(index); }
        VectorStringList list;

    private:
        FakeView& view_;
    };

    Items items { *this };
    layout::Box screen { 0, 0, 1024, 768 };
    std::pair<int, int> place { 344, 209 }; // the stored position
    std::string status;
    std::vector<std::string> announced;
    std::string picture_title;
    std::optional<Control> focus;
    std::string picture;
    int loads = 0;
    int glyph = -1;
    bool closed = false;
    std::function<void()> on_close;
    std::vector<std::pair<std::string, std::string>> errors;

private:
    std::map<Control, bool> visible_;
    std::map<Control, std::string> captions_;
    std::map<Control, std::string> hints_;
    int selected_ = -1;
    std::string text_;
};

} // namespace tarvenia::testing
