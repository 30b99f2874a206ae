// The targets that compile the precompiled headers have no code of their own.
