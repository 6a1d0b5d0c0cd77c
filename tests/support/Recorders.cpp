#include "tests/support/Recorders.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace testsupport {

NotifyRecorder::NotifyRecorder() {
    platform::SetBeepHandler([this] { ++beeps; });
    platform::SetMessageHandler([this](platform::MessageKind kind, const std::string& text) {
        messages.push_back({kind, text});
    });
}

NotifyRecorder::~NotifyRecorder() {
    platform::SetBeepHandler({});
    platform::SetMessageHandler({});
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name(name) {
    const char* current = std::getenv(name);
    hadOld = current != nullptr;
    if (hadOld)
        old = current;
    if (value != nullptr)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (hadOld)
        setenv(name.c_str(), old.c_str(), 1);
    else
        unsetenv(name.c_str());
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qx7mb-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
}

} // namespace testsupport
