// Field-by-field comparison of two records in their JSON form (RecordJson,
// show --json), for diff and write --verify.
//
// A field is named by its path: "can1.baudIndex", "bridge.rules[2].srcId",
// "filters1.matchValue[0]", "smsPhones[1].digits".
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

namespace quillon::cli {

struct FieldDifference {
    std::string field;
    nlohmann::ordered_json a;  ///< null when `a` has no such field
    nlohmann::ordered_json b;  ///< null when `b` has no such field

    bool operator==(const FieldDifference&) const = default;
};

/// The leaves that differ, in the order of `a` followed by the fields only `b`
/// has. Keys named "checksum" or "checksumOk" are no fields and never compared.
std::vector<FieldDifference> DiffFields(const nlohmann::ordered_json& a,
                                        const nlohmann::ordered_json& b);

/// One line per difference, "can1.baudIndex: 3 -> 5" (texts quoted, a missing
/// field as "-").
void PrintDifferences(const std::vector<FieldDifference>& differences, std::ostream& out);

/// [{"field": "can1.baudIndex", "a": 3, "b": 5}, ...]
nlohmann::ordered_json DifferencesToJson(const std::vector<FieldDifference>& differences,
                                         const char* nameA = "a", const char* nameB = "b");

}  // namespace quillon::cli
