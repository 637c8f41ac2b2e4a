// Dialog templates of the two DTU pages.
#pragma once

#include "platform/ui/DialogTemplate.hpp"

namespace quillon::dtu {

const ui::DialogTemplate& DtuBasicTemplate();  ///< template 139
const ui::DialogTemplate& DtuAdvTemplate();    ///< template 140

}  // namespace quillon::dtu
