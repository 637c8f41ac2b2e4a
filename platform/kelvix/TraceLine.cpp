#include "platform/kelvix/TraceLine.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/kelvix/HexDigits.hpp"

namespace kelvix {
namespace {

// The longest ID#DATA: 8 identifier digits, '#', 16 data digits.
constexpr std::size_t FRAME_BODY_MAX = 25;
// Line ends up to this long are copied into the line being built.
constexpr std::size_t LINE_END_INLINE_MAX = 2;
// "(SECONDS.FRACTION) " with up to 19 digits of seconds and a sign.
constexpr std::size_t STAMP_MAX = 30;
// Interface names up to this long are copied into the line being built.
constexpr std::size_t NAME_INLINE_MAX = 32;

// ID#DATA: the part of a line after the interface name.
char* WriteFrameBody(char* out, const CanFrameRecord& frame) {
    out = frame.ExternFlag != 0 ? WriteHex(out, frame.ID & 0x1FFFFFFFu, 8)
                                : WriteHex(out, frame.ID & 0x7FFu, 3);
    *out++ = '#';
    const unsigned length = frame.DataLen > 8 ? 8u : frame.DataLen;
    if (frame.RemoteFlag != 0) {
        *out++ = 'R';
        if (length > 0) {
            *out++ = static_cast<char>('0' + length);
        }
        return out;
    }
    // All eight bytes are written and only the frame's are kept: `out` has
    // room for them, and a loop to the length would guess wrong on logs whose
    // lengths vary from frame to frame.
    for (unsigned i = 0; i < 8; ++i) {
        WriteHexByte(out + 2 * i, frame.Data[i]);
    }
    return out + 2 * length;
}

}  // namespace

std::string FormatTraceLine(const CanFrameRecord& frame, std::uint32_t channel,
                            TraceDirection direction, double seconds) {
    char head[64];
    std::snprintf(head, sizeof(head), "(%.6f) can%u ", seconds, channel);
    std::string line(head);
    char body[FRAME_BODY_MAX];
    line.append(body, WriteFrameBody(body, frame));
    line += ' ';
    line += DirectionLetter(direction);
    return line;
}

void AppendCandumpLine(std::string& out, const CanFrameRecord& frame,
                       std::string_view interfaceName, std::int64_t timeUs,
                       std::string_view lineEnd) {
    CandumpLineWriter().Append(out, frame, interfaceName, timeUs, lineEnd);
}

void CandumpLineWriter::Append(std::string& out, const CanFrameRecord& frame,
                               std::string_view interfaceName, std::int64_t timeUs,
                               std::string_view lineEnd) {
    const bool negative = timeUs < 0;
    std::uint64_t magnitude = static_cast<std::uint64_t>(timeUs);
    if (negative) {
        magnitude = 0 - magnitude;
    }
    const std::uint64_t seconds = magnitude / 1000000;
    if (secondsLength_ == 0 || seconds != seconds_ || negative != negative_) {
        char* p = secondsText_;
        *p++ = '(';
        if (negative) {
            *p++ = '-';
        }
        p = WriteDecimal(p, seconds);
        *p++ = '.';
        seconds_ = seconds;
        negative_ = negative;
        secondsLength_ = static_cast<std::size_t>(p - secondsText_);
    }
    // The line is put together here and appended at once; a name too long
    // for this buffer goes straight to `out`, and so does a long line end.
    char line[STAMP_MAX + NAME_INLINE_MAX + 1 + FRAME_BODY_MAX + LINE_END_INLINE_MAX];
    char* p = std::copy(secondsText_, secondsText_ + secondsLength_, line);
    p = WriteSixDigits(p, static_cast<std::uint32_t>(magnitude % 1000000));
    *p++ = ')';
    *p++ = ' ';
    if (interfaceName.size() > NAME_INLINE_MAX) {
        out.append(line, static_cast<std::size_t>(p - line));
        out.append(interfaceName);
        p = line;
    } else {
        p = std::copy(interfaceName.begin(), interfaceName.end(), p);
    }
    *p++ = ' ';
    p = WriteFrameBody(p, frame);
    if (lineEnd.size() <= LINE_END_INLINE_MAX) {
        p = std::copy(lineEnd.begin(), lineEnd.end(), p);
        out.append(line, static_cast<std::size_t>(p - line));
    } else {
        out.append(line, static_cast<std::size_t>(p - line));
        out.append(lineEnd);
    }
}

std::string FormatCandumpLine(const CanFrameRecord& frame, std::string_view interfaceName,
                              std::int64_t timeUs) {
    std::string line;
    AppendCandumpLine(line, frame, interfaceName, timeUs);
    return line;
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Words are separated by blanks and tabs only; a loop beats find_first_of
// on words this short.
std::string_view NextWord(std::string_view& rest) {
    const char* p = rest.data();
    const char* const end = p + rest.size();
    while (p != end && IsBlank(*p)) {
        ++p;
    }
    const char* const word = p;
    while (p != end && !IsBlank(*p)) {
        ++p;
    }
    rest = std::string_view(p, static_cast<std::size_t>(end - p));
    return std::string_view(word, static_cast<std::size_t>(p - word));
}

// "(1436509052.249713)": whole seconds, then at most 6 digits of fraction,
// checked and added up in one pass.
const char* ParseStamp(std::string_view stamp, std::int64_t& timeUs) {
    if (stamp.size() < 3 || stamp.front() != '(' || stamp.back() != ')') {
        return "the line does not start with a (SECONDS.FRACTION) stamp";
    }
    const char* const begin = stamp.data() + 1;
    const char* const end = stamp.data() + stamp.size() - 1;
    bool digitsOnly = true;
    std::uint64_t seconds = 0;  // unsigned: too many digits wrap harmlessly before the check
    const char* p = begin;
    for (; p != end && *p != '.'; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        digitsOnly = digitsOnly && digit <= 9;
        seconds = seconds * 10 + digit;
    }
    const std::size_t wholeDigits = static_cast<std::size_t>(p - begin);
    if (p != end) {
        ++p;
    }
    const std::size_t fractionDigits = static_cast<std::size_t>(end - p);
    std::uint64_t micros = 0;
    for (std::size_t i = 0; i < fractionDigits; ++i) {
        const unsigned digit = static_cast<unsigned char>(p[i]) - unsigned{'0'};
        digitsOnly = digitsOnly && digit <= 9;
        micros = micros * 10 + digit;
    }
    if (wholeDigits == 0 || wholeDigits > 12 || !digitsOnly) {
        return "the stamp is not SECONDS.FRACTION";
    }
    if (fractionDigits > 6) {
        return "the stamp is finer than a microsecond";
    }
    for (std::size_t i = fractionDigits; i < 6; ++i) {
        micros *= 10;
    }
    timeUs = static_cast<std::int64_t>(seconds * 1000000 + micros);
    return nullptr;
}

// The identifier's digits, checked and added up in one pass; its length is
// judged before its digits.
const char* ParseIdentifier(std::string_view id, CanFrameRecord& frame) {
    std::uint32_t value = 0;
    std::uint8_t digits = 0;
    for (const char c : id) {
        const std::uint8_t digit = HexValue(c);
        digits |= digit;
        value = value << 4 | (digit & 0xFu);
    }
    if (id.size() != 3 && id.size() != 8) {
        return "the identifier has neither 3 nor 8 hex digits";
    }
    if (digits == NOT_HEX) {
        return "the identifier is not hexadecimal";
    }
    frame.ID = value;
    frame.ExternFlag = id.size() == 8 ? 1 : 0;
    if (frame.ExternFlag == 0 && frame.ID > 0x7FFu) {
        return "a standard identifier above 7FF";
    }
    if (frame.ExternFlag != 0 && frame.ID > 0x1FFFFFFFu) {
        return "an extended identifier above 1FFFFFFF";
    }
    return nullptr;
}

const char* ParsePayload(std::string_view data, CanFrameRecord& frame) {
    if (!data.empty() && (data.front() == 'R' || data.front() == 'r')) {
        frame.RemoteFlag = 1;
        data.remove_prefix(1);
        if (data.size() > 1 || (data.size() == 1 && (data[0] < '0' || data[0] > '8'))) {
            return "a remote frame's length is not one digit 0..8";
        }
        frame.DataLen = static_cast<std::uint8_t>(data.empty() ? 0 : data[0] - '0');
        return nullptr;
    }
    if (!data.empty() && data.front() == '#') {
        return "CAN FD frames are not supported";
    }
    if (data.size() % 2 != 0) {
        return "odd number of data digits";
    }
    if (data.size() > 16) {
        return "more than 8 data bytes";
    }
    frame.DataLen = static_cast<std::uint8_t>(data.size() / 2);
    std::uint8_t digits = 0;
    for (std::size_t i = 0; i < frame.DataLen; ++i) {
        const std::uint8_t high = HexValue(data[2 * i]);
        const std::uint8_t low = HexValue(data[2 * i + 1]);
        digits |= high | low;
        frame.Data[i] = static_cast<std::uint8_t>(high << 4 | (low & 0xFu));
    }
    return digits == NOT_HEX ? "the data is not hexadecimal" : nullptr;
}

// The words after the stamp, into `parsed`; what is wrong, or nullptr.
const char* ParseFrameWords(std::string_view stamp, std::string_view rest, CandumpLine& parsed) {
    if (const char* problem = ParseStamp(stamp, parsed.timeUs)) {
        return problem;
    }
    parsed.interfaceName = NextWord(rest);
    const std::string_view body = NextWord(rest);
    std::size_t hash = 0;
    while (hash != body.size() && body[hash] != '#') {
        ++hash;
    }
    if (parsed.interfaceName.empty() || hash == body.size()) {
        return "no INTERFACE ID#DATA after the stamp";
    }
    if (const char* problem = ParseIdentifier(body.substr(0, hash), parsed.frame)) {
        return problem;
    }
    if (const char* problem = ParsePayload(body.substr(hash + 1), parsed.frame)) {
        return problem;
    }
    const std::string_view direction = NextWord(rest);
    if (!direction.empty()) {
        if (direction.size() != 1 ||
            std::string_view("TtRr").find(direction[0]) == std::string_view::npos) {
            return "the word after the frame is neither T nor R";
        }
        parsed.hasDirection = true;
        parsed.direction = direction[0] == 'T' || direction[0] == 't' ? TraceDirection::Transmitted
                                                                      : TraceDirection::Received;
    }
    if (!NextWord(rest).empty()) {
        return "more words after the frame";
    }
    return nullptr;
}

// The stamp candump writes for every time from 2001 to 2286,
// "(SSSSSSSSSS.UUUUUU) ": ten digits, six digits, read eight at a time.
// Nothing when the line does not start so; else where the name begins.
const char* ParseTenSixStamp(std::string_view line, std::int64_t& timeUs) {
    constexpr std::size_t DOT = 11;
    constexpr std::size_t CLOSE = 18;
    constexpr std::size_t NAME = 20;
    if (line.size() <= NAME || line[0] != '(' || line[DOT] != '.' || line[CLOSE] != ')' ||
        line[CLOSE + 1] != ' ') {
        return nullptr;
    }
    const char* const text = line.data();
    const std::uint64_t high = LoadEightBytes(text + 1);
    // The two digits before the dot and the six after it, as "SS" + "UUUUUU";
    // the dot is cut out by moving the digits after it down one byte.
    const std::uint64_t around = LoadEightBytes(text + DOT - 2);
    const std::uint64_t tail = LoadEightBytes(text + DOT + 1);
    const std::uint64_t low = (around & 0xFFFFu) | (tail << 16);
    if (!AllDecimalDigits(high) || !AllDecimalDigits(low)) {
        return nullptr;
    }
    const std::uint32_t lowValue = EightDigitsValue(low);
    const std::uint64_t seconds = std::uint64_t{EightDigitsValue(high)} * 100 + lowValue / 1000000;
    timeUs = static_cast<std::int64_t>(seconds * 1000000 + lowValue % 1000000);
    return text + NAME;
}

// Any other stamp the usual line may have: "(" up to 12 digits "." up to 6
// digits ") ". Nothing when the line does not start so; else where the name begins.
const char* ParseOtherStamp(std::string_view line, std::int64_t& timeUs) {
    const char* p = line.data();
    const char* const end = p + line.size();
    if (p == end || *p != '(') {
        return nullptr;
    }
    ++p;
    std::uint64_t seconds = 0;
    const char* const whole = p;
    while (p != end && IsDigit(*p)) {
        seconds = seconds * 10 + static_cast<unsigned>(*p++ - '0');
    }
    if (p == whole || p - whole > 12 || p == end || *p != '.') {
        return nullptr;
    }
    const char* const fraction = ++p;
    std::uint64_t micros = 0;
    while (p != end && IsDigit(*p)) {
        micros = micros * 10 + static_cast<unsigned>(*p++ - '0');
    }
    if (p - fraction > 6 || end - p < 2 || p[0] != ')' || p[1] != ' ') {
        return nullptr;
    }
    for (auto digits = p - fraction; digits < 6; ++digits) {
        micros *= 10;
    }
    timeUs = static_cast<std::int64_t>(seconds * 1000000 + micros);
    return p + 2;
}

// The usual line, "(SECONDS.FRACTION) IFACE ID#DATA" with single spaces and
// no direction, taken apart in one pass. It accepts only lines the general
// parse below reads the same way, and gives up on anything else (a tab, a
// remote or malformed frame, a direction word), which the general parse
// then reads and explains.
bool ParsePlainLine(std::string_view line, CandumpLine& parsed) {
    const char* p = ParseTenSixStamp(line, parsed.timeUs);
    if (p == nullptr && (p = ParseOtherStamp(line, parsed.timeUs)) == nullptr) {
        return false;
    }
    const char* const end = line.data() + line.size();
    const char* const name = p;
    while (p != end && *p != ' ' && *p != '\t') {
        ++p;
    }
    if (p == name || p == end || *p != ' ') {
        return false;
    }
    parsed.interfaceName = std::string_view(name, static_cast<std::size_t>(p - name));
    ++p;
    const std::size_t left = static_cast<std::size_t>(end - p);
    const std::size_t idDigits = left > 3 && p[3] == '#' ? 3 : left > 8 && p[8] == '#' ? 8 : 0;
    if (idDigits == 0) {
        return false;
    }
    std::uint32_t id = 0;
    std::uint8_t digits = 0;
    for (std::size_t i = 0; i < idDigits; ++i) {
        const std::uint8_t digit = HexValue(p[i]);
        digits |= digit;
        id = id << 4 | (digit & 0xFu);
    }
    if (digits == NOT_HEX || id > (idDigits == 3 ? 0x7FFu : 0x1FFFFFFFu)) {
        return false;
    }
    p += idDigits + 1;
    const std::size_t dataDigits = static_cast<std::size_t>(end - p);
    if (dataDigits % 2 != 0 || dataDigits > 16) {
        return false;
    }
    CanFrameRecord& frame = parsed.frame;
    frame.DataLen = static_cast<std::uint8_t>(dataDigits / 2);
    for (std::size_t i = 0; i < frame.DataLen; ++i) {
        const std::uint8_t high = HexValue(p[2 * i]);
        const std::uint8_t low = HexValue(p[2 * i + 1]);
        digits |= high | low;
        frame.Data[i] = static_cast<std::uint8_t>(high << 4 | (low & 0xFu));
    }
    if (digits == NOT_HEX) {
        return false;
    }
    frame.ID = id;
    frame.ExternFlag = idDigits == 8 ? 1 : 0;
    parsed.verdict = CandumpVerdict::Frame;
    return true;
}

}  // namespace

// One result object throughout, so that it is built in place in the caller.
CandumpLine ParseCandumpLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    CandumpLine parsed;
    if (ParsePlainLine(line, parsed)) {
        return parsed;
    }
    parsed = CandumpLine{};
    std::string_view rest = line;
    const std::string_view stamp = NextWord(rest);
    if (stamp.empty() || stamp.front() == '#') {
        return parsed;
    }
    if (const char* problem = ParseFrameWords(stamp, rest, parsed)) {
        parsed = CandumpLine{};
        parsed.verdict = CandumpVerdict::Malformed;
        parsed.problem = problem;
    } else {
        parsed.verdict = CandumpVerdict::Frame;
    }
    return parsed;
}

std::optional<TracedFrame> ParseTraceLine(std::string_view line) {
    const CandumpLine parsed = ParseCandumpLine(line);
    const std::string_view name = parsed.interfaceName;
    if (parsed.verdict != CandumpVerdict::Frame || !name.starts_with("can") || name.size() == 3) {
        return std::nullopt;
    }
    TracedFrame traced;
    const auto [end, error] =
        std::from_chars(name.data() + 3, name.data() + name.size(), traced.channel);
    if (error != std::errc() || end != name.data() + name.size()) {
        return std::nullopt;
    }
    traced.frame = parsed.frame;
    traced.direction = parsed.direction;
    return traced;
}

}  // namespace kelvix
