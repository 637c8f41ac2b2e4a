/* A stand-in adapter library for the dll backend's tests: every call is
 * recorded with its arguments as received and answers with a value the test
 * can recognise, so a test sees exactly what passed through. */
#ifndef QUILLON_TESTS_RECORDING_KELVIX_H
#define QUILLON_TESTS_RECORDING_KELVIX_H

#include <stdint.h>

#include "platform/kelvix/Kelvix.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct RecordedCall {
    char name[24];
    uint32_t deviceType;
    uint32_t index;
    uint32_t channel;
    uint32_t count;        /* Transmit: frames; Receive: capacity */
    int32_t waitMs;        /* Receive */
    uint32_t refType;      /* SetReference */
    uint32_t refValue;     /* SetReference: the 32-bit value behind the pointer */
    uint32_t firstFrameId; /* Transmit: ID of the first frame */
    CanInitRecord init;    /* InitCAN */
} RecordedCall;

/* Answers of the recording library. */
enum {
    RECORDING_RECEIVED_ID = 0x1ABCDEF0, /* the one frame Receive hands out */
    RECORDING_ERROR_CODE = 0x0400       /* ErrCode that ReadErrInfo reports */
};

/* The last call the library received. */
const RecordedCall* RecordingLastCall(void);

#ifdef __cplusplus
}
#endif

#endif
