# Makefile: set-up, build and tests of the plug-in in every configuration.
#
#   make deps    install what the build and the tests need (as root)
#   make test    build and test: Linux, Linux with sanitizers, Windows x64
#                under Wine, and the Windows x86 product DLL (checked statically)
#   make dll     the product DLL alone: build/win32/ferlo.dll
#   make bench   the benchmarks (Linux, optimised build); bench-writers runs
#                only the text writers' benchmark
#   make fuzz    each fuzz target for FUZZ_SECONDS (default 600) under
#                AddressSanitizer and UndefinedBehaviorSanitizer

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES := cmake make g++ clang lld llvm libgtest-dev googletest libbenchmark-dev \
	g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
	binutils-mingw-w64-i686 wine wine64 xvfb libclang-rt-14-dev

.PHONY: deps test test-native test-native-asan test-win64 test-win32-static test-win32 dll clean fuzz bench bench-writers

deps:
	@missing=$$(for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

test: deps
	$(MAKE) test-native test-native-asan test-win64 test-win32-static

define preset
	cmake --preset $(1) >/dev/null
	cmake --build --preset $(1) -j $(JOBS)
endef

test-native:
	$(call preset,native)
	ctest --preset native

test-native-asan:
	$(call preset,native-asan)
	ctest --preset native-asan

test-win64:
	$(call preset,win64)
	ctest --preset win64

# No 32-bit Wine here: the x86 DLL is built and its binary checked.
test-win32-static:
	$(call preset,win32)
	ctest --preset win32 -L static

# Where 32-bit Wine exists, the x86 build runs every test too.
test-win32:
	$(call preset,win32)
	ctest --preset win32

dll:
	$(call preset,win32)

bench: bench-writers

bench-writers:
	$(call preset,native)
	build/native/writers_bench

# New inputs a run finds go to the build tree; the seeds in fuzz/corpus stay
# as committed.
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := text_writers_fuzz

fuzz:
	$(call preset,fuzz)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$t && \
	  build/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=20 \
	    build/fuzz/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

clean:
	rm -rf build
