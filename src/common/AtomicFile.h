#pragma once
// Whole-file reads and crash-safe whole-file writes for the office's small state files.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace miradel {

// Reads the whole file; nullopt when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path);

// Replaces the file's content in one step: the bytes go to a temporary file in the same
// folder, are flushed to disk, and the temporary file is renamed over the old one. A power
// cut leaves either the old file or the new one, never a torn one. Returns an empty string
// on success, otherwise what failed (for the engineer; callers decide what the operator sees).
std::string WriteFileAtomically(const std::filesystem::path& path, const uint8_t* data,
                                std::size_t size);

inline std::string WriteFileAtomically(const std::filesystem::path& path,
                                       const std::vector<uint8_t>& bytes) {
    return WriteFileAtomically(path, bytes.data(), bytes.size());
}

// Appends bytes to a file, creating it; false when it cannot be opened or written.
bool AppendToFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace miradel
