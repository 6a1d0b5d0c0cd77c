#include "cli/DoctorReport.h"

namespace cli {

namespace {

const char* ResultName(CheckResult result) {
    switch (result) {
    case CheckResult::Ok:
        return "ok";
    case CheckResult::Fail:
        return "fail";
    case CheckResult::Skip:
        return "skip";
    }
    return "";
}

} // namespace

DoctorReport::DoctorReport(ToolSession& session, const std::string& edition) : session(session) {
    result.fields["edition"] = edition;
    result.fields["checks"] = nlohmann::json::array();
}

void DoctorReport::Add(const char* id, const std::string& title, CheckResult check, const std::string& text) {
    ++counts[static_cast<int>(check)];
    std::string head = ResultName(check);
    head.resize(6, ' ');
    std::string line = head + title + ": " + text;
    for (char& c : line) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    session.Print(line);
    result.fields["checks"].push_back({{"check", id},
                                       {"title", title},
                                       {"result", ResultName(check)},
                                       {"text", line.substr(head.size() + title.size() + 2)}});
}

CommandResult DoctorReport::Finish() {
    const int failed = counts[static_cast<int>(CheckResult::Fail)];
    result.fields["passed"] = counts[static_cast<int>(CheckResult::Ok)];
    result.fields["failed"] = failed;
    result.fields["skipped"] = counts[static_cast<int>(CheckResult::Skip)];
    if (failed != 0) {
        result.exitCode = EXIT_UNHEALTHY;
        result.error =
            std::to_string(failed) + " of " + std::to_string(result.fields["checks"].size()) + " checks failed";
    }
    return result;
}

} // namespace cli
