# Front end to CMake: every build, test and check of the project.
#
#   make test    all of the below in order, stopping at the first failure:
#                native  Release build (warnings as errors), unit tests and ZEXDOC/ZEXALL
#                asan    AddressSanitizer + UndefinedBehaviorSanitizer build, unit tests (the CPU's on both loops)
#                m32     32-bit x86 build with the web page's instruction loop, unit tests run through qemu-i386
#                mingw   Windows builds with MinGW-w64, x86-64 and i686 (build only)
#            fuzz    the Intel HEX readers, the assembler and the exercise reader under libFuzzer (clang, ASan + UBSan), FUZZ_SECONDS each
#            wine    the 64-bit program end to end under Wine in Xvfb (tests/wine/, build-wine/)
#            web-test  the web page in headless Chromium (tests/web/, build-web/)
#            compare-cycles  our T-states against z80emu's cycle counts, when PEER_DIR names
#                    z80emu's sources (tools/compare_cycles.sh); skipped without it
#   make run     build the 64-bit Windows program and start it (under Wine on Linux)
#   make tarvorun   only the headless runner with the monitor beside it, and the
#                assembler, no tests (build/tools/tarvorun, build/tools/tarvoasm)
#   make bench   Release build, then the CPU benchmark (tools/bench_cpu)
#   make bench-asm  Release build, then the assembler's benchmark (tools/bench_asm)
#   make bench-history  step back at 10 million instructions deep, the history's memory, and the
#                flat-out rate with the history off, on, and with one watchpoint
#   make bench-exercises  tarvorun grading 1,000 submissions of the shipped exercises
#                on every core (tools/bench_exercises.sh)
#   make bench-window   emulated instructions a second in the window under Wine
#   make web     the web page: WebAssembly build of the core and the static site in build-web/site/
#   make serve   make web, then serve the site on http://localhost:8000 (SERVE_PORT, SERVE_BIND)
#   make bench-web  emulated instructions a second in the page, flat out, and Assemble's time, in headless Chromium
#   make bench-peers  ZEXDOC timed on our core and on another core's ZEXDOC program that
#                you built (PEER_ZEXDOC; tools/bench_peers.sh), alternating rounds
#   make compare-cycles  T-states of our core against z80emu's on random programs
#                (PEER_DIR: z80emu's sources, fetched by you; tools/compare_cycles.sh)
#   make clean   remove every build folder
#
# Variables: JOBS (parallel jobs, default 2), Z80_TESTS_DIR (folder holding
# zexdoc.com and zexall.com, default ../shared/z80-tests beside the source),
# PEER_ZEXDOC and PEER_DIR (the other core's ZEXDOC command for bench-peers, and the folder it runs in;
# for compare-cycles, the folder of z80emu's sources),
# FUZZ_SECONDS (how long each fuzzer runs in make test, default 30).

SHELL := /bin/bash
.SHELLFLAGS := -eu -o pipefail -c
.NOTPARALLEL:

SRC := $(patsubst %/,%,$(dir $(abspath $(lastword $(MAKEFILE_LIST)))))
JOBS ?= 2
CMAKE ?= cmake
CTEST ?= ctest
Z80_TESTS_DIR ?= $(SRC)/../shared/z80-tests
TOOLCHAINS := $(SRC)/cmake/toolchains

NATIVE_DIR := $(SRC)/build
ASAN_DIR := $(SRC)/build-asan
M32_DIR := $(SRC)/build-m32
FUZZ_DIR := $(SRC)/build-fuzz
WINE_DIR := $(SRC)/build-wine
FUZZ_SECONDS ?= 30
M32_GTEST_DIR := $(M32_DIR)/_googletest
GTEST_SOURCE ?= /usr/src/googletest
MINGW_ARCHES := x86_64 i686
MINGW_DIR = $(SRC)/build-mingw-$(1)

SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
export ASAN_OPTIONS ?= detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS ?= print_stacktrace=1

CTEST_RUN = $(CTEST) --test-dir $(1) --output-on-failure --no-tests=error --parallel $(JOBS) 2>&1 | tee $(1)/ctest.log

.PHONY: all test native asan m32 mingw fuzz $(addprefix mingw-,$(MINGW_ARCHES)) bench clean \
        configure-native m32-googletest setup-test run setup-run wine bench-history bench-window bench-peers compare-cycles

all: native

