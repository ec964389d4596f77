// Carries the precompiled headers that every test program reuses; it has
// no code of its own.
