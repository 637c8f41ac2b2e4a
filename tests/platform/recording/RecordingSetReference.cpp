#include "tests/platform/recording/RecordingKelvix.h"

RecordedCall& LastCall();
void Record(const char* name, uint32_t deviceType, uint32_t index, uint32_t channel);

extern "C" uint32_t VCI_SetReference(uint32_t deviceType, uint32_t index, uint32_t channel,
                                     uint32_t refType, void* data) {
    Record("VCI_SetReference", deviceType, index, channel);
    LastCall().refType = refType;
    LastCall().refValue = *static_cast<const uint32_t*>(data);
    return 1;
}
