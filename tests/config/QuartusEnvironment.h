#pragma once

#include "platform/DynamicLibrary.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "tests/config/fakelibs/FakeDownloadRecording.h"
#include "tests/support/Recorders.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>

// A machine without Quartus, seen by one test: an empty program folder of its own, no Quartus
// variables, a registry file that does not exist yet, the C locale, and every box recorded.
class QuartusEnvironment : public ::testing::Test {
protected:
    QuartusEnvironment() { platform::SetProgramFolder(program.Path()); }
    ~QuartusEnvironment() override { platform::SetProgramFolder(""); }

    void WriteRegistry(const std::string& version) {
        std::ofstream(registryFile) << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Altera Corporation\\Quartus]\n"
                                    << "Quartus Version=" << version << "\n";
    }
    // Puts the recording download library into the program's folder, held by the test so that the
    // version it reports stays set while the code under test loads and releases it.
    void InstallRecordingLibrary(double version) {
        const std::string copy = program / "VELDARA_DOWNLOAD.DLL";
        std::filesystem::copy_file(QX7MB_TESTLIBS_DIR "/download-recording/VELDARA_DOWNLOAD.DLL", copy);
        ASSERT_TRUE(heldLibrary.Load(copy));
        reinterpret_cast<FakeDownload_SetVersion_t>(heldLibrary.Symbol("FakeDownload_SetVersion"))(version);
    }
    // Switches to a locale whose decimal separator is a comma (wrap in ASSERT_NO_FATAL_FAILURE).
    void UseCommaLocale() {
        commaLocale.emplace("LC_ALL", "de_DE.UTF-8");
        ASSERT_EQ(platform::DecimalSeparator(), ",") << "locale de_DE.UTF-8 missing: run scripts/install-deps.sh";
    }
    std::string ReadFile(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    testsupport::TempFolder program;
    testsupport::TempFolder elsewhere;
    std::string registryFile = elsewhere / "registry.ini";
    testsupport::ScopedEnv registry{"QX7MB_REGISTRY", registryFile.c_str()};
    testsupport::ScopedEnv root{"QUARTUS_ROOTDIR", nullptr};
    testsupport::ScopedEnv nios{"SOPC_KIT_NIOS2", nullptr};
    testsupport::ScopedEnv qsys{"QSYS_ROOTDIR", nullptr};
    // Where "system.log" goes when the program's folder cannot take it: never the user's own.
    std::string stateFolder = elsewhere / "state";
    testsupport::ScopedEnv state{"XDG_STATE_HOME", stateFolder.c_str()};
    testsupport::ScopedEnv locale{"LC_ALL", "C"};
    std::optional<testsupport::ScopedEnv> commaLocale;
    testsupport::NotifyRecorder notes;
    platform::DynamicLibrary heldLibrary;
};
