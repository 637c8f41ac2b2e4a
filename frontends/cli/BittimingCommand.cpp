#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>

#include "bittiming/TimingInput.hpp"
#include "bittiming/TimingSearch.hpp"
#include "frontends/cli/Commands.hpp"
#include "frontends/cli/ExitCode.hpp"

namespace quillon::cli {
namespace {

using bittiming::BusTiming;
using bittiming::ParseRate;
using bittiming::ParseRegister;
using bittiming::ParseSamplePoint;
using bittiming::TimingChoice;
using nlohmann::ordered_json;

std::string Format(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string Hex(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", byte);
    return text;
}

constexpr const char* HEADER =
    "BTR0  BTR1  BRP  quanta  TSEG1  TSEG2  SJW    bit/s    error  sample";

void PrintRow(const BusTiming& t, std::optional<double> errorPercent, const std::string& note,
              std::ostream& out) {
    const auto registers = bittiming::EncodeBtr(t);
    char row[128];
    std::snprintf(row, sizeof(row), "%s  %s  %3d  %6d  %5d  %5d  %3d  %7.0f  %7s  %5.1f%%",
                  Hex(registers.btr0).c_str(), Hex(registers.btr1).c_str(), t.prescaler, t.Quanta(),
                  t.tseg1, t.tseg2, t.jumpWidth, t.BitRate(),
                  errorPercent ? Format("%+.2f%%", *errorPercent).c_str() : "-",
                  t.SamplePoint() * 100);
    out << row << (note.empty() ? "" : "  " + note) << '\n';
}

// Which of the page's pairs a row is, and whether it is the one recommended.
std::string Note(const TimingChoice& choice, bool recommended) {
    std::string note = recommended ? "recommended" : "";
    if (const auto label = bittiming::PageRateLabel(choice.registers)) {
        note += (note.empty() ? "" : ", ") + ("the page's " + *label + " pair");
    }
    return note;
}

ordered_json ToJson(const BusTiming& t, std::optional<double> errorPercent) {
    const auto registers = bittiming::EncodeBtr(t);
    const auto label = bittiming::PageRateLabel(registers);
    ordered_json row = {{"btr0", Hex(registers.btr0)},
                        {"btr1", Hex(registers.btr1)},
                        {"prescaler", t.prescaler},
                        {"quanta", t.Quanta()},
                        {"tseg1", t.tseg1},
                        {"tseg2", t.tseg2},
                        {"sjw", t.jumpWidth},
                        {"threeSamples", t.threeSamples},
                        {"bitRate", t.BitRate()},
                        {"samplePoint", t.SamplePoint() * 100}};
    if (errorPercent) {
        row["errorPercent"] = *errorPercent;
    }
    row["page"] = label ? ordered_json(*label) : ordered_json(nullptr);
    return row;
}

std::string Refusal(const bittiming::TimingSearch& search) {
    std::string text = "quillon-cli bittiming: no BTR0/BTR1 pair comes within 0.5 % of " +
                       Format("%.0f", search.wantedBps) + " bit/s; nearest:";
    for (const auto& near : search.nearest) {
        text += (&near == &search.nearest.front() ? " " : ", ") +
                Format("%.0f", near.timing.BitRate()) + " bit/s (" +
                Format("%+.2f %%", near.errorPercent) + ", BTR0 " + Hex(near.registers.btr0) +
                " BTR1 " + Hex(near.registers.btr1) + ")";
    }
    return text;
}

int PrintSearch(const bittiming::TimingSearch& search, bool json, std::ostream& out,
                std::ostream& err) {
    if (json) {
        ordered_json doc = {{"bitRate", search.wantedBps},
                            {"samplePointTarget", search.targetSamplePoint * 100},
                            {"pairs", ordered_json::array()},
                            {"pagePair", nullptr}};
        for (const auto& choice : search.choices) {
            doc["pairs"].push_back(ToJson(choice.timing, choice.errorPercent));
        }
        if (search.pagePair) {
            doc["pagePair"] = ToJson(search.pagePair->timing, search.pagePair->errorPercent);
        }
        if (search.choices.empty()) {
            doc["nearest"] = ordered_json::array();
            for (const auto& near : search.nearest) {
                doc["nearest"].push_back(ToJson(near.timing, near.errorPercent));
            }
        }
        out << doc.dump(2) << '\n';
    }
    if (search.choices.empty()) {
        err << Refusal(search) << '\n';
        return EXIT_FAILED;
    }
    if (json) {
        return EXIT_OK;
    }
    out << Format("%.0f", search.wantedBps) << " bit/s, sample point aimed at "
        << Format("%.1f", search.targetSamplePoint * 100) << " %\n"
        << HEADER << '\n';
    for (const auto& choice : search.choices) {
        PrintRow(choice.timing, choice.errorPercent, Note(choice, &choice == &search.choices[0]),
                 out);
    }
    // The page's pair is listed above when it is within reach; else it is shown apart.
    const auto& page = search.pagePair;
    if (page && std::none_of(search.choices.begin(), search.choices.end(),
                             [&](const auto& c) { return c.registers == page->registers; })) {
        PrintRow(page->timing, page->errorPercent, Note(*page, false), out);
    }
    return EXIT_OK;
}

int PrintPair(const protocol::BtrEntry& registers, bool json, std::ostream& out) {
    const auto timing = bittiming::DecodeBtr(registers);
    if (json) {
        out << ToJson(timing, std::nullopt).dump(2) << '\n';
        return EXIT_OK;
    }
    out << HEADER << '\n';
    PrintRow(timing, std::nullopt, timing.threeSamples ? "three samples" : "", out);
    if (const auto label = bittiming::PageRateLabel(registers)) {
        out << "the page's " << *label << " pair\n";
    }
    return EXIT_OK;
}

}  // namespace

int RunBittiming(const BittimingOptions& options, bool json, std::ostream& out, std::ostream& err) {
    if (!options.btr.empty()) {
        const bool two = options.btr.size() == 2;
        const auto btr0 = two ? ParseRegister(options.btr[0]) : std::nullopt;
        const auto btr1 = two ? ParseRegister(options.btr[1]) : std::nullopt;
        if (!btr0 || !btr1) {
            err << "quillon-cli bittiming: --btr needs two registers of one or two hex digits\n";
            return EXIT_USAGE;
        }
        return PrintPair({*btr0, *btr1}, json, out);
    }
    const auto rate = ParseRate(options.rate);
    if (!rate) {
        err << "quillon-cli bittiming: give a bit rate (500000, 500k, 1M) or --btr BTR0 BTR1"
            << (options.rate.empty() ? "" : ", not \"" + options.rate + "\"") << '\n';
        return EXIT_USAGE;
    }
    std::optional<double> samplePoint;
    if (!options.samplePoint.empty()) {
        samplePoint = ParseSamplePoint(options.samplePoint);
        if (!samplePoint) {
            err << "quillon-cli bittiming: --sample-point needs a percentage between 0 and 100, "
                   "not \""
                << options.samplePoint << "\"\n";
            return EXIT_USAGE;
        }
    }
    return PrintSearch(bittiming::SearchTimings(*rate, samplePoint), json, out, err);
}

}  // namespace quillon::cli
