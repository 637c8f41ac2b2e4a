// Whether a file is still held open, for tests that check a file is closed.
#pragma once

#include <filesystem>

namespace quillon::test {

/// True while this process holds `path` open (on Windows: while any process
/// does, which in a test is this one).
bool IsOpenHere(const std::filesystem::path& path);

}  // namespace quillon::test
