// Everything a parameter write sends: the seven sections of QXCfg.dat and the
// two DTU records of QXCfgDTU.dat and QXCfgDTUHL.dat.
#pragma once

#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"
#include "protocol/SettingsSections.hpp"

namespace quillon::configtext {

struct ConfigRecords {
    protocol::SettingsSections sections;
    protocol::DtuBasicPara dtuBasic;
    protocol::DtuAdvPara dtuAdv;

    bool operator==(const ConfigRecords&) const = default;
};

}  // namespace quillon::configtext
