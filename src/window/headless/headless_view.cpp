#include "window/headless/headless_view.h"

#include <exception>

namespace tarvenia::headless {

namespace {
    template <class Map> auto Find(const Map& map, Control control)
    {
        auto it = map.find(control);
        return it == map.end() ? typename Map::mapped_type {} : it->second;
    }
} // namespace

HeadlessView::HeadlessView(std::function<void(const std::string&)> error_box)
    : error_box_(std::move(error_box))
{
}

bool HeadlessView::IsVisible(Control control) const { return Find(visible_, control); }

std::string HeadlessView::Caption(Control control) const { return Find(captions_, control); }

void HeadlessView::SetCaption(Control control, const std::string& caption)
{
    captions_[control] = caption;
}

void HeadlessView::SetHint(Control control, const std::string& hint) { hints_[control] = hint; }

std::string HeadlessView::Hint(Control control) const { return Find(hints_, control); }

void HeadlessView::SetComboSelectedIndex(int index)
{
    // As in the window's combo box, a selected item's text fills the field.
    selected_ = index;
    combo_text_ = index >= 0 && index < items_.Count() ? items_.Get(index) : std::string();
}

void HeadlessView::LoadPicture(const std::string& path)
{
    // A failed load keeps the previous picture, as the window's preview does.
    try {
        picture_ = std::make_unique<JpegPicture>(JpegPicture::Load(path, kDisplayDepth));
        load_failure_.clear();
    } catch (const std::exception& e) {
        load_failure_ = e.what();
        throw;
    }
}

void HeadlessView::Draw()
{
    if (!picture_)
        return;
    const std::unique_ptr<JpegPicture> picture = std::move(picture_);
    try {
        picture->Decode();
    } catch (const std::exception& e) {
        if (form_)
            form_->ShowException(e.what());
    }
}

void HeadlessView::ShowErrorBox(const std::string& text, const std::string&)
{
    ++error_boxes_;
    if (error_box_)
        error_box_(text);
}

void HeadlessView::Close()
{
    if (closed_)
        return;
    closed_ = true;
    if (form_)
        form_->FormClose();
}

} // namespace tarvenia::headless
