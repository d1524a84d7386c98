"""tools/try-media in parts: the facts of the core, the bench and its discs,
the watch of a run, and its report."""
