// Values as messages show them: the operator's, a profile's and a file's texts reach the
// terminal and the window made safe (no escape sequence or line break raw) and short (no flood).
#pragma once

#include <string>
#include <string_view>

namespace zk {

// `text` with control characters (C0, DEL, C1) and malformed UTF-8 bytes written as \xHH.
std::string EscapeControls(std::string_view text);

// A value as a message shows it: escaped, cut after 64 characters with "…", in double quotes.
std::string Quoted(std::string_view value);

}  // namespace zk
