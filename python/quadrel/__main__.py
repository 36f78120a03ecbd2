"""python3 -m quadrel: the batch command (see quadrel.batch)."""

import sys

from quadrel.batch import main

sys.exit(main())
