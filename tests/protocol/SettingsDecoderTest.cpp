#include "protocol/SettingsDecoder.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "protocol/SettingsFile.hpp"

namespace quillon::protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;

SettingsSections Sample() {
    SettingsSections s;
    s.can1 = CanPara::Defaults();
    s.can2.workMode = 1;
    s.sys.fileSizeMB = 300;
    s.filters2.filterCount = 3;
    s.bridge.bridgeFlags = 0x0C;
    s.replay.auxValue = 0xA1B2C3D4;
    UpdateChecksums(s);
    return s;
}

Bytes Image(const SettingsSections& sections) {
    const auto image = EncodeSettings(sections);
    return {image.begin(), image.end()};
}

TEST(SettingsDecoderTest, WholeImageGivesItsSectionsAndBytesPastItAreIgnored) {
    Bytes longer = Image(Sample());
    longer.resize(SETTINGS_FILE_SIZE + 100, 0xEE);
    const DecodedSettings decoded = DecodeSettings(longer);
    EXPECT_EQ(decoded.sections, Sample());
    EXPECT_EQ(FailedSections(decoded.checks), std::vector<SettingsSection>{});
}

TEST(SettingsDecoderTest, MissingBytesKeepTheStartAndItsCheckDecides) {
    const Bytes image = Image(Sample());
    SettingsSections start = Sample();
    start.replay.auxValue = 7;  // no longer matches its checksum
    // The image up to one byte short: the replay section's last byte comes from `start`.
    const DecodedSettings decoded =
        DecodeSettings(std::span(image).first(SETTINGS_FILE_SIZE - 1), start);
    EXPECT_EQ(decoded.sections, Sample());
    EXPECT_EQ(FailedSections(decoded.checks), std::vector<SettingsSection>{});
    const DecodedSettings none = DecodeSettings({}, start);
    EXPECT_EQ(none.sections, start);
    EXPECT_EQ(FailedSections(none.checks), std::vector<SettingsSection>{SettingsSection::Replay});
}

}  // namespace
}  // namespace quillon::protocol
