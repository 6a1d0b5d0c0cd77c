#pragma once

#include "platform/Notify.h"

#include <string>
#include <vector>

namespace testsupport {

struct RecordedMessage {
    platform::MessageKind kind;
    std::string text;
};

// Records every beep and every box of the lower layers while it lives.
class NotifyRecorder {
public:
    NotifyRecorder();
    ~NotifyRecorder();
    NotifyRecorder(const NotifyRecorder&) = delete;
    NotifyRecorder& operator=(const NotifyRecorder&) = delete;

    int beeps = 0;
    std::vector<RecordedMessage> messages;
};

// Sets or unsets an environment variable and restores the old value on destruction.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name;
    std::string old;
    bool hadOld;
};

// A fresh, empty folder under the temp folder, removed with everything in it on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path; }
    std::string operator/(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

} // namespace testsupport