# The recipe runs only once every step has passed (with make -k as well); it
# repeats the closing lines of the steps, so that one screen shows the outcome.
test: setup-test native compare-cycles asan m32 mingw fuzz wine web-test
	@echo "== make test: all steps passed =="
	@for d in $(NATIVE_DIR) $(ASAN_DIR) $(M32_DIR); do \
	    printf '%-12s %s\n' "$${d##*/}:" "$$(grep -E 'tests passed|tests failed' $$d/ctest.log)"; \
	done
	@for a in $(MINGW_ARCHES); do cat $(call MINGW_DIR,$$a)/build.log; done
	@grep -E '^(hex_record|hex_file|asm|exercise): executions' $(FUZZ_DIR).log | sed 's/^/fuzz: /'
	@tail -n 1 $(WINE_DIR)/suite.log | sed 's/^/wine: /'
	@tail -n 1 $(WEB_DIR)/web-test.log | sed 's/^/web: /'
	@tail -n 1 $(COMPARE_DIR)/compare.log | sed 's/^/compare-cycles: /'

# (e) The Intel HEX record and file readers and the assembler under libFuzzer
# (clang, ASan and UBSan) for a bounded time each; any crash fails.
fuzz:
	bash $(SRC)/tests/fuzz/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS) 2>&1 | tee $(FUZZ_DIR).log

# The Debian packages the steps need, installed when missing.
setup-test:
	bash $(SRC)/tools/install-deps.sh test

configure-native:
	$(CMAKE) -S $(SRC) -B $(NATIVE_DIR) -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON \
	    -DTARVO_TESTS=ON -DTARVO_EXERCISERS=ON -DTARVO_Z80_TESTS_DIR=$(abspath $(Z80_TESTS_DIR))

# (a) Native Release build: unit tests and the instruction exercisers.
native: configure-native
	$(CMAKE) --build $(NATIVE_DIR) --parallel $(JOBS)
	$(call CTEST_RUN,$(NATIVE_DIR))

# The headless runner and the monitor ROM beside it, and the assembler,
# quickly: no tests, no exercisers, nothing to install but CMake and a C++ compiler.
.PHONY: tarvorun
tarvorun:
	$(CMAKE) -S $(SRC) -B $(NATIVE_DIR) -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=OFF -DTARVO_EXERCISERS=OFF
	$(CMAKE) --build $(NATIVE_DIR) --target tarvorun tarvoasm --parallel $(JOBS)
	@echo "tarvorun: $(NATIVE_DIR)/tools/tarvorun, the monitor in $(NATIVE_DIR)/tools/tarvo/"
	@echo "tarvoasm: $(NATIVE_DIR)/tools/tarvoasm"

# How long grading takes: 1,000 submissions, every core.
.PHONY: bench-exercises
bench-exercises: tarvorun
	bash $(SRC)/tools/bench_exercises.sh $(NATIVE_DIR)/tools/tarvorun 1000 $$(nproc)

# (b) Sanitizers: any report ends the test program with a failure. The CPU
# tests also run on the web page's instruction loop.
asan:
	$(CMAKE) -S $(SRC) -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DTARVO_WERROR=ON \
	    -DTARVO_TESTS=ON -DTARVO_EXERCISERS=OFF -DTARVO_PORTABLE_LOOP_TESTS=ON -DCMAKE_CXX_FLAGS="-O1 $(SANITIZE)"
	$(CMAKE) --build $(ASAN_DIR) --parallel $(JOBS)
	$(call CTEST_RUN,$(ASAN_DIR))

# (c) 32-bit x86: GoogleTest is built for -m32 from Debian's source package and
# installed inside the build folder, then the tests run through qemu-i386. The
# core takes the instruction loop of the web page (TARVO_PORTABLE_LOOP), 32-bit
# like wasm32, so that the page's loop is tested natively too.
m32-googletest:
	$(CMAKE) -S $(GTEST_SOURCE) -B $(M32_GTEST_DIR)/build -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAINS)/linux-i686.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
	    -DCMAKE_INSTALL_PREFIX=$(M32_GTEST_DIR)/install -DCMAKE_INSTALL_LIBDIR=lib
	$(CMAKE) --build $(M32_GTEST_DIR)/build --parallel $(JOBS)
	$(CMAKE) --install $(M32_GTEST_DIR)/build >/dev/null

