// The adapter library's C interface: eight calls that every front end and the
// device simulator use to reach a CAN bus. Records are laid out byte for byte
// as the adapter library defines them; callers pass them by pointer.
//
// Threading: transmit, reference and error calls may come from the user-interface
// thread while the receive thread sits in VCI_Receive; the library serialises
// per adapter internally.
#ifndef QUILLON_PLATFORM_KELVIX_KELVIX_H
#define QUILLON_PLATFORM_KELVIX_KELVIX_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// One CAN frame as the library transmits and receives it (24 bytes).
typedef struct CanFrameRecord {
    uint32_t ID;         ///< CAN identifier, 11 or 29 bits
    uint32_t TimeStamp;  ///< receive time in 0.1 ms units, set by the library on receive
    uint8_t TimeFlag;    ///< 1 when TimeStamp is valid
    uint8_t SendType;    ///< 0 = normal send with retries
    uint8_t RemoteFlag;  ///< 0 = data frame, 1 = remote frame
    uint8_t ExternFlag;  ///< 0 = standard identifier, 1 = extended identifier
    uint8_t DataLen;     ///< 0..8
    uint8_t Data[8];     ///< payload; bytes beyond DataLen are carried but not meaningful
    uint8_t Reserved[3];
} CanFrameRecord;

/// Channel initialisation record of VCI_InitCAN (16 bytes).
typedef struct CanInitRecord {
    uint32_t AccCode;
    uint32_t AccMask;
    uint32_t Reserved;
    uint8_t Filter;
    uint8_t Timing0;
    uint8_t Timing1;
    uint8_t Mode;
} CanInitRecord;

/// Error record of VCI_ReadErrInfo.
typedef struct CanErrorRecord {
    uint32_t ErrCode;  ///< one of the KELVIX_ERR_* values, 0 when none
    uint8_t Passive_ErrData[3];
    uint8_t ArLost_ErrData;
} CanErrorRecord;

/// The adapter's device type: the program names its adapter by it in every call.
enum { KELVIX_DEVICE_TYPE = 4 };

enum {
    KELVIX_ERR_NONE = 0,
    KELVIX_ERR_NOT_OPEN = 0x0100,     ///< the adapter is not open
    KELVIX_ERR_BAD_CHANNEL = 0x0200,  ///< channel other than 0 or 1
    KELVIX_ERR_BACKEND = 0x0400,      ///< the backend reported a failure (bus off, socket error)
    KELVIX_ERR_QUEUE_FULL = 0x0800    ///< the transmit queue stayed full past its bound
};

/// Opens adapter `index` of `deviceType`. Returns 1 when open, 0 otherwise.
uint32_t VCI_OpenDevice(uint32_t deviceType, uint32_t index, uint32_t reserved);
/// Closes the adapter. Returns 1 when it was open.
uint32_t VCI_CloseDevice(uint32_t deviceType, uint32_t index);
/// Initialises one channel. Returns 1 on success.
uint32_t VCI_InitCAN(uint32_t deviceType, uint32_t index, uint32_t channel,
                     const CanInitRecord* init);
/// Starts one channel. Returns 1 on success.
uint32_t VCI_StartCAN(uint32_t deviceType, uint32_t index, uint32_t channel);
/// Queues `count` frames; returns how many were accepted (count on full success).
uint32_t VCI_Transmit(uint32_t deviceType, uint32_t index, uint32_t channel,
                      const CanFrameRecord* frames, uint32_t count);
/// Stores up to `capacity` received frames, waiting up to `waitMs` for the first.
/// Returns the number stored; 0 when none arrived, -1 on an error.
int32_t VCI_Receive(uint32_t deviceType, uint32_t index, uint32_t channel, CanFrameRecord* frames,
                    uint32_t capacity, int32_t waitMs);
/// Fills `error` with the channel's last error and clears it. Returns 1 on success.
uint32_t VCI_ReadErrInfo(uint32_t deviceType, uint32_t index, uint32_t channel,
                         CanErrorRecord* error);
/// Passes an adapter-specific setting (`refType`) with its value. Returns 1 on success.
uint32_t VCI_SetReference(uint32_t deviceType, uint32_t index, uint32_t channel, uint32_t refType,
                          void* data);

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(CanFrameRecord) == 24);
static_assert(offsetof(CanFrameRecord, ID) == 0);
static_assert(offsetof(CanFrameRecord, TimeStamp) == 4);
static_assert(offsetof(CanFrameRecord, TimeFlag) == 8);
static_assert(offsetof(CanFrameRecord, SendType) == 9);
static_assert(offsetof(CanFrameRecord, RemoteFlag) == 10);
static_assert(offsetof(CanFrameRecord, ExternFlag) == 11);
static_assert(offsetof(CanFrameRecord, DataLen) == 12);
static_assert(offsetof(CanFrameRecord, Data) == 13);
static_assert(offsetof(CanFrameRecord, Reserved) == 21);
static_assert(sizeof(CanInitRecord) == 16);
static_assert(offsetof(CanInitRecord, AccCode) == 0);
static_assert(offsetof(CanInitRecord, AccMask) == 4);
static_assert(offsetof(CanInitRecord, Reserved) == 8);
static_assert(offsetof(CanInitRecord, Filter) == 12);
static_assert(offsetof(CanInitRecord, Timing0) == 13);
static_assert(offsetof(CanInitRecord, Timing1) == 14);
static_assert(offsetof(CanInitRecord, Mode) == 15);
#endif

#endif  // QUILLON_PLATFORM_KELVIX_KELVIX_H
