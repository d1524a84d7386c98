"""tools/try-media and tools/try-matrix in parts: the facts of the core, the
bench and its discs, the prepared prefixes, the watch of a run, its report,
the matrix report, and what their command lines share."""
