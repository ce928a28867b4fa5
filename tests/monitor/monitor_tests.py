#!/usr/bin/env python3
"""The monitor ROM on the board, driven through tarvorun's keypad.

Usage: monitor_tests.py TARVORUN ROM GROUP [EMULATOR...]

GROUP is one of the test classes below (Entry, Go, StepKinds, StepPhases,
Breakpoints, Moni, Registers, Editing, Reset, Idle). Programs are given as
bytes with their Z80 source beside them, so that no assembler is needed.
"""

import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tarvo  # noqa: E402  (the runner helper beside this file)

RUNNER = None  # set in main

# The saved registers of the user program (the monitor's RAM, see the README).
REGS = 0x27B0
REG_OFFSETS = {"AF": 0, "BC": 2, "DE": 4, "HL": 6, "AF'": 8, "BC'": 10, "DE'": 12, "HL'": 14,
               "IX": 16, "IY": 18, "SP": 20, "PC": 24}


def saved_registers(result):
    """The user program's registers as the monitor saved them."""
    regs = {name: result.word(REGS + offset) for name, offset in REG_OFFSETS.items()}
    regs["A"] = regs["AF"] >> 8
    regs["F"] = regs["AF"] & 0xFF
    regs["B"] = regs["BC"] >> 8
    regs["IFF"] = result.byte(REGS + 22)
    regs["I"] = result.byte(REGS + 23)
    return regs


def addr_keys(address):
    return "ADDR " + " ".join("%X" % ((address >> s) & 15) for s in (12, 8, 4, 0))


def shown(address, byte):
    """The display in address mode: four address digits with points, the byte."""
    return "".join("%X." % ((address >> s) & 15) for s in (12, 8, 4, 0)) + "%02X" % byte


def shown_data(address, byte):
    return "%04X" % address + "%X.%X." % (byte >> 4, byte & 15)


REG_DUMP = "%04X:%04X" % (REGS, REGS + 25)


class MonitorCase(unittest.TestCase):
    def run_board(self, keys="", **kwargs):
        kwargs.setdefault("dumps", [])
        kwargs["dumps"] = list(kwargs["dumps"]) + [REG_DUMP]
        return RUNNER.run(keys, **kwargs)


class Entry(MonitorCase):
    """Address and data mode: entering a program and reading it back."""

    def test_a_program_typed_in_is_in_memory(self):
        # LD A,3Eh; INC A; JR $  typed with ADDR, DATA and +
        r = self.run_board("ADDR 1 8 0 0 DATA 3 E + 3 E + 3 C + 1 8 + F E",
                           dumps=["1800:1805"])
        self.assertEqual(r.memory(0x1800, 6), [0x3E, 0x3E, 0x3C, 0x18, 0xFE, 0x00])
        self.assertEqual(r.display, shown_data(0x1804, 0xFE))

    def test_first_key_starts_the_field_then_digits_shift_in_from_the_right(self):
        self.assertEqual(self.run_board("ADDR 1 2 3 4 5").display, shown(0x2345, 0))
        self.assertEqual(self.run_board("ADDR 2 ADDR 1 9").display, shown(0x0019, RUNNER.rom_bytes[0x19]))
        # data: a third digit pushes the first one out
        r = self.run_board("ADDR 1 8 0 0 DATA 1 2 3", dumps=["1800:1800"])
        self.assertEqual(r.memory(0x1800, 1), [0x23])
        # after +, the first key starts the byte afresh
        r = self.run_board("ADDR 1 8 0 0 DATA 7 + 5", dumps=["1800:1801"])
        self.assertEqual(r.memory(0x1800, 2), [0x07, 0x05])

    def test_decimal_points_mark_the_field_being_entered(self):
        r = self.run_board("ADDR 1 8 0 0", segments=True)
        self.assertEqual([p & 0x40 for p in r.segments], [0x40] * 4 + [0] * 2)
        r = self.run_board("ADDR 1 8 0 0 DATA", segments=True)
        self.assertEqual([p & 0x40 for p in r.segments], [0] * 4 + [0x40] * 2)
        r = self.run_board("ADDR 1 8 0 0 DATA ADDR", segments=True)
        self.assertEqual([p & 0x40 for p in r.segments], [0x40] * 4 + [0] * 2)

    def test_plus_and_minus_keep_the_mode(self):
        r = self.run_board("ADDR 1 8 1 0 - -")
        self.assertEqual(r.display, shown(0x180E, 0))
        r = self.run_board("ADDR 1 8 1 0 DATA + + -")
        self.assertEqual(r.display, shown_data(0x1811, 0))
        r = self.run_board("ADDR 0 0 0 0 -")
        self.assertEqual(r.display, shown(0xFFFF, 0xFF))

    def test_the_display_shows_what_memory_holds(self):
        # ROM: the typed byte does not land; the display shows the ROM byte.
        rom_byte = RUNNER.rom_bytes[0x0000]
        self.assertNotEqual(rom_byte, 0x5A)
        r = self.run_board("ADDR 0 0 0 0 DATA 5 A", dumps=["0000:0000"])
        self.assertEqual(r.memory(0x0000, 1), [rom_byte])
        self.assertEqual(r.display, shown_data(0x0000, rom_byte))
        # unmapped memory reads FFh whatever is written
        r = self.run_board("ADDR 3 0 0 0 DATA 1 2")
        self.assertEqual(r.display, shown_data(0x3000, 0xFF))
        # the single byte at 0800h is RAM
        r = self.run_board("ADDR 0 8 0 0 DATA 4 2")
        self.assertEqual(r.display, shown_data(0x0800, 0x42))


