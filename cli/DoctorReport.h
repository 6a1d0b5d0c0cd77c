#pragma once

#include "cli/CommandResult.h"
#include "cli/ToolSession.h"

#include <string>

namespace cli {

enum class CheckResult { Ok, Fail, Skip };

// The doctor's report: one line per check, "ok", "fail" (with what to do) or "skip" (it could not be
// made, because of a failure above or a state that makes it pointless), printed as each check ends.
class DoctorReport {
public:
    DoctorReport(ToolSession& session, const std::string& edition);

    void Add(const char* id, const std::string& title, CheckResult result, const std::string& text);
    // Exit code 0 when no check failed, 4 when one did; the checks as JSON.
    CommandResult Finish();

private:
    ToolSession& session;
    CommandResult result;
    int counts[3] = {0, 0, 0};
};

} // namespace cli
