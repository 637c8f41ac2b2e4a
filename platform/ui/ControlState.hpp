// Live state of one control. Which fields matter depends on the control kind.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace quillon::ui {

struct ListColumn {
    std::string heading;
    int width = 0;  ///< pixels
};

/// One run of the rich-text display: text in one colour and height.
struct TextRun {
    std::string text;
    std::uint32_t colour = 0;  ///< 0x00BBGGRR
    int heightTwips = 0;       ///< 0 = unchanged

    bool operator==(const TextRun&) const = default;
};

struct ControlState {
    bool visible = true;
    bool enabled = true;
    std::string text;                 ///< caption, edit text or static text
    int check = 0;                    ///< check boxes and radio buttons
    std::vector<std::string> items;   ///< drop-down list items or tab captions
    int selection = -1;               ///< selected item, -1 = none
    std::vector<ListColumn> columns;  ///< list view
    std::vector<std::vector<std::string>> rows;
    std::set<int> selectedRows;
    int rangeMin = 0;  ///< slider and progress bar
    int rangeMax = 100;
    int position = 0;
    std::vector<TextRun> runs;  ///< rich-text display
    /// Edits: most characters the user can type; 0 = no limit of the page's.
    /// Text set by the program is not cut.
    int textLimit = 0;
};

}  // namespace quillon::ui
