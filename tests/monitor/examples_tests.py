#!/usr/bin/env python3
"""The example programs, loaded from their .hex files and run with GO.

Usage: examples_tests.py TARVORUN ROM EXAMPLES_DIR [EMULATOR...]
"""

import os
import re
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tarvo  # noqa: E402

RUNNER = None
FOLDER = None


def example(name):
    return os.path.join(FOLDER, name + ".hex")


def hex_bytes(path):
    """The bytes of an Intel HEX file by address (data records only)."""
    memory = {}
    with open(path) as f:
        for line in f:
            line = line.strip()
            count, address, kind = int(line[1:3], 16), int(line[3:7], 16), int(line[7:9], 16)
            if kind == 0:
                for i in range(count):
                    memory[address + i] = int(line[9 + 2 * i:11 + 2 * i], 16)
    return memory


# Every key the runner can press: all but TAPE RD and TAPE WR, which open file dialogs.
HEX_KEYS = ["%X" % value for value in range(16)]
OTHER_KEYS = ["+", "-", "ADDR", "DATA", "GO", "STEP", "REG", "PC", "INS", "DEL", "MOVE", "RELA", "SBR", "CBR",
              "USER", "RESET", "MONI", "INTR"]
MONITOR_ADDRESS = r"^([0-9A-F]\.){4}[0-9A-F]{2}$"


class Examples(unittest.TestCase):
    def run_example(self, name, keys, passes=0, settle=None):
        return RUNNER.run("ADDR 1 8 0 0 GO" + (" " + keys if keys else ""), hex_files=[example(name)],
                          passes=passes, settle=settle, port_writes=True)

    def test_counter_counts_up_on_the_left_digits(self):
        counts = []
        for passes in (100000, 400000, 1200000):
            r = self.run_example("counter", "", passes)
            self.assertRegex(r.display, r"^[0-9A-F]{4}  $")
            counts.append(int(r.display[:4], 16))
        self.assertGreater(counts[0], 0)
        self.assertGreater(counts[1], counts[0])
        self.assertGreater(counts[2], counts[1])
        writes, instructions = r.port_writes
        self.assertLess(writes * 1000 / instructions, 1.0)  # it writes only when it counts

    def test_echo_shows_the_hex_keys_from_the_right(self):
        self.assertEqual(self.run_example("echo", "").display, "------")
        self.assertEqual(self.run_example("echo", "1 2 A F 0 9 8").display, "2AF098")
        self.assertEqual(self.run_example("echo", "C + D DATA E").display, "---CDE")  # others ignored

    def test_every_key_does_in_every_example_what_the_readme_says(self):
        # echo takes every keypad key (one it never read would fail the run) and shows the
        # hexadecimal ones; counter and intcount never read the keypad, so a click waits unread
        # (press:) and changes nothing; INTR counts in intcount alone; RESET greets from the
        # monitor and MONI shows where the program was. "Changes nothing" is the display of
        # the same run with the key's settle time as a plain wait.
        setups = {"counter": ("wait:60000", "press:", "0001  "), "echo": ("5", "", "-----5"),
                  "intcount": ("", "press:", "----00")}
        for name, (before, press, unchanged) in setups.items():
            self.assertEqual(self.run_example(name, before + " wait:2000", 1000, 2000).display, unchanged)
            for key in HEX_KEYS + OTHER_KEYS:
                with self.subTest(name=name, key=key):
                    shown = self.run_example(name, before + " " + press + key, 1000, 2000).display
                    if key == "RESET":
                        self.assertEqual(shown, "tAruo ")
                    elif key == "MONI":
                        self.assertRegex(shown, MONITOR_ADDRESS)
                    elif name == "echo" and key in HEX_KEYS:
                        self.assertEqual(shown, "----5" + key)
                    elif name == "intcount" and key == "INTR":
                        self.assertEqual(shown, "----01")
                    else:
                        self.assertEqual(shown, unchanged)

    def test_intcount_counts_intr_presses_through_the_ram_vector(self):
        self.assertEqual(self.run_example("intcount", "").display, "----00")
        self.assertEqual(self.run_example("intcount", "INTR INTR INTR").display, "----03")
        self.assertEqual(self.run_example("intcount", "INTR " * 26).display, "----1A")

    def test_the_listings_in_the_readme_are_the_hex_files(self):
        with open(os.path.join(FOLDER, "README.md")) as f:
            text = f.read()
        for name in ("counter", "echo", "intcount"):
            with self.subTest(name):
                section = text.split("\n## " + name + "\n")[1].split("\n## ")[0]
                listed = {}
                for address, values in re.findall(r"^    ([0-9A-F]{4}): ((?:[0-9A-F]{2} ?)+)$", section, re.M):
                    for i, value in enumerate(values.split()):
                        listed[int(address, 16) + i] = int(value, 16)
                program = hex_bytes(example(name))
                self.assertGreater(len(listed), 50)
                self.assertEqual(listed, {a: program[a] for a in listed})
                self.assertEqual(min(listed), 0x1800)
                # only trailing zero bytes (data space) may be left out
                self.assertTrue(all(program[a] == 0 for a in program if a not in listed and a > max(listed)))
                self.assertTrue(all(a in listed for a in program if a <= max(listed)))

    def test_moni_returns_to_the_monitor_from_each(self):
        for name in ("counter", "echo", "intcount"):
            with self.subTest(name):
                r = self.run_example(name, "MONI")
                self.assertRegex(r.display, MONITOR_ADDRESS)


    def test_reset_forgets_the_clicks_that_counter_never_read(self):
        # counter never reads the keypad, so clicks stay pending in the key
        # matrix through RESET. Each would act at once on the fresh monitor:
        # DEL and INS edit 1800h, GO restarts the program, 5 moves the address.
        program = hex_bytes(example("counter"))
        dump = "%04X:%04X" % (min(program), max(program))
        for clicks in ("press:DEL", "press:INS", "press:GO", "press:5", "press:+ press:DEL press:5 press:INS press:GO"):
            with self.subTest(clicks):
                keys = "ADDR 1 8 0 0 GO " + clicks + " RESET"
                greeting = RUNNER.run(keys, hex_files=[example("counter")], passes=1000)
                self.assertEqual(greeting.display, "tAruo ")
                r = RUNNER.run(keys, hex_files=[example("counter")], passes=100000, dumps=[dump])
                self.assertEqual(r.display, "1.8.0.0.%02X" % program[0x1800])
                self.assertEqual({a: r.byte(a) for a in program}, program)
                # and the keypad still works afterwards
                self.assertEqual(RUNNER.run(keys + " +", hex_files=[example("counter")]).display,
                                 "1.8.0.1.%02X" % program[0x1801])


def main():
    global RUNNER, FOLDER
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    RUNNER = tarvo.Runner(sys.argv[1], sys.argv[2], sys.argv[4:])
    FOLDER = sys.argv[3]
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(Examples)
    return 0 if unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
