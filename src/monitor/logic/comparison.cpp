#include "comparison.h"

#include <exception>
#include <optional>

#include "lastsent.h"

namespace zk::monitor {

ReadExpectation ReadExpectationOf(const ExpectationChoice& choice) {
    ReadExpectation read;
    read.with.source = choice.source;
    try {
        switch (choice.source) {
            case ExpectationSource::LastSend: {
                const LastSend last = ReadLastSend();
                Expectation expectation;
                expectation.array = last.array;
                expectation.from = "last-send";
                read.expectation = expectation;
                read.with.logEntry = last.entry;
                read.with.loggedAt = last.time;
                read.with.repeater = last.name;
                break;
            }
            case ExpectationSource::Profile:
                read.with.profile = choice.profile;
                read.expectation = ExpectationOfProfile(choice.profile);
                break;
            case ExpectationSource::Nothing:
                break;
        }
    } catch (const std::exception& error) {
        read.problem = WordingOf(error);
    }
    return read;
}

Comparison Compare(const receive::Packet& packet, const ReadExpectation& expected) {
    Comparison comparison;
    comparison.with = expected.with;
    if (!expected.problem.english.empty()) {
        comparison.outcome = ComparisonOutcome::Unavailable;
        comparison.problem = expected.problem;
        return comparison;
    }
    if (!expected.expectation) {
        return comparison;
    }
    comparison.differences = Differences(*expected.expectation, packet.bytes);
    comparison.outcome = Matches(packet, expected.expectation) ? ComparisonOutcome::AsSent
                                                               : ComparisonOutcome::Different;
    return comparison;
}

}  // namespace zk::monitor