class Go(MonitorCase):
    """GO runs the program from the address shown, with the saved registers."""

    def test_go_runs_from_the_address_shown(self):
        program = [0x3E, 0x77,        # 1900: LD A,77h
                   0x32, 0x00, 0x1A,  #       LD (1A00h),A
                   0x18, 0xFE]        #       JR $
        r = self.run_board(addr_keys(0x1900) + " GO", loads=[(0x1900, program)],
                           dumps=["1A00:1A00"], regs=True)
        self.assertEqual(r.memory(0x1A00, 1), [0x77])
        self.assertEqual(r.cpu["PC"], 0x1905)

    def test_go_loads_the_saved_registers(self):
        program = [0xED, 0x43, 0x00, 0x1A,  # LD (1A00h),BC
                   0xED, 0x73, 0x02, 0x1A,  # LD (1A02h),SP
                   0xDD, 0x22, 0x04, 0x1A,  # LD (1A04h),IX
                   0xF5,                    # PUSH AF
                   0x18, 0xFE]              # JR $
        keys = ("REG 1 DATA 1 2 3 4 + + + + + + + DATA A 5 5 A + + DATA 2 6 0 0 "
                "REG 0 DATA C 3 F F ADDR 1 8 0 0 GO")
        r = self.run_board(keys, loads=[(0x1800, program)], dumps=["1A00:1A05", "25FE:25FF"])
        self.assertEqual(r.memory(0x1A00, 6), [0x34, 0x12, 0x00, 0x26, 0x5A, 0xA5])
        self.assertEqual(r.memory(0x25FE, 2), [0xFF, 0xC3])  # F then A, pushed at the SP given

    def test_go_with_interrupts_enabled_in_the_saved_state(self):
        # IM 1, then wait; INTR reaches the default vector, which stops the
        # program and shows where: the interrupt only arrives if GO did EI.
        program = [0xED, 0x56, 0x18, 0xFE]  # IM 1; JR $
        r = self.run_board("REG B DATA 1 ADDR 1 8 0 0 GO INTR", loads=[(0x1800, program)])
        self.assertEqual(r.display, shown(0x1802, 0x18))
        r = self.run_board("ADDR 1 8 0 0 GO INTR", loads=[(0x1800, program)], regs=True)
        self.assertEqual(r.cpu["PC"], 0x1802)  # still running: interrupts stayed off
        self.assertEqual(r.cpu["IFF1"], 0)


# One STEP must execute exactly one instruction of each kind. Each case: the
# program at 1800h (and more bytes elsewhere), the number of STEP presses,
# then what the saved registers and memory must show.
STEP_KINDS = [
    ("LD r,n", [0x3E, 0x42, 0x3E, 0x43], 1, {"PC": 0x1802, "A": 0x42}, {}),
    ("LD rr,nn", [0x01, 0x34, 0x12, 0x00], 1, {"PC": 0x1803, "BC": 0x1234}, {}),
    ("LD (nn),A", [0x3E, 0x5A, 0x32, 0x00, 0x19, 0x3C], 2, {"PC": 0x1805, "A": 0x5A}, {0x1900: 0x5A}),
    ("LD (IX+d),n with a prefix", [0xDD, 0x21, 0x00, 0x19, 0xDD, 0x36, 0x05, 0x77, 0x00], 2,
     {"PC": 0x1808, "IX": 0x1900}, {0x1905: 0x77}),
    ("EX AF,AF' and EXX", [0x3E, 0x11, 0x08, 0x3E, 0x22, 0xD9, 0x01, 0x33, 0x33], 5,
     {"PC": 0x1809, "A": 0x22, "AF'": 0x1100, "BC'": 0x0000, "BC": 0x3333}, {}),
    ("JP nn", [0xC3, 0x10, 0x18], 1, {"PC": 0x1810}, {}),
    ("JP Z taken", [0xAF, 0xCA, 0x10, 0x18], 2, {"PC": 0x1810}, {}),
    ("JP NZ not taken", [0xAF, 0xC2, 0x10, 0x18], 2, {"PC": 0x1804}, {}),
    ("JR Z taken", [0xAF, 0x28, 0x05], 2, {"PC": 0x1808}, {}),
    ("JR NZ not taken", [0xAF, 0x20, 0x05], 2, {"PC": 0x1803}, {}),
    ("JR to itself", [0x18, 0xFE], 3, {"PC": 0x1800}, {}),
    ("CALL", [0xCD, 0x00, 0x19], 1, {"PC": 0x1900, "SP": 0x277E}, {0x277E: 0x03, 0x277F: 0x18}),
    ("CALL NZ not taken", [0xAF, 0xC4, 0x00, 0x19], 2, {"PC": 0x1804, "SP": 0x2780}, {}),
    ("RET", [0xCD, 0x00, 0x19, 0x00], 2, {"PC": 0x1803, "SP": 0x2780}, {}, {0x1900: [0xC9]}),
    ("DJNZ taken", [0x06, 0x03, 0x10, 0xFE, 0x00], 2, {"PC": 0x1802, "B": 2}, {}),
    ("DJNZ not taken", [0x06, 0x03, 0x10, 0xFE, 0x00], 4, {"PC": 0x1804, "B": 0}, {}),
    ("LDIR as a whole", [0x21, 0x00, 0x19, 0x11, 0x00, 0x1A, 0x01, 0x10, 0x00, 0xED, 0xB0, 0x00], 4,
     {"PC": 0x180B, "BC": 0, "HL": 0x1910, "DE": 0x1A10},
     {0x1A00 + i: 0xA0 + i for i in range(16)}, {0x1900: [0xA0 + i for i in range(16)]}),
    ("PUSH", [0x01, 0x34, 0x12, 0xC5, 0x00], 2, {"PC": 0x1804, "SP": 0x277E}, {0x277E: 0x34, 0x277F: 0x12}),
    ("POP", [0x01, 0x34, 0x12, 0xC5, 0xD1, 0x00], 3, {"PC": 0x1805, "SP": 0x2780, "DE": 0x1234}, {}),
    ("EI", [0xFB, 0x00], 1, {"PC": 0x1801, "IFF": 1}, {}),
    ("DI", [0xFB, 0xF3, 0x00], 2, {"PC": 0x1802, "IFF": 0}, {}),
    ("OUT (01h),A", [0x3E, 0x30, 0xD3, 0x01, 0x00], 2, {"PC": 0x1804, "A": 0x30}, {}),
    ("OUT (02h),A with bit 6 clear", [0x3E, 0x3F, 0xD3, 0x02, 0x00], 2, {"PC": 0x1804}, {}),
    ("HALT", [0x76, 0x00], 1, {"PC": 0x1801}, {}),
    ("RST 38h stops on entry", [0xFF, 0x00], 1, {"PC": 0x0038, "SP": 0x277E}, {0x277E: 0x01, 0x277F: 0x18}),
]


