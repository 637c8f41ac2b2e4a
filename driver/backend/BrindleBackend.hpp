// Registration of the "brindle" backend with the adapter library.
#pragma once

namespace brindle {

/// Registers "brindle" (KELVIX_ADAPTER=brindle[:options]); idempotent.
void RegisterBrindleBackend();

}  // namespace brindle
