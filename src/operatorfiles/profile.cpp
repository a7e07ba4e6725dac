#include "profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <toml++/toml.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <sstream>

#include "boundedread.h"
#include "errors.h"
#include "filehandle.h"
#include "messages.h"
#include "profileshape.h"
#include "pttkeys.h"
#include "repeatername.h"

namespace zk {

namespace {

std::string Where(const std::string& fileName, const toml::source_region& source) {
    return EscapeControls(fileName) + ":" + std::to_string(source.begin.line);
}

// A value as the command line would have it: strings as written, integers in decimal, anything
// else in its TOML form so that the setting's own check rejects it with its usual message.
std::string ValueText(const toml::node& node) {
    if (const auto* text = node.as_string()) {
        return text->get();
    }
    if (const auto* number = node.as_integer()) {
        return std::to_string(number->get());
    }
    if (const auto* flag = node.as_boolean()) {
        return flag->get() ? "true" : "false";
    }
    if (const auto* real = node.as_floating_point()) {
        std::ostringstream out;
        out << real->get();
        return out.str();
    }
    return "(a date or time)";
}

// A line "KEY = VALUE" as the operator wrote it, before TOML made anything of it.
struct WrittenValue {
    std::string key;
    std::string value;
};

// The key and value written on line `line` (from 1) of `text`; the value up to the first blank,
// as codes hold none, and "#" kept in it, since a code may be that very character.
WrittenValue WrittenOnLine(std::string_view text, std::size_t line) {
    for (std::size_t at = 1; at < line && !text.empty(); ++at) {
        const std::size_t end = text.find('\n');
        text.remove_prefix(end == text.npos ? text.size() : end + 1);
    }
    text = text.substr(0, text.find('\n'));
    const std::size_t equals = text.find('=');
    if (equals == text.npos) {
        return {};
    }
    constexpr std::string_view kBlanks = " \t\r";
    const auto trim = [kBlanks](std::string_view part) {
        part.remove_prefix(std::min(part.find_first_not_of(kBlanks), part.size()));
        return part.substr(0, part.find_last_not_of(kBlanks) + 1);
    };
    const std::string_view value = trim(text.substr(equals + 1));
    return {std::string(trim(text.substr(0, equals))),
            std::string(value.substr(0, value.find_first_of(kBlanks)))};
}

// TOML's words in the style of every other message after "file:line: ": lower case first.
std::string AsOurMessage(std::string_view description) {
    std::string text(description);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') {
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    }
    return text;
}

bool IsCodeKey(std::string_view key) {
    const Setting* setting = FindSetting(key);
    return setting != nullptr && setting->kind == SettingKind::Code;
}

// A code is text: TOML reads "0000" as a number it refuses (leading zeroes), "*" and "#" as no
// value at all, and "0x15" or "+15" as the number 21 or 15, which is not the code written.
Wording QuoteAdvice(const WrittenValue& written) {
    return Wording{"a code is written in quotes: ", "код пишется в кавычках: "} +
           Verbatim(written.key + " = \"" + EscapeControls(written.value) + "\"");
}

}  // namespace

GivenSettings ReadFlatToml(std::string_view text, const std::string& fileName,
                           bool (*isKnown)(std::string_view key)) {
    CheckProfileShape(text, fileName);
    toml::table table;
    try {
        table = toml::parse(text, fileName);
    } catch (const toml::parse_error& error) {
        const WrittenValue written = WrittenOnLine(text, error.source().begin.line);
        const bool bareCode = IsCodeKey(written.key) && !written.value.empty() &&
                              written.value[0] != '"' && written.value[0] != '\'';
        // toml++'s own words stay as it gives them, in both languages.
        throw UsageError(
            Verbatim(Where(fileName, error.source()) + ": " + AsOurMessage(error.description())) +
            (bareCode ? Verbatim("; ") + QuoteAdvice(written) : Wording{}));
    }
    GivenSettings given;
    for (auto&& [key, node] : table) {
        const std::string where = Where(fileName, key.source());
        if (!isKnown(key.str())) {
            throw UsageError(Verbatim(where) + Wording{": unknown key ", ": неизвестный ключ "} +
                             Verbatim(Quoted(key.str())));
        }
        const std::string known(key.str());
        if (node.is_table() || node.is_array()) {
            throw UsageError(Verbatim(where + ": " + known) +
                             Wording{": one value is expected", ": нужно одно значение"});
        }
        if (const auto* number = node.as_integer(); number != nullptr && IsCodeKey(known)) {
            const WrittenValue written = WrittenOnLine(text, node.source().begin.line);
            if (written.value != std::to_string(number->get())) {
                const std::string read = std::to_string(number->get());
                throw UsageError(Verbatim(where + ": " + known + ": " + Quoted(written.value)) +
                                 Wording{" is read as the number " + read + "; ",
                                         " читается как число " + read + "; "} +
                                 QuoteAdvice(written));
            }
        }
        given[known] = GivenValue{ValueText(node), where + ": " + known};
    }
    return given;
}

