// One native control kept showing its model state. Apply compares with what
// it showed last, so a burst of changes costs only the differences: a list
// view rebuilds only the rows that changed, the rich-text display appends
// only the runs that are new.
//
// User-interface thread only. The caller suppresses the control's own
// notifications while Apply runs (they would read back as user input).
#pragma once

#include "frontends/win32/SystemHeaders.hpp"

#include <optional>

#include "platform/ui/ControlState.hpp"
#include "platform/ui/DialogTemplate.hpp"

namespace quillon::win32 {

class ControlMirror {
  public:
    ControlMirror(HWND control, ui::ControlKind kind) : control_(control), kind_(kind) {}

    HWND Handle() const { return control_; }
    ui::ControlKind Kind() const { return kind_; }
    void Apply(const ui::ControlState& state);

  private:
    void ApplyEdit(const ui::ControlState& state);
    void ApplyItems(const ui::ControlState& state);
    void ApplyTabs(const ui::ControlState& state);
    void ApplyList(const ui::ControlState& state);
    void ApplyRange(const ui::ControlState& state);
    void ApplyRuns(const ui::ControlState& state);

    HWND control_;
    ui::ControlKind kind_;
    std::optional<ui::ControlState> shown_;
};

/// The window's text in UTF-8.
std::string WindowText(HWND window);

}  // namespace quillon::win32
