// Dialog templates as data: what a resource script would describe. Every page
// and window of the program is one template, written in code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::ui {

enum class ControlKind {
    PushButton,
    CheckBox,
    RadioButton,
    Edit,
    ComboBox,  ///< drop-down list
    ListView,  ///< report-mode list with columns
    Slider,
    ProgressBar,
    Static,
    GroupBox,
    RichEdit,
    TabControl,
    Icon,
};

/// Style bits of a control. Only what the model or a view needs is named.
enum ControlStyle : std::uint32_t {
    STYLE_NONE = 0,
    STYLE_GROUP = 1u << 0,           ///< first control of a radio group
    STYLE_READONLY = 1u << 1,        ///< edit the user cannot type into
    STYLE_MULTILINE = 1u << 2,       ///< multi-line edit, or a button whose text has lines
    STYLE_DEFAULT_BUTTON = 1u << 3,  ///< the button Enter presses
    STYLE_MULTISELECT = 1u << 4,     ///< list view allowing several selected rows
    STYLE_VSCROLL = 1u << 5,
    STYLE_NUMBER = 1u << 6,  ///< edit accepting digits only
    STYLE_CENTER = 1u << 7,  ///< centred static text
};

/// A rectangle in dialog units.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlTemplate {
    int id = -1;
    ControlKind kind = ControlKind::Static;
    std::string text;                ///< caption or initial text
    std::vector<std::string> items;  ///< initial items of a drop-down list
    Rect rect;
    bool visible = true;
    bool enabled = true;
    std::uint32_t style = STYLE_NONE;
};

struct DialogTemplate {
    int number = 0;
    std::string caption;
    int width = 0;   ///< dialog units
    int height = 0;  ///< dialog units
    std::vector<ControlTemplate> controls;

    /// The control with `id`, or null (IDC_STATIC never matches).
    const ControlTemplate* Find(int id) const;
};

}  // namespace quillon::ui
