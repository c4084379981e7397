// Reading reply fields. Handlers count reply characters from 1, the opening LF being character 1,
// so the reader ID is at 3-4 and data begin at 6. Every field read goes through ReplyField.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tblink {

// Characters `position` .. `position + length - 1` (1-based) of the reply; positions past the
// end are simply missing, so a short reply gives a short (possibly empty) field.
std::string ReplyField(const std::string& reply, int position, int length);

// Reply characters `position`.. read as a number; nullopt unless the field is whole and every
// character is a digit of the base (hexadecimal in upper case, as readers write it), and the
// value fits an int.
std::optional<int> DecimalField(const std::string& reply, int position, int length);
std::optional<int> HexField(const std::string& reply, int position, int length);

// The value of the first 8 characters as upper-case hexadecimal; any other character, and every
// position past the end of the text, counts as digit 0.
std::uint32_t HexToInt32(const std::string& text);

// XORs the 8 bytes written in 16 hex characters with the reader's fixed mask, reversed. Applied
// twice it gives back what it started from.
std::string MaskHex16(const std::string& text);

// Swaps the byte order of an 8-byte value written as 16 hex characters: the text is cut into
// two-character slices from its start (at most eight; a last odd character is a slice of its
// own) and the slices are joined last first. A shorter text is neither padded nor cut further,
// so "A1B2C3D4E5" gives "E5D4C3B2A1" and "ABC" gives "CAB". Characters are not checked.
std::string ReverseHexBytes(const std::string& text);

}  // namespace tblink
