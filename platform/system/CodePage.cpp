#include "platform/system/CodePage.hpp"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "platform/system/Utf8Sequence.hpp"

namespace quillon::sys {
namespace {

constexpr std::string_view REPLACEMENT_UTF8 = "\xEF\xBF\xBD";

class IconvHandle {
  public:
    IconvHandle(const std::string& to, const std::string& from)
        : handle_(::iconv_open(to.c_str(), from.c_str())) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::invalid_argument("unknown character set conversion " + from + " -> " + to);
        }
    }
    ~IconvHandle() { ::iconv_close(handle_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    // Converts `input`, replacing each unconvertible or invalid sequence with
    // `replacement` and skipping one input byte (or one UTF-8 character).
    std::string Convert(std::string_view input, std::string_view replacement, bool utf8Input) {
        std::string output;
        char buffer[256];
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof(buffer);
            const std::size_t rc = ::iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) {
                continue;
            }
            output.append(replacement);
            const std::size_t skip =
                utf8Input ? Utf8SequenceLength(static_cast<unsigned char>(*in)) : 1;
            const std::size_t step = skip < inLeft ? skip : inLeft;
            in += step;
            inLeft -= step;
        }
        return output;
    }

  private:
    iconv_t handle_;
};

}  // namespace

CodePage::CodePage(std::string charset) : charset_(std::move(charset)) {}

std::string CodePage::FromUtf8(std::string_view utf8) const {
    IconvHandle converter(charset_, "UTF-8");
    return converter.Convert(utf8, "?", true);
}

std::string CodePage::ToUtf8(std::string_view bytes) const {
    IconvHandle converter("UTF-8", charset_);
    return converter.Convert(bytes, REPLACEMENT_UTF8, false);
}

}  // namespace quillon::sys
