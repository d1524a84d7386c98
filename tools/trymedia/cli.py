"""What try-media and try-matrix share on their command lines: wrong usage,
and the report folder given as --out."""

import os
import sys


def usage_error(parser, text):
    """Ends the program with its usage, the fault, and exit code 2."""
    parser.print_usage(sys.stderr)
    print("%s: %s" % (os.path.basename(parser.prog), text), file=sys.stderr)
    sys.exit(2)


def is_replaceable(folder, mark):
    """True for an empty folder, or one that holds an earlier report (its
    file `mark`): never a folder of the user's."""
    return os.path.isdir(folder) and (not os.listdir(folder) or os.path.isfile(os.path.join(folder, mark)))
