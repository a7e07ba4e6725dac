#include "comparison.h"

#include <exception>
#include <optional>

#include "lastsent.h"

namespace zk::monitor {

namespace {

std::optional<Expectation> ExpectationOf(const ExpectationChoice& choice) {
    switch (choice.source) {
        case ExpectationSource::LastSend: {
            Expectation expectation;
            expectation.array = LastSentArray();
            expectation.from = "last-send";
            return expectation;
        }
        case ExpectationSource::Profile:
            return ExpectationOfProfile(choice.profile);
        case ExpectationSource::Nothing:
            break;
    }
    return std::nullopt;
}

}  // namespace

ReadExpectation ReadExpectationOf(const ExpectationChoice& choice) {
    ReadExpectation read;
    try {
        read.expectation = ExpectationOf(choice);
    } catch (const std::exception& error) {
        read.problem = error.what();
    }
    return read;
}

Comparison Compare(const receive::Packet& packet, const ReadExpectation& expected) {
    Comparison comparison;
    if (!expected.problem.empty()) {
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
