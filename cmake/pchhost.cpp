// Intentionally empty: the target that owns this file exists to build the precompiled headers
// that the other targets reuse.