class StepKinds(MonitorCase):
    """STEP executes exactly one instruction, whatever its kind."""

    def test_each_kind_of_instruction(self):
        for case in STEP_KINDS:
            name, program, steps, regs, memory = case[:5]
            extra = case[5] if len(case) > 5 else {}
            with self.subTest(name):
                loads = [(0x1800, program)] + list(extra.items())
                pc = regs["PC"]
                dumps = ["%04X:%04X" % (a, a) for a in list(memory) + [pc]]
                r = self.run_board("ADDR 1 8 0 0" + " STEP" * steps, loads=loads, dumps=dumps)
                got = saved_registers(r)
                for reg, value in regs.items():
                    self.assertEqual(got[reg], value, "%s after %d STEP" % (reg, steps))
                for address, value in memory.items():
                    self.assertEqual(r.byte(address), value, "memory at %04X" % address)
                self.assertEqual(r.display, shown(pc, r.byte(pc)))

    def test_step_shows_the_new_pc_and_its_byte_and_pc_key_shows_it_again(self):
        program = [0x3E, 0x05, 0x3C, 0x18, 0xFD]  # LD A,5; loop: INC A; JR loop
        r = self.run_board("ADDR 1 8 0 0 STEP STEP STEP STEP", loads=[(0x1800, program)])
        self.assertEqual(r.display, shown(0x1803, 0x18))
        self.assertEqual(saved_registers(r)["A"], 0x07)
        r = self.run_board("ADDR 1 8 0 0 STEP STEP STEP STEP ADDR 1 9 0 0 PC", loads=[(0x1800, program)])
        self.assertEqual(r.display, shown(0x1803, 0x18))

    def test_a_stepped_write_that_disarms_the_step_nmi_lets_the_program_run(self):
        # A port C write with bit 6 set disarms the step NMI: the program runs
        # on (here counting in HL) until MONI.
        program = [0x3E, 0x7F,        # LD A,7Fh
                   0xD3, 0x02,        # OUT (02h),A
                   0x23,              # loop: INC HL
                   0x18, 0xFD]        # JR loop
        r = self.run_board("ADDR 1 8 0 0 STEP STEP", loads=[(0x1800, program)], regs=True)
        self.assertIn(r.cpu["PC"], (0x1804, 0x1805))
        r = self.run_board("ADDR 1 8 0 0 STEP STEP MONI", loads=[(0x1800, program)])
        got = saved_registers(r)
        self.assertIn(got["PC"], (0x1804, 0x1805))
        self.assertGreater(got["HL"], 1000)

    def test_a_step_keeps_the_other_registers(self):
        # Set every register pair, then step one NOP: nothing else may change.
        keys = ("REG 0 DATA 1 1 2 2 + 3 3 4 4 + 5 5 6 6 + 7 7 8 8 + 9 9 A A + B B C C + D D E E "
                "+ F F 0 0 + 1 2 3 4 + 5 6 7 8 + 2 7 0 0 ADDR 1 8 0 0 STEP")
        r = self.run_board(keys, loads=[(0x1800, [0x00, 0x00])])
        got = saved_registers(r)
        expected = {"AF": 0x1122, "BC": 0x3344, "DE": 0x5566, "HL": 0x7788, "AF'": 0x99AA,
                    "BC'": 0xBBCC, "DE'": 0xDDEE, "HL'": 0xFF00, "IX": 0x1234, "IY": 0x5678,
                    "SP": 0x2700, "PC": 0x1801}
        for reg, value in expected.items():
            self.assertEqual(got[reg], value, reg)


