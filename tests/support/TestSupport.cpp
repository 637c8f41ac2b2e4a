// Anchor for the shared test doubles library.
