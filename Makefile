# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper over CMake: `make run` and `make test` are the Quick start.
RELEASE := build/release
PGO_BUILD := build/pgo
PROFILE := $(CURDIR)/$(PGO_BUILD)/profile
PGO_DEPTH := 6
CHECK := build/check
TSAN := build/tsan
FUZZ := build/fuzz
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
SOAK_GAMES ?= 100
# 0 builds Release in one pass, without the profile (quicker, a little slower).
PGO ?= 1
# 0 leaves the WebAssembly build and the page out of `make test`.
WEB_TESTS ?= 1
CTEST_FLAGS ?=

# Debian packages: what `make run` needs, and what `make test` adds.
PACKAGES_RUN := g++ cmake
PACKAGES_TEST := python3 libgtest-dev clang libclang-rt-14-dev stockfish
# The page and its tests: Emscripten with clang 19 as its compiler (and
# clang's profile runtime), Chromium, and npm where Node came without it.
PACKAGES_WEB := emscripten clang-19 lld-19 llvm-19 libclang-rt-19-dev chromium $(if $(shell command -v npm),,npm)

.PHONY: all deps-run deps-test deps-web release run check-build tsan-build fuzz-build test perft bench fuzz soak mutants \
  calibrate clean clang-profile wasm wasm-single web web-serve web-modules simulate simulate-build

# Test frameworks build with `make EXE=name` and run ./name bench.
EXE ?=
all: release
ifneq ($(EXE),)
	cp $(RELEASE)/solvane $(EXE)
endif

deps-run:
	@scripts/install-packages.sh $(PACKAGES_RUN)
deps-test: deps-run
	@scripts/install-packages.sh $(PACKAGES_TEST)
deps-web:
	@scripts/install-packages.sh $(PACKAGES_WEB)