class StepPhases(MonitorCase):
    """STEP pressed at each of the ten places of an idle pass.

    The STEP key's first arming of the step NMI falls where the key happens to
    be read; the NMI routine then re-synchronises. The runner presses the key
    after K instructions of a pass (--key-phase) and logs every arming, so the
    test can see that the first arming took each of the ten places, and that
    each time exactly one instruction ran.
    """

    PROGRAM = [0x3C] * 32  # INC A, over and over

    def step_once(self, phase, settle):
        r = self.run_board("ADDR 1 8 0 0 STEP", loads=[(0x1800, self.PROGRAM)],
                           key_phase=phase, settle=settle, nmi_log=True)
        got = saved_registers(r)
        self.assertEqual((got["PC"], got["A"]), (0x1801, 0x01),
                         "phase %d settle %d: %s" % (phase, settle, r.nmi))
        self.assertEqual(r.display, shown(0x1801, 0x3C))
        armed = [line for line in r.nmi if line.startswith("armed")]
        taken = [line for line in r.nmi if line.startswith("taken")]
        self.assertEqual(len(armed), 2, r.nmi)
        self.assertEqual(len(taken), 2, r.nmi)
        # The second arming is at a known place: the 6th instruction of its
        # pass, so the NMI follows 55 instructions later.
        self.assertTrue(armed[1].startswith("armed by instruction 6 of"), r.nmi)
        self.assertTrue(taken[1].endswith(", 55 instructions after the arming"), r.nmi)
        return int(armed[0].split()[3])

    def test_every_phase_of_the_key_and_every_place_of_the_first_arming(self):
        seen = {}
        settle = 2000
        for phase in range(10):
            seen.setdefault(self.step_once(phase, settle), []).append((phase, settle))
        # Different settle times shift the keypad scan against the passes.
        while len(seen) < 10 and settle < 2000 + 60 * 23:
            settle += 23
            for phase in (0, 5):
                seen.setdefault(self.step_once(phase, settle), []).append((phase, settle))
        self.assertEqual(sorted(seen), list(range(1, 11)), seen)
        for place in sorted(seen):
            print("first arming by instruction %2d: %d runs, one instruction each" % (place, len(seen[place])))

    def test_a_run_of_steps_at_every_phase(self):
        for phase in range(10):
            with self.subTest(phase=phase):
                r = self.run_board("ADDR 1 8 0 0" + " STEP" * 7, loads=[(0x1800, self.PROGRAM)],
                                   key_phase=phase)
                got = saved_registers(r)
                self.assertEqual((got["PC"], got["A"]), (0x1807, 0x07))


