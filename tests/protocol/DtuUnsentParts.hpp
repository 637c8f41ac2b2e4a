// What the DTU frames do not carry, so that reading the frames over it must
// give the whole record back.
#pragma once

#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"

namespace quillon::test {

inline protocol::DtuBasicPara Unsent(const protocol::DtuBasicPara& full) {
    protocol::DtuBasicPara r;
    r.checksum = full.checksum;
    r.reserved34 = full.reserved34;
    r.reserved42 = full.reserved42;
    r.heartbeatHex = full.heartbeatHex;
    r.regHex = full.regHex;
    r.reserved251 = full.reserved251;
    r.reserved259 = full.reserved259;
    return r;
}

inline protocol::DtuAdvPara Unsent(const protocol::DtuAdvPara& full) {
    protocol::DtuAdvPara r;
    r.checksum = full.checksum;
    r.reserved34 = full.reserved34;
    r.apnModify = full.apnModify;
    return r;
}

}  // namespace quillon::test
