#pragma once
// The message boxes of a fuzzed link, answered unseen with their defaults.
#include "platform/MessageService.h"

#include <optional>
#include <string>

namespace orv {

class TSilentMessages : public TMessageService {
public:
    int Show(const TMessageRequest &Request) override { return DefaultAnswer(Request); }
    bool InputQuery(const std::string &, const std::string &, std::string &) override {
        return false;
    }
    std::optional<std::string> ChooseFile(const TFileRequest &) override { return std::nullopt; }
};

} // namespace orv