class Breakpoints(MonitorCase):
    """SBR, CBR, GO over a breakpoint, and programs that run away."""

    LOOP = [0x3E, 0x00,  # 1800: LD A,0
            0x3C,        # 1802: INC A
            0x3C,        # 1803: INC A
            0x18, 0xFC]  # 1804: JR 1802h

    def test_a_hit_stops_at_the_breakpoint_with_its_byte_restored(self):
        r = self.run_board("ADDR 1 8 0 3 SBR ADDR 1 8 0 0 GO", loads=[(0x1800, self.LOOP)],
                           dumps=["1800:1805"])
        self.assertEqual(r.display, shown(0x1803, 0x3C))
        self.assertEqual(r.memory(0x1800, 6), self.LOOP)
        got = saved_registers(r)
        self.assertEqual((got["PC"], got["A"], got["SP"]), (0x1803, 1, 0x2780))

    def test_go_from_the_breakpoint_runs_on_to_the_next_hit(self):
        r = self.run_board("ADDR 1 8 0 3 SBR ADDR 1 8 0 0 GO GO", loads=[(0x1800, self.LOOP)],
                           dumps=["1800:1805"])
        self.assertEqual(r.display, shown(0x1803, 0x3C))
        self.assertEqual(saved_registers(r)["A"], 3)  # once round the loop
        self.assertEqual(r.memory(0x1800, 6), self.LOOP)

    def test_a_breakpoint_on_a_jump_to_itself_is_hit_again_at_once(self):
        program = [0x3C, 0x18, 0xFE]  # INC A; JR $
        r = self.run_board("ADDR 1 8 0 1 SBR ADDR 1 8 0 0 GO GO GO", loads=[(0x1800, program)],
                           dumps=["1800:1802"])
        self.assertEqual(r.display, shown(0x1801, 0x18))
        self.assertEqual(saved_registers(r)["A"], 1)
        self.assertEqual(r.memory(0x1800, 3), program)

    def test_cbr_clears_it(self):
        r = self.run_board("ADDR 1 8 0 3 SBR CBR ADDR 1 8 0 0 GO", loads=[(0x1800, self.LOOP)],
                           dumps=["1800:1805"], regs=True)
        self.assertIn(r.cpu["PC"], range(0x1802, 0x1806))  # still running
        self.assertEqual(r.memory(0x1800, 6), self.LOOP)

    def test_moni_takes_a_planted_breakpoint_out_again(self):
        r = self.run_board("ADDR 1 8 0 0 SBR ADDR 1 9 0 0 GO MONI",
                           loads=[(0x1800, [0x76]), (0x1900, [0x18, 0xFE])], dumps=["1800:1800"])
        self.assertEqual(r.memory(0x1800, 1), [0x76])
        self.assertEqual(r.display, shown(0x1900, 0x18))
        r = self.run_board("ADDR 1 8 0 0 SBR ADDR 1 9 0 0 GO MONI ADDR 1 8 0 0 GO",
                           loads=[(0x1800, [0x76]), (0x1900, [0x18, 0xFE])])
        self.assertEqual(r.display, shown(0x1800, 0x76))  # and it is still set

    def test_reset_takes_a_planted_breakpoint_out_again(self):
        r = self.run_board("ADDR 1 8 0 0 SBR ADDR 1 9 0 0 GO RESET ADDR",
                           loads=[(0x1800, [0x76]), (0x1900, [0x18, 0xFE])], dumps=["1800:1800"])
        self.assertEqual(r.memory(0x1800, 1), [0x76])

    def test_breakpoints_only_in_user_ram(self):
        for address in (0x0100, 0x3000, 0x2780):
            with self.subTest(address="%04X" % address):
                self.assertEqual(self.run_board(addr_keys(address) + " SBR").display, "Err   ")

    def test_a_program_that_runs_into_unmapped_memory_stops_there(self):
        r = self.run_board("ADDR 1 8 0 0 GO", loads=[(0x1800, [0xC3, 0x00, 0x30])])  # JP 3000h
        self.assertEqual(r.display, shown(0x3000, 0xFF))
        self.assertEqual(saved_registers(r)["PC"], 0x3000)
        r = self.run_board("ADDR 1 8 0 0 GO", loads=[(0x1800, [0xC3, 0x34, 0x12])])  # JP 1234h
        self.assertEqual(r.display, shown(0x1234, 0xFF))
        r = self.run_board("ADDR 1 8 0 0 GO", loads=[(0x1800, [0xCF])])  # RST 08h: into the ROM's FFh
        self.assertEqual(r.display, shown(0x0008, 0xFF))

    def test_the_programs_own_rst_38h_stops_after_it(self):
        r = self.run_board("ADDR 1 8 0 0 GO", loads=[(0x1800, [0x00, 0x00, 0xFF, 0x00])])
        self.assertEqual(r.display, shown(0x1803, 0x00))
        r = self.run_board("ADDR 1 8 0 0 GO GO", loads=[(0x1800, [0x00, 0x00, 0xFF, 0x3C, 0xFF])])
        got = saved_registers(r)
        self.assertEqual((got["PC"], got["A"]), (0x1805, 1))  # GO continued after it

    def test_im1_interrupts_go_through_the_ram_vector(self):
        program = [0x21, 0x20, 0x18,  # LD HL,1820h
                   0x22, 0xFE, 0x27,  # LD (27FEh),HL
                   0xED, 0x56,        # IM 1
                   0xFB,              # EI
                   0x18, 0xFE]        # JR $
        handler = [0x3C, 0xFB, 0xED, 0x4D]  # 1820: INC A; EI; RETI
        r = self.run_board("ADDR 1 8 0 0 GO INTR INTR INTR MONI",
                           loads=[(0x1800, program), (0x1820, handler)])
        got = saved_registers(r)
        self.assertEqual((got["A"], got["PC"], got["IFF"]), (3, 0x1809, 1))


class Moni(MonitorCase):
    """MONI breaks into a running program; in the monitor it returns to address mode."""

    COUNTER = [0x21, 0x00, 0x00,  # 1800: LD HL,0
               0x23,              # 1803: INC HL
               0x18, 0xFD]        # 1804: JR 1803h

    def test_moni_stops_a_loop_and_shows_where(self):
        r = self.run_board("ADDR 1 8 0 0 GO MONI", loads=[(0x1800, self.COUNTER)], dumps=["1800:1805"])
        got = saved_registers(r)
        self.assertIn(got["PC"], (0x1803, 0x1804))
        self.assertEqual(r.display, shown(got["PC"], self.COUNTER[got["PC"] - 0x1800]))
        self.assertGreater(got["HL"], 1000)
        self.assertEqual(got["SP"], 0x2780)
        self.assertEqual(r.memory(0x1800, 6), self.COUNTER)

    def test_go_after_moni_continues_with_the_registers(self):
        first = saved_registers(self.run_board("ADDR 1 8 0 0 GO MONI", loads=[(0x1800, self.COUNTER)]))
        r = self.run_board("ADDR 1 8 0 0 GO MONI PC GO MONI", loads=[(0x1800, self.COUNTER)])
        second = saved_registers(r)
        self.assertGreater(second["HL"], first["HL"] + 1000)  # counted on, not from 0

    def test_moni_in_the_monitor_returns_to_address_mode(self):
        for keys in ("REG 1", "REG 1 DATA 5", "MOVE 2", "DATA", "RELA + 3"):
            with self.subTest(keys):
                r = self.run_board("ADDR 1 8 4 0 " + keys + " MONI", loads=[(0x1840, [0x5A])])
                self.assertEqual(r.display, shown(0x1840, 0x5A))
        r = self.run_board("ADDR 0 0 0 0 INS MONI")  # after Err
        self.assertEqual(r.display, shown(0x0000, RUNNER.rom_bytes[0]))


