#!/usr/bin/python3
"""Emulated instructions a second in the web page, flat out, in headless Chromium.

    bench_page.py SITE_DIR OUT_DIR [SECONDS]

Loads the benchmark program of tools/bench_cpu.cpp (its kProgram bytes, read
from that source) at 1800h as an Intel HEX file, starts it from the keypad
with ADDR 1 8 0 0 GO at "As fast as possible", and prints the page's own count
of instructions a second, each second. Compare with the board-bus figure of
`make bench`. Then it times Assemble in the page's editor on a generated
source of 10,000 lines (target: under 200 ms).
"""
import re
import sys
import time
from pathlib import Path

from page_driver import Page, hex_file, serve, start_chromium

SOURCE = Path(__file__).resolve().parents[2]


def bench_program():
    text = (SOURCE / "tools" / "bench_cpu.cpp").read_text()
    body = text[text.index("kProgram[] = {"):]
    body = body[:body.index("};")]
    return bytes(int(b, 16) for line in body.splitlines()[1:] for b in re.findall(r"0x([0-9A-Fa-f]{2})", line.split("//")[0]))


def generated_source(lines=10000):
    """Blocks of ten lines, each with labels, an EQU, a loop back, a call forward and data."""
    text = ["; generated for bench_page", "PORT EQU 02h", "\tORG 1800h"]
    block = 0
    while len(text) < lines - 1:
        text += [f"loop{block}:\tLD A,(IX+5)\t; a comment", "\tADD A,C", "\tLD (HL),A",
                 f"\tDJNZ loop{block}", f"size{block}\tEQU 10h+{block % 7}", f"\tCALL NZ,loop{block + 1}",
                 f"data{block}:\tDB 1,2,'ab',size{block}", f"\tDW data{block},$", "\tOUT (PORT),A", "\tRES 3,(IY-2)"]
        block += 1
    return "\n".join(text + [f"loop{block}:\tRET"]) + "\n"


def bench_assembly(page, runs=10):
    """Assemble in the editor as the button runs it: the whole page's work, and the core's share."""
    source = generated_source()
    page.click("open-editor")
    page.wait_for(lambda: page.js("return !!Tarvo.page.sources.editor"), 10, "the editor to load")
    page.js("Tarvo.page.sources.editor.setText(arguments[0])", source)
    times = page.js("""const s = Tarvo.page.sources, times = [];
        for (let i = 0; i < arguments[0]; ++i) {
            const t0 = performance.now(); const ok = s.assemble();
            if (!ok) return null;
            times.push(performance.now() - t0);
        }
        return times;""", runs)
    assert times is not None, f"the generated source did not assemble: {page.message()}"
    core = page.js("""const a = Tarvo.page.core.assembler, text = arguments[0], times = [];
        for (let i = 0; i < arguments[1]; ++i) {
            const t0 = performance.now(); a.assemble('generated.asm', text); times.push(performance.now() - t0);
        }
        return times;""", source, runs)
    times.sort()
    core.sort()
    print(f"bench-web: Assemble of {source.count(chr(10)):,} lines in the page: best {times[0]:.1f} ms, "
          f"median {times[len(times) // 2]:.1f} ms ({runs} runs; target under 200 ms); the core's assembly "
          f"alone best {core[0]:.1f} ms, median {core[len(core) // 2]:.1f} ms")


def main():
    site, out = Path(sys.argv[1]), Path(sys.argv[2]).resolve()
    seconds = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    program = out / "bench-program.hex"
    program.write_text(hex_file(bench_program(), 0x1800))
    server = serve(site)
    driver = start_chromium(out)
    try:
        page = Page(driver, f"http://127.0.0.1:{server.server_port}/index.html")
        page.give_file("hex-input", program)
        page.wait_for(lambda: page.message().startswith("Loaded"), 5, "the program to load")
        page.js("document.getElementById('speed').value = 'max';"
                "document.getElementById('speed').dispatchEvent(new Event('change'))")
        page.press("ADDR", "1", "8", "0", "0", "GO")
        time.sleep(1.5)
        rates = []
        for _ in range(seconds):
            time.sleep(1)
            rates.append(page.js("return Tarvo.page.pacer.rate"))
            print(f"  {rates[-1] / 1e6:.1f} M instructions/s")
        page.click("pause")
        # The core alone, without the page around it: the best of several timed
        # runs of idle passes, which a busy machine disturbs least.
        best = page.js("""
            const core = Tarvo.page.core; let best = 0;
            for (let trial = 0; trial < 20; ++trial) {
                const t0 = performance.now(); const ran = core.run(500000, 0);
                best = Math.max(best, ran * 1000 / (performance.now() - t0));
            }
            return best;""")
        print(f"bench-web: page flat out {sum(rates) / len(rates) / 1e6:.1f} M instructions/s (mean of {seconds} s, "
              f"best second {max(rates) / 1e6:.1f} M); core alone {best / 1e6:.1f} M/s (best of 20 runs); "
              f"idle passes on the board bus: compare the board bus figure of make bench")
        bench_assembly(page)
    finally:
        driver.quit()
        server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