m32: m32-googletest
	$(CMAKE) -S $(SRC) -B $(M32_DIR) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAINS)/linux-i686.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON -DTARVO_TESTS=ON -DTARVO_EXERCISERS=OFF \
	    -DTARVO_PORTABLE_LOOP=ON -DGTest_DIR=$(M32_GTEST_DIR)/install/lib/cmake/GTest
	$(CMAKE) --build $(M32_DIR) --parallel $(JOBS)
	@# The ELF class byte of the test program: 1 is 32-bit.
	@class=$$(od -An -tu1 -j4 -N1 $(M32_DIR)/tests/tarvo_tests | tr -d ' '); \
	if [ "$$class" != 1 ]; then echo "m32: tests/tarvo_tests is not a 32-bit program"; exit 1; fi
	$(call CTEST_RUN,$(M32_DIR))

# (d) Windows cross builds: the core library, the portable tools and the
# Windows program, no tests. Every program may import only Windows' own DLLs: one
# that needs a MinGW runtime DLL was not linked statically. The Windows program
# must be a GUI program with its tarvo/ folder beside it.
WINDOWS_DLLS := kernel32|user32|gdi32|comdlg32|msvcrt|advapi32|shell32|comctl32|ole32|oleaut32|shlwapi|ws2_32|winmm|ntdll|ucrtbase|api-ms-win-[a-z0-9-]+

mingw: $(addprefix mingw-,$(MINGW_ARCHES))

$(addprefix mingw-,$(MINGW_ARCHES)): mingw-%:
	$(CMAKE) -S $(SRC) -B $(call MINGW_DIR,$*) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAINS)/mingw-w64-$*.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DTARVO_WERROR=ON -DTARVO_TESTS=OFF
	$(CMAKE) --build $(call MINGW_DIR,$*) --parallel $(JOBS)
	@app=$(call MINGW_DIR,$*)/app; \
	if [ ! -f "$$app/tarvosim.exe" ]; then echo "mingw-$*: app/tarvosim.exe was not built"; exit 1; fi; \
	if [ ! -d "$$app/tarvo" ]; then echo "mingw-$*: there is no tarvo/ folder beside tarvosim.exe"; exit 1; fi; \
	headers=$$($*-w64-mingw32-objdump -p "$$app/tarvosim.exe"); \
	if ! grep -qE '^Subsystem.*Windows GUI' <<<"$$headers"; then \
	    echo "mingw-$*: tarvosim.exe is not a Windows GUI program"; exit 1; \
	fi
	@n=0; while IFS= read -r -d '' exe; do \
	    n=$$((n + 1)); \
	    dlls=$$($*-w64-mingw32-objdump -p "$$exe" | sed -n 's/^[[:space:]]*DLL Name: *//p'); \
	    if [ -z "$$dlls" ]; then echo "mingw-$*: $$exe imports no DLL at all"; exit 1; fi; \
	    foreign=$$(grep -viE '^($(WINDOWS_DLLS))\.dll$$' <<<"$$dlls" || true); \
	    if [ -n "$$foreign" ]; then \
	        echo "mingw-$*: $$exe needs DLLs that are not part of Windows (link it with -static):" $$foreign; \
	        exit 1; \
	    fi; \
	done < <(find $(call MINGW_DIR,$*) -name '*.exe' -not -path '*/CMakeFiles/*' -not -path '*/drive_c/*' -print0); \
	echo "mingw-$*: built libtarvocore.a and $$n program(s) including app/tarvosim.exe, importing Windows DLLs only" \
	    | tee $(call MINGW_DIR,$*)/build.log

# The 64-bit Windows program, started at once: on Windows directly, elsewhere
# under Wine (wine64, installed when missing) with a Wine prefix of its own in
# the build folder.
RUN_DIR := $(call MINGW_DIR,x86_64)
WINE64 ?= /usr/lib/wine/wine64

ifeq ($(OS),Windows_NT)
# In an MSYS2 shell (MSYSTEM is set) with its MinGW-w64 compiler; elsewhere
# CMake's default generator, Visual Studio for example.
WINDOWS_GENERATOR := $(if $(MSYSTEM),-G "MSYS Makefiles",)

run:
	$(CMAKE) -S $(SRC) -B $(RUN_DIR) $(WINDOWS_GENERATOR) -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=OFF
	$(CMAKE) --build $(RUN_DIR) --config Release --parallel $(JOBS)
	"$$(find $(RUN_DIR) -name tarvosim.exe -not -path '*/CMakeFiles/*' | head -n 1)"
else
setup-run:
	bash $(SRC)/tools/install-deps.sh run