class Registers(MonitorCase):
    """REG and a hexadecimal key: each register with its name; + and -; DATA edits."""

    # Sets every register, then JR $.
    SETTER = [0x3E, 0x12, 0x37,        # LD A,12h; SCF        (F: C set)
              0x08,                    # EX AF,AF'
              0x3E, 0x34, 0xB7,        # LD A,34h; OR A      (F of 34h)
              0x01, 0x22, 0x11,        # LD BC,1122h
              0x11, 0x44, 0x33,        # LD DE,3344h
              0x21, 0x66, 0x55,        # LD HL,5566h
              0xD9,                    # EXX
              0x01, 0xBC, 0x9A,        # LD BC,9ABCh
              0x11, 0xF0, 0xDE,        # LD DE,0DEF0h
              0x21, 0x0F, 0xED,        # LD HL,0ED0Fh
              0xDD, 0x21, 0x01, 0x10,  # LD IX,1001h
              0xFD, 0x21, 0x02, 0x20,  # LD IY,2002h
              0x31, 0x00, 0x26,        # LD SP,2600h
              0x3E, 0x27, 0xED, 0x47,  # LD A,27h; LD I,A
              0x3E, 0x34,              # LD A,34h  (F stays)
              0xFB,                    # EI
              0x18, 0xFE]              # JR $

    def test_each_register_with_its_name(self):
        base = "ADDR 1 8 0 0 GO MONI REG "
        saved = saved_registers(self.run_board(base + "0", loads=[(0x1800, self.SETTER)]))
        f, f2 = saved["F"], saved["AF'"] & 0xFF
        # S Z H P/V N C (the documented flags) of OR 34h: all clear (odd
        # parity); of SCF: C alone.
        self.assertEqual((f & 0xD7, f2 & 0xD7), (0x00, 0x01))

        def bits(v):
            return "".join("1" if v & (1 << b) else "0" for b in (3, 2, 1, 0))
        # After EXX the main set holds 9ABC/DEF0/ED0F and the primed 1122/3344/5566.
        # (tarvorun prints the b and d shapes of bC, dE and dA as B and D.)
        expected = {
            0: "34%02XAF" % f, 1: "9ABCBC", 2: "DEF0DE", 3: "ED0FHL",
            4: "12%02XAF." % f2, 5: "1122BC.", 6: "3344DE.", 7: "5566HL.",
            8: "10011H", 9: "20021y", 0xA: "26005P", 0xB: "27011F",
            0xC: bits(f >> 4) + "FH", 0xD: bits(f & 15) + "FL",
            0xE: bits(f2 >> 4) + "FH.", 0xF: bits(f2 & 15) + "FL.",
        }
        for key, text in expected.items():
            with self.subTest(reg="%X" % key):
                r = self.run_board(base + "%X" % key, loads=[(0x1800, self.SETTER)])
                self.assertEqual(r.display, text)

    def test_plus_and_minus_walk_round_the_sixteen(self):
        self.assertEqual(self.run_board("REG 9 + +").display, "0000" + "1F")
        self.assertEqual(self.run_board("REG 0 -").display, "0000" + "FL.")
        self.assertEqual(self.run_board("REG F +").display, "0000" + "AF")
        self.assertEqual(self.run_board("REG 3 - - - -").display, "0000" + "FL.")

    def test_data_edits_the_register_shown(self):
        r = self.run_board("REG 3 DATA 1 2 3 4 5")
        self.assertEqual(r.display, "2.3.4.5.HL")
        self.assertEqual(saved_registers(r)["HL"], 0x2345)
        # + moves on and stays in edit mode; the next key starts afresh
        r = self.run_board("REG 1 DATA 1 2 3 4 + 5 6 + 7")
        got = saved_registers(r)
        self.assertEqual((got["BC"], got["DE"], got["HL"]), (0x1234, 0x0056, 0x0007))
        # the interrupt flip-flop: only bit 0 counts
        r = self.run_board("REG B DATA 3 F 0 3")
        self.assertEqual(r.display, "3.F.0.1.1F")
        self.assertEqual((saved_registers(r)["I"], saved_registers(r)["IFF"]), (0x3F, 1))

    def test_flags_are_edited_as_binary_digits(self):
        r = self.run_board("REG C DATA 1 0 1 1 + 0 1 0 1")
        self.assertEqual(saved_registers(r)["F"], 0xB5)
        self.assertEqual(r.display, "0.1.0.1.FL")
        r = self.run_board("REG E DATA 1 1 + 1")
        self.assertEqual(saved_registers(r)["AF'"] & 0xFF, 0x31)
        r = self.run_board("REG D DATA 2")
        self.assertEqual(r.display, "Err   ")
        r = self.run_board("REG D DATA 2 1")  # the key after Err still edits
        self.assertEqual(saved_registers(r)["F"], 0x01)

    def test_reg_then_a_function_key(self):
        self.assertEqual(self.run_board("REG").display, "rEG   ")
        self.assertEqual(self.run_board("REG DATA").display, "Err   ")
        self.assertEqual(self.run_board("REG +").display, "Err   ")
        self.assertEqual(self.run_board("REG ADDR").display, shown(0x1800, 0))


