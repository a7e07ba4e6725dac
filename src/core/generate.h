// The generate action: the window's settings become the 64-byte transfer array.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "_2GL.h"
#include "controlpanel.h"

namespace zk {

// Reads every parameter from `panel`, validates and encodes the five access codes, fills the
// transfer array, adds the check word when CheckBox_RasKS is checked, and refreshes the status
// line and the listings. A rejected code paints its edit yellow, shows its message and ends the
// run at once, leaving every later field and all listings as they were.
void GenerateTransferArray(ControlPanel& panel);

// The 64-line listing of the whole array: index right-aligned in two, a space, the byte in hex.
void ListTransferArray(TextLines& lines);

// The same listing of any 64 bytes (a message heard back), line by line.
std::vector<std::string> ArrayListing(const std::array<std::uint8_t, kTransferSize>& bytes);

// The diagnostic listing of bytes 0..20 as they stand, nothing computed: index right-aligned in
// three, two spaces, the byte in hex.
void ListFirstBytes(TextLines& lines);

}  // namespace zk
