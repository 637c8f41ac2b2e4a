// Seven of the eight calls; RecordingSetReference.cpp adds the eighth, so a
// library built without it is one that lacks a call.
#include <cstring>

#include "tests/platform/recording/RecordingKelvix.h"

RecordedCall& LastCall() {
    static RecordedCall last;
    return last;
}

void Record(const char* name, uint32_t deviceType, uint32_t index, uint32_t channel) {
    RecordedCall& last = LastCall();
    last = RecordedCall{};
    std::strncpy(last.name, name, sizeof(last.name) - 1);
    last.deviceType = deviceType;
    last.index = index;
    last.channel = channel;
}

extern "C" {

const RecordedCall* RecordingLastCall(void) {
    return &LastCall();
}

uint32_t VCI_OpenDevice(uint32_t deviceType, uint32_t index, uint32_t reserved) {
    Record("VCI_OpenDevice", deviceType, index, reserved);
    return 1;
}

uint32_t VCI_CloseDevice(uint32_t deviceType, uint32_t index) {
    Record("VCI_CloseDevice", deviceType, index, 0);
    return 1;
}

uint32_t VCI_InitCAN(uint32_t deviceType, uint32_t index, uint32_t channel,
                     const CanInitRecord* init) {
    Record("VCI_InitCAN", deviceType, index, channel);
    LastCall().init = *init;
    return 1;
}

uint32_t VCI_StartCAN(uint32_t deviceType, uint32_t index, uint32_t channel) {
    Record("VCI_StartCAN", deviceType, index, channel);
    return 1;
}

// Accepts one frame less than offered, so a short count must come back as is.
uint32_t VCI_Transmit(uint32_t deviceType, uint32_t index, uint32_t channel,
                      const CanFrameRecord* frames, uint32_t count) {
    Record("VCI_Transmit", deviceType, index, channel);
    LastCall().count = count;
    LastCall().firstFrameId = count > 0 ? frames[0].ID : 0;
    return count > 0 ? count - 1 : 0;
}

int32_t VCI_Receive(uint32_t deviceType, uint32_t index, uint32_t channel, CanFrameRecord* frames,
                    uint32_t capacity, int32_t waitMs) {
    Record("VCI_Receive", deviceType, index, channel);
    LastCall().count = capacity;
    LastCall().waitMs = waitMs;
    frames[0] = CanFrameRecord{};
    frames[0].ID = RECORDING_RECEIVED_ID;
    frames[0].ExternFlag = 1;
    frames[0].DataLen = 2;
    frames[0].Data[0] = 0xA5;
    frames[0].Data[1] = 0x5A;
    return 1;
}

uint32_t VCI_ReadErrInfo(uint32_t deviceType, uint32_t index, uint32_t channel,
                         CanErrorRecord* error) {
    Record("VCI_ReadErrInfo", deviceType, index, channel);
    *error = CanErrorRecord{};
    error->ErrCode = RECORDING_ERROR_CODE;
    return 1;
}

}  // extern "C"
