# Makefile: set-up, build and tests of the plug-in in every configuration.
#
#   make deps    install what the build and the tests need (as root)
#   make demo    build, and export the sample database four ways into out/
#   make test    build and test: Linux, Linux with sanitizers, and Windows
#                x64 and x86 (the product DLL) under Wine
#   make dll     the product DLL alone: build/win32/ferlo.dll
#   make bench   the benchmarks (Linux, optimised build); bench-writers runs
#                only the text writers' benchmark
#   make fuzz    each fuzz target for FUZZ_SECONDS (default 600) under
#                AddressSanitizer and UndefinedBehaviorSanitizer
#   make screenshots  the settings dialog in every language, taken under
#                Wine into docs/images/settings-<language>.png
#   make loc     the lines of product code, of tests and of test tooling
#   make format  lay the sources out as .clang-format says; `make test`
#                first checks that they are

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES := cmake make g++ clang lld llvm libgtest-dev googletest libbenchmark-dev \
	g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
	binutils-mingw-w64-i686 wine wine64 xvfb libclang-rt-14-dev
# ferlo-export reads SQLite: the library and shell natively; for the Windows
# builds SQLite's amalgamation, fetched by `make deps` into build/deps.
PACKAGES += sqlite3 libsqlite3-dev python3 time
# The sources keep the layout of .clang-format; `make test` checks it.
PACKAGES += clang-format-14
SQLITE_DIR := build/deps/sqlite3

.PHONY: deps screenshots test test-native test-native-asan test-win64 test-win32 dll clean fuzz bench bench-writers loc format format-check

# Installs those of the packages $(1) that are missing.
define install
	@missing=$$(for p in $(1); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install,$(PACKAGES))
	@sh cmake/install-wine32 || true
	@$(MAKE) --no-print-directory $(SQLITE_DIR)/sqlite3.c

# The npm package better-sqlite3 carries SQLite's amalgamation; only the two
# files are kept.
$(SQLITE_DIR)/sqlite3.c:
	@command -v npm >/dev/null || (apt-get update && \
	  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends npm)
	rm -rf build/deps/npm && mkdir -p build/deps/npm $(SQLITE_DIR)
	cd build/deps/npm && npm pack --silent better-sqlite3@12 >/dev/null
	tar -xzf build/deps/npm/better-sqlite3-*.tgz -C build/deps/npm package/deps/sqlite3
	cp build/deps/npm/package/deps/sqlite3/sqlite3.c build/deps/npm/package/deps/sqlite3/sqlite3.h $(SQLITE_DIR)/
	rm -rf build/deps/npm

test: deps
	$(MAKE) format-check
	$(MAKE) test-native test-native-asan test-win64 test-win32

define preset
	cmake --preset $(1) >/dev/null
	cmake --build --preset $(1) -j $(JOBS)
endef

test-native:
	$(call preset,native)
	ctest --preset native -j $(JOBS)

test-native-asan:
	$(call preset,native-asan)
	ctest --preset native-asan

test-win64:
	$(call preset,win64)
	ctest --preset win64 -j $(JOBS)

# The product DLL runs every test under 32-bit Wine, which `make deps`
# installs; without it this fails, saying so, rather than test less.
test-win32:
	@sh cmake/install-wine32 --check
	$(call preset,win32)
	ctest --preset win32 -j $(JOBS)

dll:
	$(call preset,win32)

bench: bench-writers bench-host

bench-writers:
	$(call preset,native)
	build/native/writers_bench

# New inputs a run finds go to the build tree; the seeds in fuzz/corpus stay
# as committed.
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := text_writers_fuzz options_parser_fuzz settings_values_fuzz

fuzz:
	$(call preset,fuzz)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$t && \
	  build/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=20 \
	    -artifact_prefix=build/fuzz/$$t- build/fuzz/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

.PHONY: demo bench-host

# The reference host exports the sample database four ways into out/ and
# shows what it wrote.
demo: deps
	$(call preset,native)
	sh examples/demo.sh build/native out

# ferlo-export against sqlite3 -csv and Python's csv module, and its memory
# on 1,000,000 and 4,000,000 rows.
bench-host:
	$(call preset,native)
	python3 bench/host/bench_export.py build/native

# The pictures need Wine's own fonts (MS Sans Serif, Tahoma, Marlett) and,
# for the East Asian templates, fonts standing in for theirs: IPA P Gothic
# for MS UI Gothic, AR PL UMing (a Ming face like SimSun) for SimSun,
# Baekmuk Gulim for Gulim; WenQuanYi Zen Hei and Nanum Gothic give the
# title bar its Chinese and Korean letters.
SCREENSHOT_PACKAGES := xvfb imagemagick optipng fonts-wine fonts-ipafont-gothic \
	fonts-arphic-uming fonts-wqy-zenhei fonts-baekmuk fonts-nanum

screenshots: deps
	$(call install,$(SCREENSHOT_PACKAGES))
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS) --target ferlo settings_picture
	FERLO_WINEPREFIX=$(CURDIR)/build/win64/wineprefix-screenshots \
	  cmake/with-display sh tools/screenshots.sh build/win64 docs/images

loc:
	@sh cmake/count-lines

clean:
	rm -rf build

# The C and C++ sources under version control, in the layout .clang-format
# gives: `make format` rewrites them, `make format-check` fails on any that
# differ.
FORMATTED = $(shell git ls-files '*.cpp' '*.h' '*.c' 2>/dev/null)

format:
	clang-format-14 -i $(FORMATTED)

format-check:
	@clang-format-14 --dry-run -Werror $(FORMATTED) || \
	  (echo "Sources differ from .clang-format's layout: run make format"; exit 1)
