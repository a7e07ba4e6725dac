// Loading the help page: a rich-text file into a QTextDocument, the way a rich-edit control
// streams a file in. A stream that does not begin with "{\rtf" or "{\urtf" is read again from the
// start as plain text.
#pragma once

#include <string>
#include <string_view>

#include "streamfile.h"  // StreamLoadError

class QTextDocument;

namespace zk {

// Replaces the contents of `document` with the file `name`, looked for in the current working
// directory. Throws FileOpenError ("Cannot open file "<full path>". <system text>") when the file
// cannot be opened, StreamLoadError ("Failed to Load Stream") when it is neither rich text nor
// plain text; either way `document` is left as it was.
void LoadRichTextFile(QTextDocument& document, const std::string& name);

// The same for a stream already in memory.
void LoadRichText(QTextDocument& document, std::string_view bytes);

// Throws StreamLoadError when LoadRichText would refuse `bytes`; otherwise loading them cannot
// fail. Settles a stream's fate without building its document.
void CheckRichText(std::string_view bytes);

}  // namespace zk