GivenSettings ReadProfile(std::string_view text, const std::string& fileName) {
    return ReadFlatToml(text, fileName, [](std::string_view key) {
        return FindSetting(key) != nullptr || key == kNameKey || IsKeyingKey(key);
    });
}

namespace {

// `value` as a TOML basic string. A checked setting holds no quote, backslash or control
// character, and a checked name no control character; quotes and backslashes are escaped, so
// that the line stays TOML whatever a name or a later setting may hold.
std::string TomlString(const std::string& value) {
    std::string text = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\') {
            text += '\\';
        }
        text += c;
    }
    return text + '"';
}

}  // namespace

std::string ReadProfileFile(const std::string& path, const std::string& subject,
                            ProfileSource source) {
    const auto refuse = [&subject](const std::string& fault) {
        return UsageError(subject.empty() ? fault : subject + ": " + fault);
    };
    // Opened without waiting, so that a named pipe nobody writes to cannot hold the reader; a
    // regular file reads the same either way.
    const bool regularOnly = source == ProfileSource::RegularFileOnly;
    FileHandle file(
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (regularOnly ? O_NONBLOCK : 0)));
    BoundedText read;
    read.error = file.IsOpen() ? 0 : errno;
    if (file.IsOpen() && regularOnly) {
        struct stat status {};
        if (::fstat(file.Descriptor(), &status) != 0) {
            read.error = errno;
        } else if (!S_ISREG(status.st_mode)) {
            throw refuse("Cannot open file \"" + FullPath(path) + "\". Not a regular file");
        }
    }
    if (file.IsOpen() && read.error == 0) {
        read = ReadAtMost(file.Descriptor(), kMaxProfileBytes);
    }
    if (read.error != 0) {
        throw refuse(FileOpenError(FullPath(path), read.error).what());
    }
    return std::move(read.text);
}

std::string ProfileText(const PanelState& panel, const std::optional<std::string>& name) {
    std::string text =
        "# ZK-77q3 repeater settings: zk77q3 play --config FILE sends them; options given on "
        "the\n# command line override them.\n";
    if (name) {
        text += std::string(kNameKey) + " = " + TomlString(*name) + "\n";
    }
    for (const Setting& setting : kSettings) {
        const std::string value = SettingText(panel, setting);
        text += setting.key;
        text += " = ";
        text += IsNumberSetting(setting) ? value : TomlString(value);
        text += '\n';
    }
    return text;
}

ProfileParts SplitProfile(GivenSettings given) {
    ProfileParts parts;
    if (const auto named = given.find(kNameKey); named != given.end()) {
        CheckRepeaterName(named->second.subject, named->second.text);
        parts.name = named->second.text;
        given.erase(named);
    }
    // The transmitter's keying goes with the send, not the settings; it is judged here all the
    // same, so that a profile is good or bad whatever reads it.
    for (auto it = given.begin(); it != given.end();) {
        if (IsKeyingKey(it->first)) {
            parts.keying.insert(*it);
            it = given.erase(it);
        } else {
            ++it;
        }
    }
    CheckKeyingValues(parts.keying);
    parts.settings = std::move(given);
    return parts;
}

NamedSettings ReadProfileFileSettings(const std::string& path) {
    ProfileParts parts =
        SplitProfile(ReadProfile(ReadProfileFile(path, "", ProfileSource::RegularFileOnly), path));
    NamedSettings settings;
    settings.panel = ResolveSettings(parts.settings);
    settings.name = std::move(parts.name);
    settings.keying = std::move(parts.keying);
    return settings;
}

}  // namespace zk
