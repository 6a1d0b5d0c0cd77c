#include "config/Download.h"

#include "platform/Files.h"
#include "platform/Notify.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr size_t ExportIndex(std::string_view name) {
    size_t index = 0;
    while (index < std::size(DOWNLOAD_EXPORT_NAMES) && DOWNLOAD_EXPORT_NAMES[index] != name)
        ++index;
    return index;
}

constexpr size_t JTAG_DOWNLOAD = ExportIndex("VELDARA_JtagDownload");
constexpr size_t GET_QUATUS_VERSION = ExportIndex("VELDARA_GetQuatusVersion");
static_assert(JTAG_DOWNLOAD < std::size(DOWNLOAD_EXPORT_NAMES) &&
              GET_QUATUS_VERSION < std::size(DOWNLOAD_EXPORT_NAMES));

} // namespace

TDownload::TDownload() {
    const std::string path = platform::ProgramFolder() + DOWNLOAD_LIBRARY_NAME;
    if (!library.Load(path)) {
        platform::ShowMessage(platform::MessageKind::Error, "fail to load dll - " + path);
        return;
    }
    // Every export is looked up, also after one is missing.
    for (size_t i = 0; i < entryPoints.size(); ++i)
        entryPoints[i] = library.Symbol(DOWNLOAD_EXPORT_NAMES[i]);
    if (std::find(entryPoints.begin(), entryPoints.end(), nullptr) != entryPoints.end()) {
        platform::ShowMessage(platform::MessageKind::Error,
                              "load VELDARA_DOWNLOAD.DLL fail. Cannot find all of desired API");
        entryPoints.fill(nullptr);
        library.Release();
    }
}

TDownload::~TDownload() {
    library.Release();
}

bool TDownload::JtagDownload(const std::string& bitstreamPath, int32_t arg2, uint8_t flag3, int32_t arg4, int32_t arg5,
                             uint8_t flag6, uint8_t flag7) {
    if (!IsLoaded())
        return false;
    const auto download = reinterpret_cast<VELDARA_JtagDownload_t>(entryPoints[JTAG_DOWNLOAD]);
    return download(bitstreamPath.c_str(), arg2, flag3, arg4, arg5, flag6, flag7) != 0;
}

double TDownload::GetQuatusVersion() {
    if (!IsLoaded())
        return 0.0;
    return reinterpret_cast<VELDARA_GetQuatusVersion_t>(entryPoints[GET_QUATUS_VERSION])();
}
