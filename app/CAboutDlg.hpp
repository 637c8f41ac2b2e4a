// The about box (template 100): name, version and maker; OK or Escape close it.
#pragma once

#include "platform/ui/Dialog.hpp"

namespace quillon::app {

class CAboutDlg : public ui::Dialog {
  public:
    explicit CAboutDlg(ui::Host& host);
};

}  // namespace quillon::app
