// VELDARA_JTAG.DLL, hardware edition: the link is the JTAG UART of the control-panel design on a real
// QX7-MB, reached through libjtag_atlantic.so of the Quartus installation found (hardware/QuartusInstall.h).
// Board N (the device number) is on cable N+1, or on the cable its own setting names (see
// hardware/JtagCable.h). Every failure is explained in one line on standard error.
#include "board/JtagApi.h"
#include "board/LinkTable.h"
#include "board/TraceHooks.h"
#include "hardware/AtlanticLink.h"
#include "hardware/JtagCable.h"
#include "hardware/Report.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

#define QX7MB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Every export holds the lock for its whole call: the Quartus library is loaded once, and a link is
// used by one call at a time.
constexpr std::size_t MAX_LINKS = 16;
std::mutex mutex;
TLinkTable<std::unique_ptr<hardware::AtlanticLink>, MAX_LINKS> links;
hardware::JtagAtlanticLibrary atlantic;

hardware::AtlanticLink* Find(uint32_t handle) {
    std::unique_ptr<hardware::AtlanticLink>* link = links.Find(handle);
    return link != nullptr ? link->get() : nullptr;
}

} // namespace

QX7MB_EXPORT uint32_t VELDARA_JtagOpen(int32_t deviceIndex, const char*) {
    jtagtrace::OpenCall trace(deviceIndex, "hardware edition");
    std::lock_guard<std::mutex> guard(mutex);
    hardware::JtagTarget target;
    std::string problem;
    if (!hardware::ChooseTarget(deviceIndex, target, problem)) {
        hardware::ReportFailure(JTAG_LIBRARY_NAME, problem);
        return 0;
    }
    hardware::QuartusInstall install;
    if (!install.Find(hardware::QuartusInstall::JTAG_LIBRARIES, problem) || !atlantic.Load(install, problem)) {
        hardware::ReportFailure(JTAG_LIBRARY_NAME, problem);
        return 0;
    }
    if (links.Full()) {
        hardware::ReportFailure(JTAG_LIBRARY_NAME, "too many open links (" + std::to_string(MAX_LINKS) + ")");
        return 0;
    }
    std::unique_ptr<hardware::AtlanticLink> link = hardware::AtlanticLink::Open(atlantic, target);
    if (!link)
        return 0;
    return trace.Result(links.Add(std::move(link)));
}

QX7MB_EXPORT void VELDARA_JtagClose(uint32_t handle) {
    jtagtrace::Closed(handle);
    std::lock_guard<std::mutex> guard(mutex);
    std::unique_ptr<hardware::AtlanticLink> link;
    links.Remove(handle, link);
}

QX7MB_EXPORT int32_t VELDARA_JtagWrite(uint32_t handle, const uint8_t* bytes, uint32_t count) {
    jtagtrace::WriteCall trace(handle, bytes, count);
    std::lock_guard<std::mutex> guard(mutex);
    hardware::AtlanticLink* link = Find(handle);
    if (link == nullptr || (bytes == nullptr && count != 0))
        return 0;
    return trace.Result(link->Write(bytes, count) ? 1 : 0);
}

QX7MB_EXPORT int32_t VELDARA_JtagRead(uint32_t handle, uint8_t* buffer, uint32_t count) {
    jtagtrace::ReadCall trace(handle, buffer, count);
    std::lock_guard<std::mutex> guard(mutex);
    hardware::AtlanticLink* link = Find(handle);
    if (link == nullptr || buffer == nullptr)
        return 0;
    return trace.Result(static_cast<int32_t>(link->Read(buffer, count)));
}

QX7MB_EXPORT int32_t VELDARA_JtagGetInfo(uint32_t handle, uint8_t* info) {
    std::lock_guard<std::mutex> guard(mutex);
    hardware::AtlanticLink* link = Find(handle);
    std::string text;
    if (link == nullptr || info == nullptr || !link->Describe(text))
        return 0;
    std::memset(info, 0, JTAG_INFO_SIZE);
    std::memcpy(info + JTAG_INFO_TEXT_OFFSET, text.data(),
                std::min(text.size(), JTAG_INFO_SIZE - JTAG_INFO_TEXT_OFFSET - 1));
    return 1;
}
