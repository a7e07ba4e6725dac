#include "profileshape.h"

#include <vector>

#include "messages.h"

namespace zk {

namespace {

// One pass over a profile's text that follows TOML's strings, comments, table headers and
// brackets just far enough to know how deep each key would sit. It stops at the first place
// that is too deep; a text that is not TOML is left to the reader to report.
class NestingScan {
  public:
    explicit NestingScan(std::string_view text) : text_(text) {}

    // The line of the first place deeper than kMaxProfileNesting, or 0 when there is none.
    int FirstTooDeepLine() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                lineStart_ = true;
                NextItem();
                ++pos_;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
                continue;
            }
            const bool atLineStart = lineStart_;
            lineStart_ = false;
            if (c == '#') {
                SkipComment();
            } else if (c == '"' || c == '\'') {
                SkipString(c);
            } else if (c == '[' && atLineStart && open_.empty() && !inHeader_) {
                StartHeader();
            } else if (c == '[' || c == '{') {
                Open();
            } else if (c == ']' || c == '}') {
                Close();
            } else if (c == '.') {
                dots_ += inValue_ ? 0 : 1;  // a value's dots (1.5, a time) make no level
                ++pos_;
            } else if (c == '=') {
                inValue_ = true;
                ++pos_;
            } else if (c == ',') {
                NextItem();
                ++pos_;
            } else {
                ++pos_;
            }
            if (Depth() > kMaxProfileNesting) {
                return line_;
            }
        }
        return 0;
    }

  private:
    // Where a key being read would sit: its container's depth and its segments so far.
    int Depth() const { return base_ + dots_ + 1; }

    bool InArray() const { return !open_.empty() && open_.back().array; }

    // After a comma or a line break: an array's next value, or the next key.
    void NextItem() {
        dots_ = 0;
        inValue_ = InArray();
    }

    void SkipComment() {
        while (pos_ < text_.size() && text_[pos_] != '\n') {
            ++pos_;
        }
    }

    bool Triple(char quote) const {
        return text_.substr(pos_, 3) == std::string_view(quote == '"' ? "\"\"\"" : "'''");
    }

    // A string from its opening quote to just past its end. A one-line string ends at its line's
    // end at the latest (TOML refuses it there); a multi-line one ends at its run of three to
    // five quotes, as TOML reads `""""` as a quote and the end.
    void SkipString(char quote) {
        const bool multiLine = Triple(quote);
        pos_ += multiLine ? 3 : 1;
        const bool escapes = quote == '"';
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                if (!multiLine) {
                    return;
                }
                ++line_;
            } else if (escapes && c == '\\') {
                ++pos_;
                if (pos_ < text_.size() && text_[pos_] == '\n') {
                    ++line_;
                }
            } else if (c == quote && !multiLine) {
                ++pos_;
                return;
            } else if (c == quote && Triple(quote)) {
                while (pos_ < text_.size() && text_[pos_] == quote) {
                    ++pos_;
                }
                return;
            }
            ++pos_;
        }
    }

    // "[a.b]" or "[[a.b]]": the keys below it sit as deep as its segments.
    void StartHeader() {
        inHeader_ = true;
        inValue_ = false;
        base_ = 0;
        dots_ = 0;
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '[') {
            ++pos_;
        }
    }

    // An array or inline table one level below the key it stands for: an array holds values,
    // an inline table keys.
    void Open() {
        const bool array = text_[pos_] == '[';
        open_.push_back({base_, array});
        base_ = Depth();
        dots_ = 0;
        inValue_ = array;
        ++pos_;
    }

    // What follows a closing bracket is a comma or the line's end, as after any value.
    void Close() {
        if (!open_.empty()) {
            base_ = open_.back().base;
            open_.pop_back();
        } else if (inHeader_) {
            base_ = Depth();
            inHeader_ = false;
        }
        dots_ = 0;
        inValue_ = true;
        ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool lineStart_ = true;
    bool inHeader_ = false;
    struct Bracket {
        int base;  // base_ of the key or value the bracket stands for
        bool array;
    };

    int base_ = 0;               // the depth of the table or array the current key is in
    int dots_ = 0;               // the dots of the key being read
    bool inValue_ = false;       // after "=" or inside an array: dots are no key's
    std::vector<Bracket> open_;  // never deeper than the limit
};

}  // namespace

Wording TooLargeMessage(const std::string& fileName) {
    const std::string name = EscapeControls(fileName);
    return {"profile " + name + " is larger than 1 MiB: refused",
            "Профиль " + name + " больше 1 МиБ: не принят"};
}

void CheckProfileShape(std::string_view text, const std::string& fileName) {
    if (text.size() > kMaxProfileBytes) {
        throw UsageError(TooLargeMessage(fileName));
    }
    if (const int line = NestingScan(text).FirstTooDeepLine(); line != 0) {
        const std::string levels = std::to_string(kMaxProfileNesting);
        throw UsageError(Verbatim(EscapeControls(fileName) + ":" + std::to_string(line)) +
                         Wording{": keys nest deeper than " + levels + " levels: refused",
                                 ": ключи вложены глубже " + levels + " уровней: не принято"});
    }
}

}  // namespace zk
