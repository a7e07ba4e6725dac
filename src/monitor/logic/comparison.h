// Each packet the monitor hears, set beside what the operator meant to send: by default the
// programming log's last entry (whether the programmer window or the command line sent it), or
// a profile the operator chose, or nothing. The log is read again for every packet, so that a
// send made while the monitor listens is what its packet is compared with.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "expectation.h"
#include "packet.h"

namespace zk::monitor {

enum class ExpectationSource { LastSend, Profile, Nothing };

// What the operator chose to compare with; `profile` only for ExpectationSource::Profile.
struct ExpectationChoice {
    ExpectationSource source = ExpectationSource::LastSend;
    std::string profile;
};

enum class ComparisonOutcome {
    NotCompared,  // nothing chosen to compare with
    AsSent,       // a valid packet, every byte as meant
    Different,    // a packet that is not what was meant: `differences`, or a bad packet
    Unavailable,  // what to compare with could not be read: `problem`
};

struct Comparison {
    ComparisonOutcome outcome = ComparisonOutcome::NotCompared;
    std::vector<Difference> differences;
    std::string problem;
};

// The expectation the choice names, as read now: none for Nothing; `problem` when the log or the
// profile cannot be read (never thrown: the monitor goes on listening).
struct ReadExpectation {
    std::optional<Expectation> expectation;
    std::string problem;
};
ReadExpectation ReadExpectationOf(const ExpectationChoice& choice);

Comparison Compare(const receive::Packet& packet, const ReadExpectation& expected);

}  // namespace zk::monitor
