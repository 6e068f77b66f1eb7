# The commands people type. Each first installs what is missing.
#   make        both cross builds: build/win32/bin (the deliverables), build/win64/bin
#   make test   every test: static checks of the 32-bit DLLs, the 64-bit build
#               under Wine, the text helpers natively with sanitizers
#   make test32 the whole suite again on the shipped 32-bit DLLs, with the test
#               programs built for i686, under a WoW64 Wine given by WINE_WOW64
#               (a folder or a tarball); and a real NSIS setup and removal
#   make demo   the main job, run by the setup script host under Wine
#   make bench  times updateRegHard against the bare registry calls it makes
#   make release  build/release: the zip for setup authors (32-bit DLLs, the
#               reference, the 32-bit host and the demo's scripts, a manifest)
#   make fuzz   each libFuzzer target for FUZZ_SECONDS, from the saved corpus
#   make soak   the generated round trip on SOAK_MACHINES machines (SOAK_SEED: one)
# BUILD=dir puts everything (builds and the Wine prefix) under another folder.

MAKEFLAGS += --no-print-directory

BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps build build-native test test32 test32-build demo bench release fuzz soak clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake --preset win32 -B $(BUILD)/win32 >/dev/null
	@cmake --build $(BUILD)/win32 -j $(JOBS)
	@cmake --preset win64 -B $(BUILD)/win64 >/dev/null
	@cmake --build $(BUILD)/win64 -j $(JOBS)

build-native: deps
	@cmake --preset native -B $(BUILD)/native >/dev/null
	@cmake --build $(BUILD)/native -j $(JOBS)

test: build build-native
	@tools/run-tests.sh $(BUILD)

# The WoW64 Wine is looked for and tried first, so that a missing one, or a
# machine that cannot run 32-bit code, is said at once. With
# TEST32_SKIP_UNSUPPORTED=1 such a machine skips the run instead of failing
# ("make test32-build" still builds the 32-bit tests there).
WINE_WOW64 ?=
TEST32_SKIP_UNSUPPORTED ?=
test32: deps
	@tools/wine-wow64.sh "$(WINE_WOW64)" --probe >/dev/null; status=$$?; \
	if [ $$status -eq 3 ] && [ -n "$(TEST32_SKIP_UNSUPPORTED)" ]; then \
	  echo "make test32 skipped: this machine cannot run 32-bit code"; \
	elif [ $$status -ne 0 ]; then exit $$status; \
	else $(MAKE) test32-build && tools/run-tests32.sh $(BUILD) "$(WINE_WOW64)"; fi

# The deliverables, then the i686 test programs, fixtures, host and NSIS
# installer around copies of them.
test32-build:
	@cmake --preset win32 -B $(BUILD)/win32 >/dev/null
	@cmake --build $(BUILD)/win32 -j $(JOBS)
	@cmake --preset win32-tests -B $(BUILD)/win32-tests \
	  -DSORBIX_SHIPPED_DLLS=$(abspath $(BUILD))/win32/bin >/dev/null
	@cmake --build $(BUILD)/win32-tests -j $(JOBS)


# The demo builds only what it runs (the 64-bit DLLs, the host and the
# stand-ins); its build output goes to a log, shown only when the build fails.
demo: deps
	@demo/build-demo.sh $(BUILD) $(JOBS)
	@demo/run-demo.sh $(BUILD)

bench: build
	@tools/run-bench.sh $(BUILD)

release: build
	@python3 tools/release.py --binaries $(BUILD)/win32/bin --out $(BUILD)/release

FUZZ_SECONDS ?= 60
FUZZ_TARGETS = parse_component_entry set_entry_flags

# New inputs go to $(BUILD)/fuzz-corpus; the saved corpus in the tree is only read.
fuzz: build-native
	@for target in $(FUZZ_TARGETS); do \
	  mkdir -p $(BUILD)/fuzz-corpus/$$target && \
	  echo "== fuzz_$$target: $(FUZZ_SECONDS) s ==" && \
	  if $(BUILD)/native/bin/fuzz_$$target -max_len=2048 -max_total_time=$(FUZZ_SECONDS) \
	       -print_final_stats=1 -artifact_prefix=$(BUILD)/fuzz-corpus/ \
	       $(BUILD)/fuzz-corpus/$$target tests/native/corpus/$$target \
	       >$(BUILD)/fuzz-corpus/$$target.log 2>&1; then \
	    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' \
	      $(BUILD)/fuzz-corpus/$$target.log; \
	  else \
	    tail -40 $(BUILD)/fuzz-corpus/$$target.log; exit 1; \
	  fi; \
	done

# The generated round trip on many machines; prints the seed of each that
# fails (SOAK_SEED=N runs that one alone).
soak: deps
	@cmake --preset win64 -B $(BUILD)/win64 >/dev/null
	@cmake --build $(BUILD)/win64 -j $(JOBS) --target generated_roundtrip_test
	@tools/run-soak.sh $(BUILD)

clean:
	rm -rf $(BUILD)
