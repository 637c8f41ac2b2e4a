/* A C program written against the adapter library's C interface alone, linked
 * to the shared library (libkelvix.so, kelvix.dll) the way a program that came
 * with an adapter would be. With the library's default backend it talks to the
 * simulated device: open, initialise, start, send the read request, receive the
 * device's first identity frame, read the error record, close.
 * Exit status 0 when every call answered as expected. */
#include <stdio.h>
#include <string.h>

#include "platform/kelvix/Kelvix.h"

enum { DEVICE_TYPE = 4, INDEX = 0, CHANNEL = 0, CAPACITY = 50, WAIT_MS = 200, ATTEMPTS = 25 };

static int Check(const char* what, long got, long expected) {
    if (got != expected) {
        printf("FAILED: %s returned %ld, expected %ld\n", what, got, expected);
        return 0;
    }
    printf("ok: %s\n", what);
    return 1;
}

/* Receives until the device's identity frame 1 (standard identifier, 8 bytes)
 * arrives. Returns 1 when it did. */
static int ReceiveIdentity(void) {
    CanFrameRecord frames[CAPACITY];
    for (int attempt = 0; attempt < ATTEMPTS; ++attempt) {
        const int received = VCI_Receive(DEVICE_TYPE, INDEX, CHANNEL, frames, CAPACITY, WAIT_MS);
        for (int i = 0; i < received; ++i) {
            if (frames[i].ID == 1 && frames[i].ExternFlag == 0 && frames[i].DataLen == 8) {
                printf("ok: identity frame 1 received\n");
                return 1;
            }
        }
    }
    printf("FAILED: no identity frame 1 within %d ms\n", ATTEMPTS * WAIT_MS);
    return 0;
}

int main(void) {
    CanInitRecord init;
    memset(&init, 0, sizeof init);
    init.AccCode = 1;
    init.AccMask = 0x10;
    init.Timing0 = 0xFF;
    init.Timing1 = 0xFF;
    CanFrameRecord request;
    memset(&request, 0, sizeof request);
    request.ID = 6;
    request.DataLen = 8;
    request.Data[0] = 0xFF;
    uint32_t reference = 1000;
    CanErrorRecord error;
    memset(&error, 0, sizeof error);

    int ok =
        Check("VCI_OpenDevice", (long)VCI_OpenDevice(DEVICE_TYPE, INDEX, 0), 1) &&
        Check("VCI_InitCAN", (long)VCI_InitCAN(DEVICE_TYPE, INDEX, CHANNEL, &init), 1) &&
        Check("VCI_StartCAN", (long)VCI_StartCAN(DEVICE_TYPE, INDEX, CHANNEL), 1) &&
        Check("VCI_SetReference",
              (long)VCI_SetReference(DEVICE_TYPE, INDEX, CHANNEL, 3, &reference), 1) &&
        Check("VCI_Transmit", (long)VCI_Transmit(DEVICE_TYPE, INDEX, CHANNEL, &request, 1), 1) &&
        ReceiveIdentity() &&
        Check("VCI_ReadErrInfo", (long)VCI_ReadErrInfo(DEVICE_TYPE, INDEX, CHANNEL, &error), 1) &&
        Check("error code", (long)error.ErrCode, 0);
    if (!Check("VCI_CloseDevice", (long)VCI_CloseDevice(DEVICE_TYPE, INDEX), ok ? 1 : 0)) {
        ok = 0;
    }
    printf(ok ? "1 passed, 0 failed\n" : "0 passed, 1 failed\n");
    return ok ? 0 : 1;
}