# Release is built twice: once to record a profile of the bench, then laid out
# by that profile. The profile is recorded again whenever the engine changed.
ifeq ($(PGO),1)
release: deps-run
	cmake -S . -B $(PGO_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSOLVANE_PGO=generate \
	  -DSOLVANE_PGO_DIR=$(PROFILE) >/dev/null
	cmake --build $(PGO_BUILD) -j $(JOBS) --target solvane
	if [ ! -d $(PROFILE) ] || [ $(PGO_BUILD)/solvane -nt $(PROFILE) ]; then \
	  rm -rf $(PROFILE) && $(PGO_BUILD)/solvane bench $(PGO_DEPTH) >/dev/null && \
	  $(PGO_BUILD)/solvane bench $(PGO_DEPTH) 1 16 >/dev/null && touch $(PROFILE); fi
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSOLVANE_PGO=use \
	  -DSOLVANE_PGO_DIR=$(PROFILE) >/dev/null
	cmake --build $(RELEASE) -j $(JOBS)
else
release: deps-run
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSOLVANE_PGO= >/dev/null
	cmake --build $(RELEASE) -j $(JOBS)
endif

run: release
	@$(RELEASE)/solvane

# The engine under ThreadSanitizer, for the protocol tests.
tsan-build: deps-test
	cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
	  -DSOLVANE_TSAN=ON -DBUILD_TESTING=OFF >/dev/null
	cmake --build $(TSAN) -j $(JOBS) --target solvane

# The libFuzzer target of the command layer (clang, AddressSanitizer, UBSan).
# Without the engine's assertions: the test build runs those self-checks on
# every leaf, which would make each input a hundred times slower.
fuzz-build: deps-test
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" -DSOLVANE_SANITIZE=ON -DSOLVANE_FUZZ=ON -DBUILD_TESTING=OFF \
	  >/dev/null
	cmake --build $(FUZZ) -j $(JOBS) --target fuzz_commandes

# Unit, protocol, perft, reference, fuzz-smoke and short-game tests. The unit
# and protocol tests run on a build with assertions, AddressSanitizer and UBSan;
# the protocol tests again under ThreadSanitizer; games on the Release build.
check-build: deps-test release tsan-build fuzz-build simulate-build \
  $(if $(filter 1,$(WEB_TESTS)),web npm tests/npm/node_modules/.package-lock.json)
	cmake -S . -B $(CHECK) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" \
	  -DSOLVANE_SANITIZE=ON -DSOLVANE_RELEASE_BIN=$(CURDIR)/$(RELEASE)/solvane \
	  -DSOLVANE_TSAN_BIN=$(CURDIR)/$(TSAN)/solvane -DSOLVANE_FUZZ_BIN=$(CURDIR)/$(FUZZ)/fuzz_commandes \
	  -DSOLVANE_SIMULATION_BIN=$(CURDIR)/$(SIMULATE)/solvane \
	  -DSOLVANE_WASM_JS=$(if $(filter 1,$(WEB_TESTS)),$(CURDIR)/$(WASM)/solvane.js) \
	  -DSOLVANE_WEB_DIR=$(if $(filter 1,$(WEB_TESTS)),$(CURDIR)/$(WEB)) \
	  -DSOLVANE_NPM_TGZ=$(if $(filter 1,$(WEB_TESTS)),$(CURDIR)/$(DIST)/solvane-$(VERSION).tgz) >/dev/null
	cmake --build $(CHECK) -j $(JOBS)

test: check-build
	cd $(CHECK) && ctest --output-on-failure -j $(JOBS) -LE "perft_deep|soak" $(CTEST_FLAGS)

perft: check-build
	cd $(CHECK) && ctest --output-on-failure -L perft_deep

bench: release
	$(RELEASE)/solvane bench

fuzz: fuzz-build
	mkdir -p $(FUZZ)/corpus && cp -n tests/fuzz/corpus/* $(FUZZ)/corpus/
	$(FUZZ)/fuzz_commandes -max_total_time=$(FUZZ_SECONDS) -max_len=1024 -timeout=10 \
	  -artifact_prefix=$(FUZZ)/ $(FUZZ)/corpus

# A long session's memory (10,000 commands natively, 2,000 in WebAssembly), then
# long games: against the referee at 5 s + 0.1, then against itself at 40 moves
# in 20 s, repeating.
soak: release wasm
	cd tests/e2e && SOLVANE_BIN=$(CURDIR)/$(RELEASE)/solvane SOLVANE_MEMORY=rss SOLVANE_SOAK_COMMANDS=10000 \
	  python3 -m unittest -v test_soak
	cd tests/e2e && SOLVANE_BIN=$(CURDIR)/tests/web/solvane-node SOLVANE_WASM_JS=$(CURDIR)/$(WASM)/solvane.js \
	  SOLVANE_MEMORY=heap SOLVANE_SOAK_COMMANDS=2000 python3 -m unittest -v test_soak
	python3 tests/games/run_games.py --engine $(RELEASE)/solvane --opponent stockfish --games $(SOAK_GAMES) \
	  --tc 5+0.1 --fail-on-fault
	python3 tests/games/run_games.py --engine $(RELEASE)/solvane --opponent self --games 4 \
	  --tc 20 --moves-per-tc 40 --fail-on-fault

# The strength levels measured against Stockfish's UCI_Elo scale, then the
# soak games: hours. Results, tables and PGN in docs/calibration.
calibrate: release wasm
	python3 scripts/calibrate.py levels $(RELEASE)/solvane
	python3 scripts/calibrate.py soak $(RELEASE)/solvane

clean:
	rm -rf build

# The search on a simulated machine with one core per thread: for each count,
# the positions thrown away and the speed-up the search's dependencies allow.
SIMULATE := build/simulate
SIMULATE_DEPTH ?= 7
SIMULATE_THREADS ?= 2 4 8 16
simulate-build: deps-run
	cmake -S . -B $(SIMULATE) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSOLVANE_SIMULATION=ON >/dev/null
	cmake --build $(SIMULATE) -j $(JOBS) --target solvane
simulate: simulate-build
	for n in $(SIMULATE_THREADS); do echo "Threads $$n:"; \
	  $(SIMULATE)/solvane bench $(SIMULATE_DEPTH) $$n | grep -E '^(Nodes searched|Positions thrown away|Simulated)'; done

# ---- The page: the WebAssembly build and the static files of build/web ----
WASM := build/wasm
WEB := build/web
WEB_PORT ?= 8000
# Debian's emcc runs its JavaScript tools with the node on the PATH, which must
# find Debian's own modules (acorn among them). It compiles with clang 19
# rather than its own clang 14, which read the thread's base again in every
# block touching the thread-local state; its runtime libraries, built by
# clang 14, link unchanged, and its check of the clang version would only warn.
EM_ENV = NODE_PATH=$(patsubst %/acorn/package.json,%,$(shell dpkg -L node-acorn 2>/dev/null | grep -m1 '/acorn/package.json$$')) \
  EM_LLVM_ADD_VERSION=19 EM_CLANG_ADD_VERSION=19 EMCC_SKIP_SANITY_CHECK=1

# The Windows and WebAssembly builds are laid out by a profile of the bench,
# recorded by the same sources built natively with the clang they are compiled
# with (their own runtimes cannot record one); recorded again whenever the
# engine changed.
CLANG_PGO := build/clang-pgo
CLANG_PROFILE := $(CURDIR)/$(CLANG_PGO)/profile
clang-profile:
	CXX=clang++-19 cmake -S . -B $(CLANG_PGO) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSOLVANE_PGO=generate \
	  -DSOLVANE_PGO_DIR=$(CLANG_PROFILE) >/dev/null
	cmake --build $(CLANG_PGO) -j $(JOBS) --target solvane
	if [ ! -f $(CLANG_PROFILE)/solvane.profdata ] || [ $(CLANG_PGO)/solvane -nt $(CLANG_PROFILE)/solvane.profdata ]; then \
	  rm -rf $(CLANG_PROFILE) && $(CLANG_PGO)/solvane bench $(PGO_DEPTH) >/dev/null && \
	  llvm-profdata-19 merge -o $(CLANG_PROFILE)/solvane.profdata $(CLANG_PROFILE)/*.profraw; fi

# A new profile makes every object of the WebAssembly build again.
wasm: deps-web clang-profile
	if [ $(CLANG_PROFILE)/solvane.profdata -nt $(WASM)/solvane.wasm ]; then rm -rf $(WASM)/engine; fi
	$(EM_ENV) emcmake cmake -S . -B $(WASM) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSOLVANE_PGO=use \
	  -DSOLVANE_PGO_DIR=$(CLANG_PROFILE) >/dev/null
	$(EM_ENV) cmake --build $(WASM) -j $(JOBS) --target solvane

# The same without threads (build/wasm-single/solvane-single.js and .wasm),
# for the npm package on pages without SharedArrayBuffer.
WASM_SINGLE := build/wasm-single
wasm-single: deps-web clang-profile
	if [ $(CLANG_PROFILE)/solvane.profdata -nt $(WASM_SINGLE)/solvane-single.wasm ]; then rm -rf $(WASM_SINGLE)/engine; fi
	$(EM_ENV) emcmake cmake -S . -B $(WASM_SINGLE) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSOLVANE_UN_FIL=ON \
	  -DSOLVANE_PGO=use -DSOLVANE_PGO_DIR=$(CLANG_PROFILE) >/dev/null
	$(EM_ENV) cmake --build $(WASM_SINGLE) -j $(JOBS) --target solvane

# The page's libraries, as the lock file pins them.
web/node_modules/.package-lock.json: web/package-lock.json | deps-web
	cd web && npm ci --no-audit --no-fund
web-modules: web/node_modules/.package-lock.json

web: wasm web-modules
	rm -rf $(WEB) && mkdir -p $(WEB)
	web/node_modules/.bin/esbuild web/src/main.js --bundle --format=esm --minify --target=es2022 \
	  --outfile=$(WEB)/app.js --log-level=warning
	cp -r web/index.html web/style.css web/manifest.webmanifest web/icons web/src/engine-worker.js \
	  $(WASM)/solvane.js $(WASM)/solvane.wasm $(WASM)/solvane.worker.js $(WEB)/
	node web/make-sw.mjs $(WEB)

# The page on http://127.0.0.1:$(WEB_PORT)/, cross-origin isolated.
web-serve: web
	python3 web/serve.py $(WEB) --port $(WEB_PORT)

# ---- The npm package: build/npm/solvane, packed as build/dist/solvane-VERSION.tgz ----
NPM_STAGE := build/npm/solvane
NPM_FILES := $(wildcard packages/solvane/*.mjs packages/solvane/*.cjs packages/solvane/*.d.ts) \
  $(addprefix packages/solvane/,worker.js package.json README.md)
# The package's tests: the bundlers, Chromium's driver and the user's project's
# chessops, as tests/npm/package-lock.json pins them.
tests/npm/node_modules/.package-lock.json: tests/npm/package-lock.json | deps-web
	cd tests/npm && npm ci --no-audit --no-fund

npm-stage: wasm wasm-single
	rm -rf $(NPM_STAGE) && mkdir -p $(NPM_STAGE)
	cp $(NPM_FILES) LICENSE $(WASM)/solvane.js $(WASM)/solvane.wasm $(WASM)/solvane.worker.js \
	  $(WASM_SINGLE)/solvane-single.js $(WASM_SINGLE)/solvane-single.wasm $(NPM_STAGE)/
	sed '/^\/\*\* Raised for/,/^export class SolvaneError/d' $(NPM_STAGE)/index.d.ts >$(NPM_STAGE)/index.d.cts
	cd $(NPM_STAGE) && npm pkg set version=$(VERSION)

npm: npm-stage
	mkdir -p $(DIST) && rm -f $(DIST)/solvane-*.tgz
	cd $(NPM_STAGE) && npm pack --pack-destination $(CURDIR)/$(DIST) >/dev/null

# ---- Builds for other systems, their checks, and the Debian package ----
# Paths: build/windows/solvane-x86.exe and solvane-x64.exe (stripped copies),
# build/m32 (32-bit Linux), build/pkg (the .deb).
CROSS_JOBS ?= 2
WINDOWS := build/windows
WINDOWS_STRIP_x86 := i686-w64-mingw32-strip
WINDOWS_STRIP_x64 := x86_64-w64-mingw32-strip
WINE := /usr/lib/wine/wine64
WINESERVER := /usr/lib/wine/wineserver
WINE_ENV := WINEDEBUG=-all WINEPREFIX=$(CURDIR)/build/wine-prefix WINEDLLOVERRIDES="mscoree,mshtml="
M32 := build/m32
M32_GTEST := build/m32-gtest
PKG := build/pkg
# The commands checked on Windows: uci, isready, position with moves, go depth,
# go movetime, stop, quit and the end of input.
WINDOWS_E2E := test_protocol.Reader test_search.Clock test_search.StopAndPonder \
  test_search.CommandsDuringSearch
CHECK32_E2E := test_protocol test_search test_tools test_reference
CROSS_PY := PYTHONPATH=$(CURDIR)/tests/e2e python3 -m unittest

.PHONY: npm npm-stage cross-deps windows windows-x64 windows-x86 windows-check x86-vm check32 package

# Debian packages for the targets below (root; `apt-get update` first).
# Wine's 32-bit half (wine32) comes from Debian's i386 architecture.
cross-deps:
	dpkg --print-foreign-architectures | grep -qx i386 || { dpkg --add-architecture i386 && apt-get update; }
	DEBIAN_FRONTEND=noninteractive apt-get install -y mingw-w64 clang-19 libclang-rt-19-dev lld-19 llvm-19 wine \
	  wine64 wine32 g++-multilib qemu-user dpkg-dev qemu-system-x86 debootstrap e2fsprogs

windows: windows-x86 windows-x64

# windows-x86 and windows-x64: toolchain cmake/mingw-<arch>.cmake, build in build/mingw-<arch>.
windows-x86 windows-x64: windows-%: clang-profile
	cmake -S . -B build/mingw-$* -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$*.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DBUILD_TESTING=OFF -DSOLVANE_PGO=use -DSOLVANE_PGO_DIR=$(CLANG_PROFILE) >/dev/null
	cmake --build build/mingw-$* -j $(CROSS_JOBS) --target solvane
	mkdir -p $(WINDOWS)
	$(WINDOWS_STRIP_$*) -o $(WINDOWS)/solvane-$*.exe build/mingw-$*/solvane.exe

# The first Wine start creates the prefix.
build/wine-prefix/system.reg:
	mkdir -p build
	$(WINE_ENV) $(WINE) wineboot --init </dev/null >/dev/null 2>&1

# Both Windows builds under Wine: the protocol tests, then bench 5 against the
# Linux build's node total. A persistent wineserver, started apart from the
# tests (any server left from an earlier run goes first), keeps Wine's own
# helper processes from holding the engine's pipes open after it exits. The
# 32-bit build needs a kernel that runs 32-bit code: where Wine's i386 loader
# cannot start, it runs in the emulated machine of x86-vm, whose answers come
# later: the tests allow X86_VM_TIME_SCALE times as long for them.
X86_VM_TIME_SCALE ?= 4
WINE32 := /usr/lib/wine/wine
windows-check: windows release build/wine-prefix/system.reg
	-$(WINE_ENV) $(WINESERVER) -k 2>/dev/null
	$(WINE_ENV) $(WINESERVER) -p
	status=0; want=$$($(RELEASE)/solvane bench 5 | grep '^Nodes searched'); \
	  for b in x64 x86; do exe=$(WINDOWS)/solvane-$$b.exe; \
	    if [ $$b = x64 ] || $(WINE32) --version >/dev/null 2>&1; then \
	      got=$$($(WINE_ENV) tests/cross/windows-e2e $$exe $(WINDOWS_E2E)) || status=1; \
	    else echo "solvane-x86.exe: in the emulated machine (Wine's i386 loader does not start here)"; \
	      rm -f $(X86_VM)/console.log; \
	      $(MAKE) x86-vm && tests/cross/x86-vm SOLVANE_TIME_SCALE=$(X86_VM_TIME_SCALE) tests/cross/windows-e2e $$exe \
	        $(WINDOWS_E2E) || status=1; \
	      got=$$(grep '^Nodes searched' $(X86_VM)/console.log); fi; \
	    echo "solvane-$$b.exe bench 5: $$got (Linux: $$want)"; [ -n "$$want" ] && [ "$$got" = "$$want" ] || status=1; \
	  done; \
	  $(WINE_ENV) $(WINESERVER) -k; exit $$status

# The emulated x86-64 machine (QEMU without KVM) that runs 32-bit code where
# this host's kernel does not: Debian 12 and its kernel, with Wine and Python.
# Commands run in it through tests/cross/x86-vm.
X86_VM := build/x86-vm
$(X86_VM)/ready: tests/cross/x86-vm-image
	nice -n 19 tests/cross/x86-vm-image $(X86_VM)
x86-vm: $(X86_VM)/ready

# GoogleTest for i386, from the sources of Debian's googletest package.
$(M32_GTEST)/install/lib/cmake/GTest/GTestConfig.cmake:
	cmake -S /usr/src/googletest -B $(M32_GTEST) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/linux-m32.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX=$(CURDIR)/$(M32_GTEST)/install >/dev/null
	cmake --build $(M32_GTEST) -j $(CROSS_JOBS)
	cmake --install $(M32_GTEST) >/dev/null

# 32-bit Linux: unit tests and protocol tests under qemu-i386, assertions on.
check32: $(M32_GTEST)/install/lib/cmake/GTest/GTestConfig.cmake
	cmake -S . -B $(M32) -DCMAKE_TOOLCHAIN_FILE=cmake/linux-m32.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DGTest_ROOT=$(CURDIR)/$(M32_GTEST)/install >/dev/null
	cmake --build $(M32) -j $(CROSS_JOBS)
	cd $(M32) && ctest --output-on-failure -j $(CROSS_JOBS) -L unit
	cd tests/e2e && SOLVANE_EXE=$(CURDIR)/$(M32)/solvane SOLVANE_BIN=$(CURDIR)/tests/cross/qemu-solvane \
	  $(CROSS_PY) -v $(CHECK32_E2E)

# The Debian package of the Release build: build/pkg/solvane_<version>_<arch>.deb.
package: release
	rm -rf $(PKG) && cd $(RELEASE) && cpack -G DEB -B $(CURDIR)/$(PKG) >/dev/null

# ---- Release archives: build/dist ----
# solvane-VERSION-windows.zip, -linux-x86_64.tar.gz, -web.tar.gz, the .deb, the
# npm package solvane-VERSION.tgz and SHA256SUMS over them, each archive but the
# npm one (whose folder is npm's "package") holding one folder of its own name.
DIST := build/dist
VERSION := $(shell sed -n 's/^project.solvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DIST_STAGE := build/dist-stage
# Files in name order, owned by root rather than by whoever built them.
DIST_TAR := tar --sort=name --owner=0 --group=0 --numeric-owner -czf

.PHONY: dist-deps dist-archives dist dist-check

dist-deps: cross-deps
	@scripts/install-packages.sh lintian dpkg-dev

dist-archives: dist-deps release windows web package npm-stage
	rm -rf $(DIST) $(DIST_STAGE) && mkdir -p $(DIST)
	cd $(NPM_STAGE) && npm pack --pack-destination $(CURDIR)/$(DIST) >/dev/null
	d=$(DIST_STAGE)/solvane-$(VERSION)-windows && mkdir -p $$d && \
	  cp $(WINDOWS)/solvane-x64.exe $(WINDOWS)/solvane-x86.exe $$d/ && \
	  sed 's/$$/\r/' README.md >$$d/README.txt && sed 's/$$/\r/' LICENSE >$$d/LICENSE.txt && \
	  cd $(DIST_STAGE) && cmake -E tar cf $(CURDIR)/$(DIST)/solvane-$(VERSION)-windows.zip --format=zip \
	  solvane-$(VERSION)-windows
	d=$(DIST_STAGE)/solvane-$(VERSION)-linux-x86_64 && mkdir -p $$d && \
	  strip -o $$d/solvane $(RELEASE)/solvane && cp docs/solvane.6 README.md LICENSE $$d/ && \
	  $(DIST_TAR) $(DIST)/solvane-$(VERSION)-linux-x86_64.tar.gz -C $(DIST_STAGE) solvane-$(VERSION)-linux-x86_64
	d=$(DIST_STAGE)/solvane-$(VERSION)-web && mkdir -p $$d && cp -r $(WEB)/. $$d/ && \
	  cp web/SERVING.txt LICENSE $$d/ && \
	  $(DIST_TAR) $(DIST)/solvane-$(VERSION)-web.tar.gz -C $(DIST_STAGE) solvane-$(VERSION)-web
	cp $(PKG)/solvane_$(VERSION)_*.deb $(DIST)/
	cd $(DIST) && sha256sum *.zip *.tar.gz *.tgz *.deb >SHA256SUMS
	rm -rf $(DIST_STAGE)

# Each archive unpacked apart and its engine run (the Windows ones under Wine),
# the checksums, and lintian on the package.
dist-check: build/wine-prefix/system.reg
	$(WINE32) --version >/dev/null 2>&1 || $(MAKE) x86-vm
	$(WINE_ENV) WINE=$(WINE) WINESERVER=$(WINESERVER) tests/dist/check-archives.sh $(DIST)

dist: dist-archives
	$(MAKE) dist-check

# Each fault of tests/mutants/mutants.txt, planted alone in a copy of the tree
# (build/mutants), must make the tests fail: a build and a test run per fault.
mutants:
	python3 tests/mutants/run_mutants.py $(MUTANTS)
