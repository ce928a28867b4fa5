#!/usr/bin/env python3
"""Assembles committed sources again and compares the results with the
committed files, byte for byte. Exits 77 (skipped) without pasmo.

  check_assembly.py rom PASMO monitor.asm tarvo-rom.bin WORKDIR
      the monitor's source gives exactly the committed ROM image;
  check_assembly.py examples PASMO EXAMPLES_DIR WORKDIR
      each examples/NAME.asm gives exactly examples/NAME.hex.

PASMO may be empty: pasmo is then looked for on the PATH.
"""

import glob
import os
import shutil
import subprocess
import sys


def find_pasmo(given):
    if given and os.path.isfile(given):
        return given
    return shutil.which("pasmo")


def assemble(pasmo, fmt, source, output):
    # pasmo resolves INCLUDE against the working folder: run it in the source's.
    done = subprocess.run([pasmo, fmt, os.path.basename(source), output], cwd=os.path.dirname(source),
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, universal_newlines=True)
    if done.returncode != 0:
        print("pasmo failed on %s:\n%s" % (source, done.stdout))
        return False
    return True


def same(built, committed):
    with open(built, "rb") as f:
        a = f.read()
    with open(committed, "rb") as f:
        b = f.read()
    if a == b:
        return True
    first = next((i for i in range(min(len(a), len(b))) if a[i] != b[i]), min(len(a), len(b)))
    print("%s differs from %s: %d and %d bytes, first difference at byte %d (%04Xh)"
          % (committed, built, len(b), len(a), first, first))
    return False


def main():
    if len(sys.argv) < 2 or sys.argv[1] not in ("rom", "examples"):
        print(__doc__)
        return 2
    pasmo = find_pasmo(sys.argv[2])
    if pasmo is None:
        print("pasmo is not installed: skipped")
        return 77
    if sys.argv[1] == "rom":
        source, committed, work = (os.path.abspath(p) for p in sys.argv[3:6])
        os.makedirs(work, exist_ok=True)
        built = os.path.join(work, "tarvo-rom.bin")
        if not assemble(pasmo, "--bin", source, built) or not same(built, committed):
            print("Assemble the monitor again and commit the image: pasmo --bin monitor.asm tarvo-rom.bin")
            return 1
        print("%s: %d bytes, as the source gives them" % (committed, os.path.getsize(committed)))
        return 0
    folder, work = (os.path.abspath(p) for p in sys.argv[3:5])
    os.makedirs(work, exist_ok=True)
    sources = sorted(glob.glob(os.path.join(folder, "*.asm")))
    if not sources:
        print("no examples in %s" % folder)
        return 1
    failures = 0
    for source in sources:
        name = os.path.splitext(os.path.basename(source))[0]
        built = os.path.join(work, name + ".hex")
        committed = os.path.join(folder, name + ".hex")
        if not os.path.isfile(committed):
            print("%s has no %s.hex" % (source, name))
            failures += 1
        elif not assemble(pasmo, "--hex", source, built) or not same(built, committed):
            print("Assemble it again: pasmo --hex %s.asm %s.hex" % (name, name))
            failures += 1
        else:
            print("%s.hex: as %s.asm gives it" % (name, name))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
