// Shorthands for writing dialog templates as data.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/DialogTemplate.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::pages::layout {

inline ui::ControlTemplate Control(int id, ui::ControlKind kind, std::string text, ui::Rect rect,
                                   std::uint32_t style = ui::STYLE_NONE) {
    ui::ControlTemplate control;
    control.id = id;
    control.kind = kind;
    control.text = std::move(text);
    control.rect = rect;
    control.style = style;
    return control;
}

inline ui::ControlTemplate Label(std::string text, ui::Rect rect) {
    return Control(ui::IDC_STATIC, ui::ControlKind::Static, std::move(text), rect);
}

inline ui::ControlTemplate Group(std::string text, ui::Rect rect) {
    return Control(ui::IDC_STATIC, ui::ControlKind::GroupBox, std::move(text), rect);
}

inline ui::ControlTemplate Edit(int id, ui::Rect rect, std::uint32_t style = ui::STYLE_NONE) {
    return Control(id, ui::ControlKind::Edit, {}, rect, style);
}

inline ui::ControlTemplate Button(int id, std::string text, ui::Rect rect,
                                  std::uint32_t style = ui::STYLE_NONE) {
    return Control(id, ui::ControlKind::PushButton, std::move(text), rect, style);
}

inline ui::ControlTemplate Check(int id, std::string text, ui::Rect rect) {
    return Control(id, ui::ControlKind::CheckBox, std::move(text), rect);
}

inline ui::ControlTemplate Radio(int id, std::string text, ui::Rect rect, bool firstOfGroup) {
    return Control(id, ui::ControlKind::RadioButton, std::move(text), rect,
                   firstOfGroup ? ui::STYLE_GROUP : ui::STYLE_NONE);
}

inline ui::ControlTemplate Combo(int id, std::vector<std::string> items, ui::Rect rect) {
    auto control = Control(id, ui::ControlKind::ComboBox, {}, rect);
    control.items = std::move(items);
    return control;
}

/// A selector's items from a table of names.
template <std::size_t N>
std::vector<std::string> Items(const std::array<const char*, N>& names) {
    return {names.begin(), names.end()};
}

inline ui::ControlTemplate List(int id, ui::Rect rect) {
    return Control(id, ui::ControlKind::ListView, {}, rect, ui::STYLE_MULTISELECT);
}

inline ui::ControlTemplate Hidden(ui::ControlTemplate control) {
    control.visible = false;
    return control;
}

inline ui::ControlTemplate Disabled(ui::ControlTemplate control) {
    control.enabled = false;
    return control;
}

}  // namespace quillon::pages::layout
