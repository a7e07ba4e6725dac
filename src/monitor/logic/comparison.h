// Each packet the monitor hears, set beside what the operator meant to send: by default the
// programming log's last entry (whether the programmer window or the command line sent it), or
// a profile the operator chose, or nothing. The log is read again for every packet, so that a
// send made while the monitor listens is what its packet is compared with.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "expectation.h"
#include "packet.h"
#include "wording.h"

namespace zk::monitor {

enum class ExpectationSource { LastSend, Profile, Nothing };

// What the operator chose to compare with; `profile` only for ExpectationSource::Profile.
struct ExpectationChoice {
    ExpectationSource source = ExpectationSource::LastSend;
    std::string profile;
};

// Which send a packet is set beside, so that the operator can tell it from an earlier one: the
// log's entry (its number, time and repeater) or the profile's file. Kept with each comparison,
// since the log moves on while older packets stay in the list.
struct ComparedWith {
    ExpectationSource source = ExpectationSource::Nothing;
    std::size_t logEntry = 0;             // LastSend: the entry's number from 1; 0 when unread
    std::string loggedAt;                 // LastSend: the entry's time as logged, ISO 8601 UTC
    std::optional<std::string> repeater;  // LastSend: the repeater's name, when it has one
    std::string profile;                  // Profile: the file's path
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
    Wording problem;  // why it could not be compared, in both languages
    ComparedWith with;
};

// The expectation the choice names, as read now: none for Nothing; `problem` when the log or the
// profile cannot be read (never thrown: the monitor goes on listening).
struct ReadExpectation {
    std::optional<Expectation> expectation;
    Wording problem;
    ComparedWith with;  // what the choice named, as far as it could be read
};
ReadExpectation ReadExpectationOf(const ExpectationChoice& choice);

Comparison Compare(const receive::Packet& packet, const ReadExpectation& expected);

}  // namespace zk::monitor
