#pragma once
// Reads a type file (JSON, docs/resource-files.md) into TypeFileData, with
// every offset and size resolved and every limit checked.
#include <filesystem>
#include <string>
#include <string_view>

#include "ldrf/type_definitions.h"

namespace vornfmt::ldrf {

inline constexpr int kMaxNodeDepth = 32;
inline constexpr uint32_t kMaxExpandedNodes = 100000;
inline constexpr size_t kMaxNameBytes = 255;
// The codec addresses a type's bits with signed 16-bit offsets: 32,768 bits.
inline constexpr uint32_t kMaxTypeBytes = 4096;
inline constexpr uintmax_t kMaxResourceFileBytes = 64u << 20;

// False with a sentence in error when the text is not a valid type file.
bool ParseTypeFile(std::string_view text, TypeFileData& out, std::string& error);
// The same; a text read by ReadWholeFile is parsed where it lies, others
// are copied first.
bool ParseTypeFile(const std::string& text, TypeFileData& out, std::string& error);

// Reads the whole file (at most kMaxResourceFileBytes) into text, with
// room after it for ParseTypeFile's parser to read ahead.
bool ReadWholeFile(const std::filesystem::path& path, std::string& text, std::string& error);

// Parses "FM:MM:MM:CC:CC:UU:TT:NN" or 16 hexadecimal digits.
bool ParseProgramIdText(std::string_view text, ProgramId& out);

}  // namespace vornfmt::ldrf
