#include "canlog/LogWriter.hpp"

#include "canlog/AscWriter.hpp"
#include "canlog/CandumpWriter.hpp"
#include "canlog/CsvWriter.hpp"

namespace quillon::canlog {

std::unique_ptr<LogWriter> MakeLogWriter(LogFormat format, const ChannelNames& names) {
    switch (format) {
        case LogFormat::Asc:
            return std::make_unique<AscWriter>();
        case LogFormat::Csv:
            return std::make_unique<CsvWriter>();
        case LogFormat::Candump:
        case LogFormat::Recorder:
            break;
    }
    return std::make_unique<CandumpWriter>(names);
}

}  // namespace quillon::canlog