# Wine's own messages (device access, the first run's setup) go to a log in
# the build folder, not to the terminal; the program reports its errors in
# message boxes. Should Wine or the program fail, the log's end is shown.
RUN_PREFIX := $(RUN_DIR)/wineprefix
RUN_WINE_LOG := $(RUN_DIR)/wine.log
WINESERVER ?= /usr/lib/wine/wineserver
RUN_WINE := WINEPREFIX=$(RUN_PREFIX) WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

run: setup-run mingw-x86_64 $(RUN_PREFIX)/system.reg
	@echo "run: starting tarvosim under Wine (Wine's messages: $(RUN_WINE_LOG))"
	@status=0; $(RUN_WINE) $(WINE64) $(RUN_DIR)/app/tarvosim.exe >$(RUN_WINE_LOG) 2>&1 || status=$$?; \
	if [ "$$status" -ne 0 ]; then \
	    echo "run: tarvosim ended with exit code $$status; the end of $(RUN_WINE_LOG):" >&2; \
	    tail -n 20 $(RUN_WINE_LOG) >&2; exit "$$status"; \
	fi

# The Wine prefix, made once and quietly.
$(RUN_PREFIX)/system.reg:
	@echo "run: setting up Wine in $(RUN_PREFIX) (once, takes a while)"
	@if ! { $(RUN_WINE) $(WINE64) wineboot -i && WINEPREFIX=$(RUN_PREFIX) $(WINESERVER) -w; } >$(RUN_WINE_LOG) 2>&1; then \
	    echo "run: Wine could not set up its prefix; the end of $(RUN_WINE_LOG):" >&2; \
	    tail -n 20 $(RUN_WINE_LOG) >&2; exit 1; \
	fi
endif

# (f) The 64-bit Windows program end to end under Wine, driven with xdotool in an
# Xvfb of its own, with a Wine prefix of its own in build-wine/ (made on the first
# run, then reused). build-wine/main-window.png shows the main window of the last run.
wine: mingw-x86_64
	@mkdir -p $(WINE_DIR)
	bash $(SRC)/tests/wine/run_wine_suite.sh $(call MINGW_DIR,x86_64)/app $(WINE_DIR) 2>&1 | tee $(WINE_DIR)/suite.log

# Emulated instructions a second in the window under Wine (a benchmark, not a test).
bench-window: mingw-x86_64
	@mkdir -p $(WINE_DIR)
	bash $(SRC)/tests/wine/bench_window.sh $(call MINGW_DIR,x86_64)/app $(WINE_DIR)

# Going back in time: step back, Run back, memory, and the flat-out rates (a benchmark, not a test).
bench-history: configure-native
	$(CMAKE) --build $(NATIVE_DIR) --target bench_history --parallel $(JOBS)
	$(NATIVE_DIR)/tools/bench_history

bench: configure-native
	@if ! $(CMAKE) --build $(NATIVE_DIR) --target help | grep -w bench_cpu >/dev/null; then \
	    echo "bench: there is no bench_cpu program in tools/ yet"; exit 1; \
	fi
	$(CMAKE) --build $(NATIVE_DIR) --target bench_cpu --parallel $(JOBS)
	$(NATIVE_DIR)/tools/bench_cpu

# The assembler's speed on the monitor and on a generated 10,000-line source
# (a benchmark, not a test: it prints figures and their targets).
.PHONY: bench-asm
bench-asm: configure-native
	$(CMAKE) --build $(NATIVE_DIR) --target bench_asm --parallel $(JOBS)
	$(NATIVE_DIR)/tools/bench_asm $(SRC)/monitor/monitor.asm

# ZEXDOC on our core and on another core's ZEXDOC program (PEER_ZEXDOC, built by
# you outside this repository with the same compiler and flags), alternating rounds.
bench-peers:
	Z80_TESTS_DIR=$(abspath $(Z80_TESTS_DIR)) BENCH_DIR=$(SRC)/build-bench-peers PEER_DIR="$(PEER_DIR)" \
	    bash $(SRC)/tools/bench_peers.sh "$(PEER_ZEXDOC)"

# Our core's T-states against z80emu's cycle counts on random programs of every
# instruction form (tools/compare_cycles.sh), built with z80emu's sources from
# PEER_DIR, which you fetch yourself outside this repository. Without PEER_DIR
# the step says so and passes.
COMPARE_DIR := $(SRC)/build-compare-cycles
compare-cycles:
	@mkdir -p $(COMPARE_DIR)
	@status=0; COMPARE_DIR=$(COMPARE_DIR) bash $(SRC)/tools/compare_cycles.sh "$(PEER_DIR)" 2>&1 \
	    | tee $(COMPARE_DIR)/compare.log || status=$$?; \
	if [ "$$status" -ne 0 ] && [ "$$status" -ne 77 ]; then exit "$$status"; fi

