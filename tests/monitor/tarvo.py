"""Runs tarvorun for the monitor and example tests and reads its output."""

import atexit
import os
import re
import shutil
import subprocess
import tempfile


class Result:
    def __init__(self, lines, want_segments, want_regs):
        lines = list(lines)
        self.display = lines.pop(0)
        self.segments = [int(p, 16) for p in lines.pop(0).split()] if want_segments else None
        self.cpu = None
        if want_regs:
            text = lines.pop(0) + " " + lines.pop(0)
            self.cpu = {name: int(value, 16) for name, value in re.findall(r"(\w+'?)=([0-9A-F]+)", text)}
        self.dumped = {}
        self.nmi = []
        self.port_writes = None
        for line in lines:
            if re.match(r"^[0-9A-F]{4}:", line):
                address, values = line.split(":")
                for i, value in enumerate(values.split()):
                    self.dumped[int(address, 16) + i] = int(value, 16)
            elif line.startswith("nmi: "):
                self.nmi.append(line[5:])
            elif line.startswith("port writes: "):
                numbers = re.findall(r"\d+", line)
                self.port_writes = (int(numbers[0]), int(numbers[1]))
            else:
                raise AssertionError("unexpected output line %r" % line)

    def byte(self, address):
        return self.dumped[address]

    def word(self, address):
        return self.dumped[address] | self.dumped[address + 1] << 8

    def memory(self, address, count):
        return [self.dumped[address + i] for i in range(count)]


class Runner:
    """rom: the image given with --rom; None to let tarvorun find its own.
    emulator: a command line to run tarvorun through (for a cross build)."""

    def __init__(self, tarvorun, rom, emulator=()):
        self.tarvorun = tarvorun
        self.rom = rom
        self.emulator = list(emulator)
        self.rom_bytes = b""
        if rom is not None:
            with open(rom, "rb") as f:
                self.rom_bytes = f.read()
        self.work = tempfile.mkdtemp(prefix="tarvo-monitor-")
        atexit.register(shutil.rmtree, self.work, True)
        self.count = 0

    def run(self, keys="", loads=(), passes=0, settle=None, key_phase=None, nmi_log=False,
            port_writes=False, segments=False, regs=False, dumps=(), hex_files=()):
        """loads: (address, bytes) pairs, loaded as raw files in order."""
        args = self.emulator + [self.tarvorun]
        if self.rom is not None:
            args += ["--rom", self.rom]
        for path in hex_files:
            args += ["--hex", path]
        for address, data in loads:
            self.count += 1
            path = os.path.join(self.work, "load%d.bin" % self.count)
            with open(path, "wb") as f:
                f.write(bytes(data))
            args += ["--bin", "%s@%X" % (path, address)]
        if keys:
            args += ["--keys", keys]
        args += ["--passes", str(passes)]
        if settle is not None:
            args += ["--settle", str(settle)]
        if key_phase is not None:
            args += ["--key-phase", str(key_phase)]
        if segments:
            args.append("--segments")
        if regs:
            args.append("--regs")
        for d in dumps:
            args += ["--dump", d]
        if port_writes:
            args.append("--port-writes")
        if nmi_log:
            args.append("--nmi-log")
        done = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, universal_newlines=True)
        if done.returncode != 0:
            raise AssertionError("tarvorun failed (%d): %s\n%s" % (done.returncode, " ".join(args), done.stderr))
        result = Result(done.stdout.splitlines(), segments, regs)
        result.stderr = done.stderr
        return result
