#pragma once

#include <cstdint>

// What the recording stand-in of the download library remembers of its last VELDARA_JtagDownload call.
// Tests reach it through the extra exports below, loading the same library a second time.
struct FakeDownloadCall {
    char path[1024];
    int32_t arg2;
    uint8_t flag3;
    int32_t arg4;
    int32_t arg5;
    uint8_t flag6;
    uint8_t flag7;
    char workingFolder[4096]; // at the time of the call
};

extern "C" {
using FakeDownload_LastCall_t = const FakeDownloadCall* (*)();
using FakeDownload_CallCount_t = int (*)();
using FakeDownload_SetResult_t = void (*)(uint8_t result);
using FakeDownload_SetVersion_t = void (*)(double version);
}
