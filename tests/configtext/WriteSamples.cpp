// Writes exported configuration texts into a directory, for checking them with
// a JSON Schema validator: page-made.json, and random-N.json from records of
// random bytes.
#include <fstream>
#include <iostream>

#include "configtext/ConfigText.hpp"
#include "tests/configtext/ConfigSamples.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " DIRECTORY\n";
        return 2;
    }
    using namespace quillon;
    const sys::CodePage ansi("GBK");
    const std::string directory = argv[1];
    std::ofstream(directory + "/page-made.json")
        << configtext::ExportConfigText(test::PageMadeRecords(), ansi);
    std::mt19937 random(2026);
    for (int i = 0; i < 20; ++i) {
        std::ofstream(directory + "/random-" + std::to_string(i) + ".json")
            << configtext::ExportConfigText(test::RandomRecords(random), ansi);
    }
    return 0;
}