class Editing(MonitorCase):
    """INS, DEL, MOVE and RELA."""

    DATA = [0x11, 0x22, 0x33, 0x44, 0x55]

    def test_ins_makes_room_and_opens_data_mode(self):
        r = self.run_board("ADDR 1 8 0 1 INS 9 9", loads=[(0x1800, self.DATA), (0x277F, [0xEE])],
                           dumps=["1800:1806", "277F:277F"])
        self.assertEqual(r.memory(0x1800, 7), [0x11, 0x99, 0x22, 0x33, 0x44, 0x55, 0x00])
        self.assertEqual(r.display, shown_data(0x1801, 0x99))
        self.assertEqual(r.memory(0x277F, 1), [0x00])  # the last byte of user RAM fell off

    def test_del_closes_the_gap(self):
        r = self.run_board("ADDR 1 8 0 1 DEL DEL", loads=[(0x1800, self.DATA), (0x277F, [0xEE])],
                           dumps=["1800:1804", "277D:277F"])
        self.assertEqual(r.memory(0x1800, 5), [0x11, 0x44, 0x55, 0x00, 0x00])
        self.assertEqual(r.display, shown(0x1801, 0x44))
        self.assertEqual(r.memory(0x277D, 3), [0xEE, 0x00, 0x00])

    def test_ins_and_del_at_the_last_byte_and_outside_user_ram(self):
        r = self.run_board("ADDR 2 7 7 F INS 5", dumps=["277E:2780"])
        self.assertEqual(r.memory(0x277E, 2), [0x00, 0x05])
        r = self.run_board("ADDR 2 7 7 F DEL", loads=[(0x277F, [0x42])], dumps=["277F:277F"])
        self.assertEqual(r.memory(0x277F, 1), [0x00])
        for keys in ("ADDR 0 0 4 0 INS", "ADDR 2 7 8 0 DEL", "ADDR 1 7 F F INS", "ADDR 3 0 0 0 DEL"):
            with self.subTest(keys):
                self.assertEqual(self.run_board(keys).display, "Err   ")

    def test_move_copies_and_is_safe_for_overlaps(self):
        # upwards over itself
        r = self.run_board("ADDR 1 8 0 0 MOVE + 1 8 0 4 + 1 8 0 2 GO", loads=[(0x1800, self.DATA)],
                           dumps=["1800:1807"])
        self.assertEqual(r.memory(0x1800, 8), [0x11, 0x22, 0x11, 0x22, 0x33, 0x44, 0x55, 0x00])
        self.assertEqual(r.display, shown(0x1802, 0x11))
        # downwards over itself
        r = self.run_board("ADDR 1 8 0 2 MOVE + 1 8 0 4 + 1 8 0 0 GO", loads=[(0x1800, self.DATA)],
                           dumps=["1800:1804"])
        self.assertEqual(r.memory(0x1800, 5), [0x33, 0x44, 0x55, 0x44, 0x55])
        # far away, fields entered in another order with - and +
        r = self.run_board("ADDR 1 8 0 0 MOVE - 2 0 0 0 - 1 8 0 4 GO", loads=[(0x1800, self.DATA)],
                           dumps=["2000:2005"])
        self.assertEqual(r.memory(0x2000, 6), self.DATA + [0x00])
        # from ROM into RAM
        r = self.run_board("ADDR 0 0 0 0 MOVE + 0 0 0 F + 1 9 0 0 GO", dumps=["1900:190F"])
        self.assertEqual(r.memory(0x1900, 16), list(RUNNER.rom_bytes[0:16]))

    def test_move_shows_its_fields_by_name(self):
        self.assertEqual(self.run_board("ADDR 1 8 0 0 MOVE").display, "1.8.0.0.5A")
        self.assertEqual(self.run_board("ADDR 1 8 0 0 MOVE + 2").display, "0.0.0.2.EA")
        self.assertEqual(self.run_board("ADDR 1 8 0 0 MOVE + + 3").display, "0.0.0.3.DA")
        self.assertEqual(self.run_board("ADDR 1 8 0 0 MOVE + + +").display, "1.8.0.0.5A")

    def test_move_refuses_bad_ranges(self):
        for keys in ("ADDR 1 8 0 4 MOVE + 1 8 0 0 + 1 9 0 0 GO",   # end below start
                     "ADDR 1 8 0 0 MOVE + 1 8 0 F + 2 7 7 8 GO",   # into the monitor's RAM
                     "ADDR 1 8 0 0 MOVE + 1 8 F F + F F 8 0 GO"):  # beyond FFFFh
            with self.subTest(keys):
                r = self.run_board(keys, loads=[(0x1800, self.DATA)], dumps=["1800:1804"])
                self.assertEqual(r.display, "Err   ")
                self.assertEqual(r.memory(0x1800, 5), self.DATA)
        # after Err: address mode, and the key starts a new address
        r = self.run_board("ADDR 1 8 0 4 MOVE + 1 8 0 0 GO 1 8 0 5")
        self.assertEqual(r.display, shown(0x1805, 0))

    def test_rela_stores_the_displacement(self):
        # JR at 1800h (18h, displacement at 1801h): to 1800h itself is FEh.
        cases = [(0x1801, 0x1800, 0xFE), (0x1801, 0x1881, 0x7F), (0x1801, 0x1782, 0x80),
                 (0x1841, 0x1842, 0x00), (0x1801, 0x1810, 0x0E)]
        for at, target, disp in cases:
            with self.subTest(at="%04X" % at, target="%04X" % target):
                r = self.run_board(addr_keys(at) + " RELA + " + " ".join("%X" % target) + " GO",
                                   dumps=["%04X:%04X" % (at, at)])
                self.assertEqual(r.memory(at, 1), [disp])
                self.assertEqual(r.display, shown(at, disp))

    def test_rela_out_of_range_is_an_error_and_stores_nothing(self):
        for target in (0x1882, 0x1781, 0x3000):
            with self.subTest(target="%04X" % target):
                r = self.run_board("ADDR 1 8 0 1 RELA + " + " ".join("%X" % target) + " GO",
                                   loads=[(0x1801, [0x5A])], dumps=["1801:1801"])
                self.assertEqual(r.display, "Err   ")
                self.assertEqual(r.memory(0x1801, 1), [0x5A])
        self.assertEqual(self.run_board("ADDR 1 8 0 1 RELA").display, "1.8.0.1.5A")
        self.assertEqual(self.run_board("ADDR 1 8 0 1 RELA + +").display, "1.8.0.1.5A")
        self.assertEqual(self.run_board("ADDR 1 8 0 1 RELA +").display, "1.8.0.1.DA")


