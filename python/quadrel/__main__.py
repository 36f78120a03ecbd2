# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""python3 -m quadrel: the batch command (see quadrel.batch)."""

import sys

from quadrel.batch import main

sys.exit(main())
