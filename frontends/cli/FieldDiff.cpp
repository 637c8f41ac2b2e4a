#include "frontends/cli/FieldDiff.hpp"

#include <map>
#include <utility>

namespace quillon::cli {
namespace {

using nlohmann::ordered_json;
using Leaves = std::vector<std::pair<std::string, ordered_json>>;

bool IsChecksumKey(const std::string& key) {
    return key == "checksum" || key == "checksumOk";
}

void Flatten(const ordered_json& value, const std::string& path, Leaves& leaves) {
    if (value.is_object()) {
        for (const auto& [key, child] : value.items()) {
            if (!IsChecksumKey(key)) {
                Flatten(child, path.empty() ? key : path + "." + key, leaves);
            }
        }
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            Flatten(value[i], path + "[" + std::to_string(i) + "]", leaves);
        }
    } else {
        leaves.emplace_back(path, value);
    }
}

Leaves LeavesOf(const ordered_json& value) {
    Leaves leaves;
    Flatten(value, "", leaves);
    return leaves;
}

std::string Shown(const ordered_json& value) {
    return value.is_null() ? "-" : value.dump();
}

}  // namespace

std::vector<FieldDifference> DiffFields(const ordered_json& a, const ordered_json& b) {
    const Leaves leavesA = LeavesOf(a);
    const Leaves leavesB = LeavesOf(b);
    std::map<std::string, const ordered_json*> inB;
    for (const auto& [field, value] : leavesB) {
        inB.emplace(field, &value);
    }
    std::vector<FieldDifference> differences;
    for (const auto& [field, value] : leavesA) {
        const auto found = inB.find(field);
        if (found == inB.end()) {
            differences.push_back({field, value, nullptr});
        } else if (*found->second != value) {
            differences.push_back({field, value, *found->second});
        }
        if (found != inB.end()) {
            inB.erase(found);
        }
    }
    for (const auto& [field, value] : leavesB) {
        if (inB.count(field) != 0) {
            differences.push_back({field, nullptr, value});
        }
    }
    return differences;
}

void PrintDifferences(const std::vector<FieldDifference>& differences, std::ostream& out) {
    for (const auto& difference : differences) {
        out << difference.field << ": " << Shown(difference.a) << " -> " << Shown(difference.b)
            << '\n';
    }
}

ordered_json DifferencesToJson(const std::vector<FieldDifference>& differences, const char* nameA,
                               const char* nameB) {
    ordered_json list = ordered_json::array();
    for (const auto& difference : differences) {
        list.push_back({{"field", difference.field}, {nameA, difference.a}, {nameB, difference.b}});
    }
    return list;
}

}  // namespace quillon::cli