clean: clean-web
	rm -rf $(NATIVE_DIR) $(ASAN_DIR) $(M32_DIR) $(FUZZ_DIR) $(FUZZ_DIR).log $(WINE_DIR) $(SRC)/build-bench-peers $(COMPARE_DIR) $(foreach a,$(MINGW_ARCHES),$(call MINGW_DIR,$(a)))

# ---------------------------------------------------------------------------
# The web page: the portable core (cpu/, board/, files/, asm/, without the
# Windows files) and the bindings in web/ compiled with Emscripten (em++), plus the
# static files that make_site.py puts beside them. build-web/site/ can be put
# on any web host as it is.
WEB_DIR := $(SRC)/build-web
WEB_SITE := $(WEB_DIR)/site
SERVE_PORT ?= 8000
# 0.0.0.0 lets phones and tablets on the same network reach the page.
SERVE_BIND ?= 127.0.0.1
EMXX ?= em++
# Debian's Emscripten runs its tools under node and needs Debian's node modules.
WEB_ENV := NODE_PATH=/usr/share/nodejs$(if $(NODE_PATH),:$(NODE_PATH),)
WEB_SOURCES := $(filter-out %_win32.cpp $(SRC)/web/exercise_binding.cpp,$(wildcard $(SRC)/cpu/*.cpp $(SRC)/board/*.cpp $(SRC)/files/*.cpp $(SRC)/history/*.cpp $(SRC)/state/*.cpp $(SRC)/asm/*.cpp $(SRC)/web/*.cpp))
WEB_OBJECTS := $(patsubst $(SRC)/%.cpp,$(WEB_DIR)/obj/%.o,$(WEB_SOURCES))
# Check's own module, tarvo_check.js, loaded when the first exercise opens: the
# exercise checker's board counts port writes on a bus of its own, a second
# copy of the CPU's dispatch (300 KB) that the page's first load does without.
CHECK_SOURCES := $(filter-out %_win32.cpp,$(wildcard $(SRC)/cpu/*.cpp $(SRC)/board/*.cpp $(SRC)/files/*.cpp $(SRC)/asm/*.cpp $(SRC)/exercises/*.cpp)) \
    $(SRC)/web/exercise_binding.cpp $(SRC)/web/page_assembly.cpp
CHECK_OBJECTS := $(patsubst $(SRC)/%.cpp,$(WEB_DIR)/obj/%.o,$(CHECK_SOURCES))
WEB_CXXFLAGS := -std=c++17 -O3 -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Werror -I$(SRC)
WEB_LDFLAGS := -O3 -sMODULARIZE=1 -sEXPORT_ES6=1 -sEXPORT_NAME=createTarvoModule -sENVIRONMENT=web -sFILESYSTEM=1 \
    -sALLOW_MEMORY_GROWTH=1 -sEXPORTED_FUNCTIONS=_malloc,_free \
    -sEXPORTED_RUNTIME_METHODS=cwrap,FS,UTF8ToString,stringToUTF8,lengthBytesUTF8
WEB_PAGE_FILES := $(wildcard $(SRC)/web/*.html $(SRC)/web/*.css $(SRC)/web/*.js $(SRC)/web/*.py) \
    $(SRC)/res/board.bmp $(SRC)/res/keypad.bmp $(SRC)/monitor/tarvo-rom.bin $(SRC)/monitor/README.md \
    $(wildcard $(SRC)/examples/*) $(wildcard $(SRC)/exercises/*/exercise.json)
# The source editor: CodeMirror from npm at the versions web/editor/package-lock.json
# pins (npm ci, no install scripts), bundled with esbuild into one module that
# the page loads when the editor is first opened.
EDITOR_DIR := $(SRC)/web/editor
EDITOR_INSTALLED := $(EDITOR_DIR)/node_modules/.package-lock.json

.PHONY: web serve web-test bench-web setup-web clean-web FORCE

setup-web:
	bash $(SRC)/tools/install-deps.sh web

$(WEB_DIR)/obj/%.o: $(SRC)/%.cpp
	@mkdir -p $(@D)
	$(WEB_ENV) $(EMXX) $(WEB_CXXFLAGS) -MMD -MP -c $< -o $@

# The link flags as last used: rewritten only when they change, so that a
# change of flags relinks the module as a changed object does.
$(WEB_DIR)/link-flags: FORCE
	@mkdir -p $(@D)
	@echo '$(WEB_LDFLAGS)' | cmp -s - $@ || echo '$(WEB_LDFLAGS)' >$@

$(WEB_SITE)/tarvo.js: $(WEB_OBJECTS) $(WEB_DIR)/link-flags
	@mkdir -p $(@D)
	$(WEB_ENV) $(EMXX) $(WEB_LDFLAGS) $(WEB_OBJECTS) -o $@

$(WEB_SITE)/tarvo_check.js: $(CHECK_OBJECTS) $(WEB_DIR)/link-flags
	@mkdir -p $(@D)
	$(WEB_ENV) $(EMXX) $(subst createTarvoModule,createTarvoCheckModule,$(WEB_LDFLAGS)) $(CHECK_OBJECTS) -o $@

$(WEB_SITE)/index.html: $(WEB_PAGE_FILES)
	/usr/bin/python3 $(SRC)/web/make_site.py $(SRC) $(WEB_SITE)

$(EDITOR_INSTALLED): $(EDITOR_DIR)/package.json $(EDITOR_DIR)/package-lock.json
	cd $(EDITOR_DIR) && npm ci --ignore-scripts --no-audit --no-fund
	@touch $@

$(WEB_SITE)/source_editor.js: $(EDITOR_INSTALLED) $(wildcard $(EDITOR_DIR)/*.js)
	@mkdir -p $(@D)
	$(EDITOR_DIR)/node_modules/.bin/esbuild $(EDITOR_DIR)/source_editor.js --bundle --format=esm --minify \
	    --log-level=warning --outfile=$@

# Offline use and installing: the icons, the manifest and the service worker,
# whose cache name carries a hash of every other file of the site.
OFFLINE_FILES := $(wildcard $(SRC)/web/offline/*)
$(WEB_SITE)/sw.js: $(WEB_SITE)/tarvo.js $(WEB_SITE)/tarvo_check.js $(WEB_SITE)/index.html $(WEB_SITE)/source_editor.js $(OFFLINE_FILES)
	/usr/bin/python3 $(SRC)/web/offline/offline_site.py $(SRC) $(WEB_SITE)

web: setup-web
	$(MAKE) --no-print-directory $(WEB_SITE)/tarvo.js $(WEB_SITE)/tarvo_check.js $(WEB_SITE)/index.html $(WEB_SITE)/source_editor.js
	$(MAKE) --no-print-directory $(WEB_SITE)/sw.js
	@echo "web: $(WEB_SITE) ($$(du -cb $$(ls $(WEB_SITE)/*.html $(WEB_SITE)/*.js $(WEB_SITE)/*.css $(WEB_SITE)/*.wasm $(WEB_SITE)/*.png $(WEB_SITE)/tarvo/* | grep -v -e source_editor.js -e /sw.js -e /icon- -e tarvo_check) | tail -n 1 | cut -f1) bytes loaded at start, $$(du -b $(WEB_SITE)/source_editor.js | cut -f1) more when the editor opens, $$(du -cb $(WEB_SITE)/tarvo_check.* | tail -n 1 | cut -f1) when an exercise opens)"

serve: web
	@echo "serving $(WEB_SITE) on http://localhost:$(SERVE_PORT)/ (Ctrl+C stops)"
	cd $(WEB_SITE) && /usr/bin/python3 -m http.server --bind $(SERVE_BIND) $(SERVE_PORT)

# The page in headless Chromium, driven through its canvas and controls as a
# person would; screenshots in build-web/.
web-test: setup-test web
	/usr/bin/python3 $(SRC)/tests/web/test_page.py $(WEB_SITE) $(WEB_DIR) 2>&1 | tee $(WEB_DIR)/web-test.log

# Emulated instructions a second in the page in headless Chromium, flat out
# (a benchmark, not a test): compare the board bus figure of make bench. Then
# the time Assemble takes over a generated source of 10,000 lines.
bench-web: web
	/usr/bin/python3 $(SRC)/tests/web/bench_page.py $(WEB_SITE) $(WEB_DIR)

clean-web:
	rm -rf $(WEB_DIR)

-include $(sort $(WEB_OBJECTS:.o=.d) $(CHECK_OBJECTS:.o=.d))
