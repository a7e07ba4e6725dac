// The name an operator most likely meant when a typed one is unknown: "--user-opn" is one
// letter from "--user-open". Only a near miss is suggested; a word that is far from every name
// gets no guess, since a wrong guess misleads more than none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zk::cli {

// The edits (a character put in, left out, changed, or two neighbours swapped) that turn `a`
// into `b`.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The names of `known` nearest to `typed`, when they are close enough to be a slip of the
// fingers: a quarter of the name's length at most, at least one edit, never more than two. The
// leading dashes do not count, so "-user-open" finds "--user-open".
// Several at the same distance are all returned, in the order given; none when nothing is close.
std::vector<std::string> NearestNames(std::string_view typed,
                                      const std::vector<std::string>& known);

// " did you mean --user-open?" or " did you mean --a or --b?", empty for no names.
std::string DidYouMean(const std::vector<std::string>& names);

}  // namespace zk::cli
