// Replacing a small file so that a crash or a power cut at any moment leaves
// either the old or the new content under its name, never a short or mixed one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace quillon::sys {

/// Makes `file` hold exactly `bytes`. When `file` is a symbolic link, the file
/// it points at is replaced and the link stays. The bytes go to a temporary
/// file of a name no other save uses, in the same directory, which is flushed
/// to disk and renamed over the target; the directory is flushed after the
/// rename. Temporary files left by saves that were killed are removed first.
/// Returns an empty string on success, else what failed and where, e.g.
/// "cannot create a temporary copy of /opt/q/QXCfg.dat: Permission denied"; the
/// previous file is then as it was.
std::string ReplaceFileBytes(const std::filesystem::path& file,
                             std::span<const std::uint8_t> bytes);

/// Empty when ReplaceFileBytes(file, ...) can be expected to succeed: the
/// temporary copy can be created beside the file's final target (and is
/// removed again at once) and nothing but a regular file is in the target's
/// place. Otherwise the failure the save would report, in the same words.
/// Callers check this before they change anything a save must record.
std::string ReplaceFileProblem(const std::filesystem::path& file);

/// True for the name of a temporary file a save of `target` creates.
bool IsTemporaryNameOf(const std::string& name, const std::string& target);

}  // namespace quillon::sys
