// Conversions between the program's UTF-8 text and the byte encodings a device
// or a settings file uses: the "ANSI" and "OEM" code pages of the running system.
// Both default to GBK (code page 936), the encoding the devices expect.
#pragma once

#include <string>
#include <string_view>

namespace quillon::sys {

class CodePage {
  public:
    /// `charset` is an iconv name such as "GBK" or "CP1252".
    explicit CodePage(std::string charset = "GBK");

    const std::string& Charset() const { return charset_; }
    /// Encodes UTF-8 text; characters the code page lacks become '?'.
    std::string FromUtf8(std::string_view utf8) const;
    /// Decodes code-page bytes; invalid sequences become U+FFFD.
    std::string ToUtf8(std::string_view bytes) const;

  private:
    std::string charset_;
};

/// The code pages the program uses for file names and device text.
struct CodePages {
    CodePage ansi{"GBK"};
    CodePage oem{"GBK"};
};

}  // namespace quillon::sys
