// What zk77q3 hands on to zk77q3-receive in its arguments (receiveprogram.h): none of it secret.
#include <string>
#include <vector>

#include "receiveprogram.h"

namespace zk::cli {

namespace {

void AddValue(std::vector<std::string>& arguments, const char* option, const std::string& value) {
    arguments.push_back(std::string(option) + "=" + value);
}

// An option whose empty value means "not given" to the command that reads it.
void AddValueIfGiven(std::vector<std::string>& arguments, const char* option,
                     const std::string& value) {
    if (!value.empty()) {
        AddValue(arguments, option, value);
    }
}

void AddFlag(std::vector<std::string>& arguments, const char* option, bool given) {
    if (given) {
        arguments.emplace_back(option);
    }
}

}  // namespace

std::vector<std::string> ArgumentsHandedOn(const VerifyArguments& verify,
                                           const CommonOptions& common) {
    std::vector<std::string> arguments{"verify"};
    AddValueIfGiven(arguments, "--channel", verify.channel);
    AddValueIfGiven(arguments, "--expect-wav", verify.expectWav);
    AddFlag(arguments, "--expect-last", verify.expectLast);
    AddFlag(arguments, "--json", common.json);
    // The recordings after "--": a name may start with a dash.
    arguments.emplace_back("--");
    arguments.insert(arguments.end(), verify.files.begin(), verify.files.end());
    return arguments;
}

std::vector<std::string> ArgumentsHandedOn(const ListenArguments& listen,
                                           const CommonOptions& common) {
    std::vector<std::string> arguments{"listen"};
    AddValue(arguments, "--rate", listen.rate);
    AddValueIfGiven(arguments, "--count", listen.count);
    AddValueIfGiven(arguments, "--timeout", listen.timeout);
    AddFlag(arguments, "--expect-last", listen.expectLast);
    AddValue(arguments, "--device", common.device);
    AddFlag(arguments, "--json", common.json);
    return arguments;
}

}  // namespace zk::cli
