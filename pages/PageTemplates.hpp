// Dialog templates of the parameter pages: every control with its id, kind,
// initial text or items, rectangle and initial state.
#pragma once

#include "platform/ui/DialogTemplate.hpp"

namespace quillon::pages {

const ui::DialogTemplate& Can1ParaTemplate();    ///< template 129
const ui::DialogTemplate& SysParaTemplate();     ///< template 131
const ui::DialogTemplate& CanAdvanceTemplate();  ///< template 133
const ui::DialogTemplate& BridgeRuleTemplate();  ///< template 135
const ui::DialogTemplate& CanReplayTemplate();   ///< template 137
const ui::DialogTemplate& DebugMsgTemplate();    ///< template 138

}  // namespace quillon::pages
