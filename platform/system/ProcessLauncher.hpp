// Starting sibling programs and opening documents with the desktop's viewer.
#pragma once

#include <filesystem>

namespace quillon::sys {

class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;
    /// Starts `executable` without arguments, in the caller's working directory and
    /// environment, and does not wait for it. Returns false when it could not be started.
    virtual bool StartProcess(const std::filesystem::path& executable) = 0;
};

class DocumentOpener {
  public:
    virtual ~DocumentOpener() = default;
    /// Asks the desktop to open `document` with its registered viewer.
    /// Returns false when the document could not be handed over.
    virtual bool OpenDocument(const std::filesystem::path& document) = 0;
};

/// Starts processes with posix_spawn.
class SpawnProcessLauncher final : public ProcessLauncher {
  public:
    bool StartProcess(const std::filesystem::path& executable) override;
};

/// Opens documents with xdg-open; a missing document is a failure.
class DesktopDocumentOpener final : public DocumentOpener {
  public:
    bool OpenDocument(const std::filesystem::path& document) override;
};

}  // namespace quillon::sys
