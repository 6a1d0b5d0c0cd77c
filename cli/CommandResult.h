#pragma once

#include "cli/ExitCodes.h"

#include <nlohmann/json.hpp>
#include <string>
#include <utility>

namespace cli {

// What a command hands back: its exit code, its results (the fields of the JSON object, also when
// it failed part-way) and, on failure, one line saying what went wrong.
struct CommandResult {
    int exitCode = EXIT_OK;
    std::string error;
    nlohmann::json fields = nlohmann::json::object();

    static CommandResult Failure(int code, std::string error, nlohmann::json fields = nlohmann::json::object()) {
        return {code, std::move(error), std::move(fields)};
    }
};

} // namespace cli
