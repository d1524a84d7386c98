"""The tools of a disc's release: its manifest, written and read."""