class Reset(MonitorCase):
    """RESET: the greeting, address mode at 1800h, RAM kept, registers back to their defaults."""

    def test_greeting_then_address_mode(self):
        self.assertEqual(self.run_board(passes=1000).display, "tAruo ")
        self.assertEqual(self.run_board(passes=1100000).display, shown(0x1800, 0x00))
        # a key ends the greeting at once and acts
        self.assertEqual(self.run_board("+").display, shown(0x1801, 0x00))

    def test_tarvorun_finds_the_image_beside_itself(self):
        own = tarvo.Runner(RUNNER.tarvorun, None, RUNNER.emulator).run(passes=1000)
        self.assertEqual((own.display, own.stderr), ("tAruo ", ""))

    def test_reset_keeps_ram(self):
        r = self.run_board("ADDR 1 8 0 0 DATA 3 E + 4 2 ADDR 2 0 0 0 DATA 9 9 RESET",
                           passes=1100000, dumps=["1800:1801", "2000:2000"])
        self.assertEqual(r.memory(0x1800, 2), [0x3E, 0x42])
        self.assertEqual(r.memory(0x2000, 1), [0x99])
        self.assertEqual(r.display, shown(0x1800, 0x3E))

    def test_reset_gives_the_saved_registers_their_defaults(self):
        r = self.run_board("REG 1 DATA 1 2 3 4 REG A DATA 2 0 0 0 ADDR 1 9 0 0 STEP RESET",
                           loads=[(0x1900, [0x00])])
        got = saved_registers(r)
        self.assertEqual((got["PC"], got["SP"], got["BC"], got["IFF"]), (0x1800, 0x2780, 0, 0))
        self.assertEqual(self.run_board("ADDR 1 9 0 0 RESET REG A").display, "27805P")
        self.assertEqual(self.run_board("ADDR 1 9 0 0 RESET PC").display, shown(0x1800, 0))

    def test_reset_while_a_step_waits_for_its_nmi(self):
        # Nine passes after STEP is read the step NMI is armed but not yet
        # taken; RESET must disarm it with its first instruction.
        r = self.run_board("ADDR 1 8 0 0 STEP RESET ADDR", loads=[(0x1800, [0x18, 0xFE])],
                           settle=9, passes=2000, nmi_log=True)
        self.assertEqual(r.nmi[0].split()[0], "armed", r.nmi)
        self.assertTrue(r.nmi[1].startswith("disarmed by instruction 1 of"), r.nmi)
        self.assertEqual([line for line in r.nmi if line.startswith("taken")], [])
        self.assertEqual(r.display, shown(0x1800, 0x18))

    def test_reset_while_a_program_runs(self):
        r = self.run_board("ADDR 1 8 0 0 GO RESET", loads=[(0x1800, [0x18, 0xFE])], passes=1100000)
        self.assertEqual(r.display, shown(0x1800, 0x18))


class Idle(MonitorCase):
    """The idle loop writes the 8255 rarely and never arms the step NMI."""

    def test_port_writes_per_thousand_instructions(self):
        # Idle, the monitor writes port C once a keypad row (every 500 and a
        # few instructions) and latches nothing: fewer than 2 per 1,000. A
        # digit latched again in the idle loop would add 2 writes at least.
        for keys in ("", "ADDR 1 8 0 0", "REG 5", "ADDR 1 8 0 0 MOVE", "ADDR 1 8 0 0 DATA 4 2 +"):
            with self.subTest(keys=keys):
                r = self.run_board(keys, passes=200000, port_writes=True)
                writes, instructions = r.port_writes
                rate = 1000.0 * writes / instructions
                print("%-26r %d port writes in %d instructions: %.2f per 1000"
                      % (keys, writes, instructions, rate))
                self.assertLess(rate, 2.0)
                self.assertGreater(rate, 1.0)  # it does scan the keypad

    def test_no_arming_outside_step(self):
        keys = "ADDR 1 8 0 0 DATA 1 2 + REG 3 DATA 4 + - ADDR MOVE + GO ADDR 1 8 0 1 RELA + GO SBR CBR INS DEL PC"
        r = self.run_board(keys, passes=5000, nmi_log=True)
        self.assertEqual(r.nmi, [])



def main():
    global RUNNER
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    RUNNER = tarvo.Runner(sys.argv[1], sys.argv[2], sys.argv[4:])
    group = sys.argv[3]
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(globals()[group])
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
