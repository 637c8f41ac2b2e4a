// The stages of quillon-cli simulate over a candump log, one at a time:
// reading lines into frames, the bridge model, and writing candump lines.
// bench/simulate_bridge.py times the whole command; these say where it goes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "behaviour/DeviceModel.hpp"
#include "canlog/LogReader.hpp"
#include "canlog/LogWriter.hpp"

namespace {

using quillon::protocol::TimedFrame;

constexpr int FRAMES = 100000;
constexpr int RULES = 10;

// Random identifiers 0x100..0x10F with 0..8 random bytes, alternating channels:
// the log simulate_bridge.py writes.
std::string CandumpLog() {
    std::mt19937 random(27);
    std::string log;
    char line[64];
    for (int i = 0; i < FRAMES; ++i) {
        const int length = static_cast<int>(random() % 9);
        int used = std::snprintf(line, sizeof(line), "(%d.%06d) can%d %03X#", 1700000000 + i / 1000,
                                 (i % 1000) * 1000, i % 2, 0x100 + static_cast<int>(random() % 16));
        for (int b = 0; b < length; ++b) {
            used += std::snprintf(line + used, sizeof(line) - static_cast<std::size_t>(used),
                                  "%02X", static_cast<unsigned>(random() % 256));
        }
        log.append(line, static_cast<std::size_t>(used)).push_back('\n');
    }
    return log;
}

std::vector<TimedFrame> Frames(const std::string& log) {
    const auto reader =
        quillon::canlog::MakeTextLogReader(log, quillon::canlog::LogFormat::Candump, "bench.log");
    std::vector<TimedFrame> frames;
    TimedFrame frame;
    while (reader->Next(frame)) {
        frames.push_back(frame);
    }
    return frames;
}

// Ten ordinary rules both ways on identifiers 0x100 + i: a new identifier,
// byte 0 times 2 plus 1, byte 1 a constant.
quillon::protocol::SettingsSections BridgeSettings() {
    quillon::protocol::SettingsSections settings;
    for (auto* channel : {&settings.can1, &settings.can2}) {
        channel->enable = 1;
    }
    settings.bridge.ruleCount = RULES;
    for (int i = 0; i < RULES; ++i) {
        quillon::protocol::BridgeRule& rule = settings.bridge.rules[static_cast<std::size_t>(i)];
        rule.leadByte = 1;
        rule.direction = quillon::protocol::BridgeRule::DIRECTION_BOTH;
        rule.trigger = 2;
        rule.srcFlags = quillon::protocol::BridgeRule::FLAGS_BASE;
        rule.dstFlags = quillon::protocol::BridgeRule::FLAGS_BASE;
        rule.srcId = static_cast<std::uint32_t>(0x100 + i);
        rule.srcLength = 9;
        rule.dstId = static_cast<std::uint32_t>(0x200 + i);
        rule.dstLength = 9;
        rule.dstDataMask = 0x02;
        rule.dstData[1] = 0xEE;
        rule.kMask = 0x01;
        rule.k = 2;
        rule.mMask = 0x01;
        rule.m = 1;
    }
    return settings;
}

void BM_CandumpRead(benchmark::State& state) {
    const std::string log = CandumpLog();
    for (auto _ : state) {
        const auto reader = quillon::canlog::MakeTextLogReader(
            log, quillon::canlog::LogFormat::Candump, "bench.log");
        TimedFrame frame;
        while (reader->Next(frame)) {
            benchmark::DoNotOptimize(frame);
        }
    }
    state.SetItemsProcessed(state.iterations() * FRAMES);
}
BENCHMARK(BM_CandumpRead)->Unit(benchmark::kMillisecond);

void BM_BridgeModel(benchmark::State& state) {
    const std::vector<TimedFrame> frames = Frames(CandumpLog());
    const auto settings = BridgeSettings();
    std::vector<TimedFrame> out;
    std::size_t sent = 0;
    for (auto _ : state) {
        quillon::behaviour::DeviceModel model(quillon::behaviour::DeviceRole::Bridge, settings);
        for (const TimedFrame& frame : frames) {
            out.clear();
            model.Receive(frame, out);
            sent += out.size();
        }
    }
    benchmark::DoNotOptimize(sent);
    state.SetItemsProcessed(state.iterations() * FRAMES);
}
BENCHMARK(BM_BridgeModel)->Unit(benchmark::kMillisecond);

void BM_CandumpWrite(benchmark::State& state) {
    const std::vector<TimedFrame> frames = Frames(CandumpLog());
    const auto writer = quillon::canlog::MakeLogWriter(quillon::canlog::LogFormat::Candump,
                                                       quillon::canlog::DEFAULT_CHANNEL_NAMES);
    std::string text;
    for (auto _ : state) {
        text.clear();
        for (const TimedFrame& frame : frames) {
            writer->Write(frame, text);
        }
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * FRAMES);
}
BENCHMARK(BM_CandumpWrite)->Unit(benchmark::kMillisecond);

}  // namespace
