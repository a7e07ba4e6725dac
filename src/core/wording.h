// A message in both of the programmer's languages: the command line speaks English, the
// programmer window Russian. Both are built at the same place from the same pieces, so that a
// message has one vocabulary and one home; file names, values and the texts of libraries and
// the system go into both as they are.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace zk {

struct Wording {
    std::string english;
    std::string russian;
};

// A piece that reads the same in both: a file name, a value, a library's text.
inline Wording Verbatim(std::string_view text) {
    return {std::string(text), std::string(text)};
}

inline Wording& operator+=(Wording& left, const Wording& right) {
    left.english += right.english;
    left.russian += right.russian;
    return left;
}

inline Wording operator+(Wording left, const Wording& right) {
    return left += right;
}

// What an exception adds for the window: its message in Russian, empty when it has none (the
// window then shows what()).
class RussianWording {
  public:
    const std::string& Russian() const { return russian_; }

  protected:
    RussianWording() = default;
    explicit RussianWording(std::string russian) : russian_(std::move(russian)) {}
    void SetRussian(std::string russian) { russian_ = std::move(russian); }

  private:
    std::string russian_;
};

// The message the window shows for `error`: its Russian wording when it has one.
inline std::string WindowMessage(const std::exception& error) {
    const auto* worded = dynamic_cast<const RussianWording*>(&error);
    return worded != nullptr && !worded->Russian().empty() ? worded->Russian() : error.what();
}

// Both wordings of `error`, to be carried on inside another message.
inline Wording WordingOf(const std::exception& error) {
    return {error.what(), WindowMessage(error)};
}

}  // namespace zk
