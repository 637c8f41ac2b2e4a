// Both DTU pages under test on fake services with a temporary program directory.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dtu/DTUDlg.hpp"
#include "dtu/DTUHlDlg.hpp"
#include "pages/PageFixture.hpp"

namespace quillon::test {

struct DtuFixture {
    ScriptedHost host;
    FakeSystem system;
    ui::Dialog parent{ParentTemplate(), host};
    dtu::DTUDlg basic{host, parent, system.services};
    dtu::DTUHlDlg advanced{host, parent, system.services};

    DtuFixture() {
        basic.Create();
        advanced.Create();
    }

    std::vector<std::uint8_t> FileBytes(const char* name) const {
        std::ifstream in(system.directory.Path() / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    void WriteFile(const char* name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(system.directory.Path() / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
};

}  // namespace quillon::test
