// --help as wide as the operator's terminal. CLI11 prints each description on one line however
// long it is; here every long line is broken at blanks and continued under its description.
#pragma once

#include <string>
#include <string_view>

namespace zk::cli {

// Off a terminal (a pipe, a file, a manual page's check), as most tools do.
inline constexpr int kHelpColumnsOffTerminal = 80;
// Narrower than this, the descriptions' column would leave no room for words.
inline constexpr int kNarrowestHelpColumns = 40;

// The width to wrap --help at: $COLUMNS when it holds a number (as a shell exports it, or set
// by hand), else the width of the terminal on standard output, else kHelpColumnsOffTerminal;
// never below kNarrowestHelpColumns.
int HelpColumns();

// `help` with every line longer than `columns` broken at blanks. An option's description goes
// on under the description's column (or a quarter of the width, when that column lies past
// the middle), other text under the line's own indentation. A continued line never starts with
// a word beginning with "-", so that it is not read as an option's line. A word longer than the
// width is left whole.
std::string WrapHelp(std::string_view help, int columns);

}  // namespace zk::cli
