// DTMF access codes: one symbol or four, from 0 1 2 3 4 5 6 7 8 9 A B C D * #.
#pragma once

#include <string>

namespace zk {

// The sixteen symbols by value: a code byte's low four bits index this.
inline constexpr char kCodeSymbols[] = "0123456789ABCD*#";

inline constexpr const char* kCodeLengthMessage = " код должен иметь одну или 4 цифры";
inline constexpr const char* kCodeSymbolMessage =
    " символы должны быть:   0,1,2,3,4,5,6,7,8,9,A,B,C,D,*,#";

// Why a code is refused. The window shows each kind with its own fixed text; the command line
// words them in English.
enum class CodeFault { None, Length, Symbol };

// Trims `code` (characters up to 0x20 at both ends), rewrites A B C D * # as : ; < = > ? so that
// every symbol is 0x30 plus its value, and returns why it is refused, if it is. A symbol fault
// outranks a length fault.
CodeFault CheckAccessCode(std::string& code);

// CheckAccessCode with the window's text for the fault; empty means valid.
std::string ValidateAccessCode(std::string& code);

// Writes a validated, normalised code into the field starting at `firstByte`: four symbols as
// 0x80 + value each, one symbol as 0xC0 + value in the first byte only (the other three keep
// what they held).
void EncodeAccessCode(const std::string& code, int firstByte);

}  // namespace zk
