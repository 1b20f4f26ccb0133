#!/usr/bin/env python3
"""Runs every end-to-end test under Wine (tests/wine/test_*.py) and prints one summary line."""
import os
import sys
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
suite = unittest.defaultTestLoader.discover(here, pattern="test_*.py", top_level_dir=here)
result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
failed = len(result.failures) + len(result.errors)
print("e2e: %d passed, %d failed" % (result.testsRun - failed, failed))
sys.exit(0 if result.wasSuccessful() and result.testsRun > 0 else 1)
