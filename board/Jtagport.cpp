#include "board/Jtagport.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Notify.h"
#include "platform/Registry.h"

#include <algorithm>

namespace {

// root + "/bin", else root + "/bin32"; empty when neither exists.
std::string ToolFolderUnder(const std::string& root) {
    if (root.empty())
        return std::string();
    for (const char* sub : {"/bin", "/bin32"}) {
        if (platform::FolderExists(root + sub))
            return root + sub;
    }
    return std::string();
}

} // namespace

TJtagPort::TJtagPort(int32_t deviceIndex, const std::string& deviceName)
    : deviceIndex(deviceIndex), deviceName(deviceName) {
    const std::string path = platform::ProgramFolder() + JTAG_LIBRARY_NAME;
    if (!library.Load(path)) {
        platform::ShowMessage(platform::MessageKind::Error, "fail to load dll - " + path);
        return;
    }
    if (!LookUpJtagApi(library, api)) {
        platform::ShowMessage(platform::MessageKind::Error, "fail to find some API");
        api = TJtagApi{};
        library.Release();
        return;
    }
    loaded = true;
}

TJtagPort::TJtagPort(const TJtagApi& api, int32_t deviceIndex, const std::string& deviceName)
    : loaded(true), deviceIndex(deviceIndex), deviceName(deviceName), api(api) {}

bool TJtagPort::Open() {
    if (!loaded || !api.open)
        return false;
    Close();
    EnterToolFolder(true);
    linkHandle = api.open(deviceIndex, deviceName.c_str());
    EnterToolFolder(false);
    return linkHandle != 0;
}

void TJtagPort::Close() {
    if (linkHandle != 0 && api.close)
        api.close(linkHandle);
    linkHandle = 0;
}

bool TJtagPort::IsOpen() const {
    return loaded && linkHandle != 0;
}

bool TJtagPort::Write(const uint8_t* bytes, uint32_t count) {
    if (linkHandle == 0 || !api.write)
        return false;
    return api.write(linkHandle, bytes, count) != 0;
}

uint32_t TJtagPort::Read(uint8_t* buffer, uint32_t count, uint32_t limitMs) {
    if (linkHandle == 0 || !api.read)
        return 0;
    const uint32_t start = platform::GetTickCount();
    uint32_t received = 0;
    while (received < count && static_cast<uint32_t>(platform::GetTickCount() - start) < limitMs) {
        const int32_t got = api.read(linkHandle, buffer + received, count - received);
        // A library that claims more than it was asked for cannot make us count past the buffer.
        if (got > 0)
            received += std::min(static_cast<uint32_t>(got), count - received);
    }
    return received;
}

bool TJtagPort::GetInfo(uint8_t* info) {
    if (!loaded || linkHandle == 0 || !api.getInfo)
        return false;
    return api.getInfo(linkHandle, info) != 0;
}

void TJtagPort::EnterToolFolder(bool enter) {
    std::string target;
    if (!enter) {
        target = platform::ProgramFolder();
    } else {
        std::string root;
        if (platform::GetEnv("QUARTUS_ROOTDIR", root))
            target = ToolFolderUnder(root);
        if (target.empty()) {
            root.clear();
            platform::ReadLocalMachineString(platform::RegistryView::Default, "SOFTWARE\\Altera Corporation\\Quartus",
                                             "Quartus Install Directory", root);
            target = ToolFolderUnder(root);
        }
        // Only a platform with a registry of its own records where Quartus lives; elsewhere its absence
        // is normal and the open goes ahead where it is.
        if (target.empty() && platform::HasNativeRegistry())
            platform::ShowMessage(platform::MessageKind::Warning, "Failed to find Quartus installatino folder!");
    }
    if (!target.empty())
        platform::SetWorkingFolder(target);
}
