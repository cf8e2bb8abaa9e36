# Convenience targets. `make demo` runs the batch tool on the bundled samples; `make test`
# runs the whole test suite. Both install missing Debian packages, configure and build first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build demo test test-sanitize fuzz bench clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

RESULTS_DIR ?= results

SAMPLES = samples/valves.tps samples/valves_curves.tps samples/valves.msd samples/valves.txt \
	samples/valves.chc samples/valves.nts samples/valves_xy.csv samples/valves_measurements.asc

demo: build
	$(BUILD_DIR)/src/cli/carinova-cli info $(SAMPLES)
	$(BUILD_DIR)/src/cli/carinova-cli analyze samples/valves.tps --mean -o $(RESULTS_DIR)
	@echo "The document, tables, pictures and report are in $(RESULTS_DIR)/"

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The core tests built with AddressSanitizer and UndefinedBehaviorSanitizer; any finding fails.
SANITIZE_FLAGS = -O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
test-sanitize: deps
	cmake -S . -B $(BUILD_DIR)-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
		-DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" \
		$(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
	cmake --build $(BUILD_DIR)-sanitize -j $(JOBS) --target carinova_core_tests
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		ctest --test-dir $(BUILD_DIR)-sanitize -L core --output-on-failure -j $(JOBS)

# libFuzzer targets built with clang in their own folder; FUZZ_SECONDS for each of them.
FUZZ_SECONDS ?= 60
FUZZERS ?= tps_reader morphosys_reader simple_reader chain_code_reader ntsys_reader \
	xy_list_reader xml_document fit_cluster
fuzz:
	@bash scripts/install-deps.sh fuzz
	CXX=clang++ cmake -S . -B $(BUILD_DIR)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCARINOVA_BUILD_FUZZERS=ON -DCARINOVA_BUILD_TESTS=OFF
	cmake --build $(BUILD_DIR)-fuzz -j $(JOBS) --target make_fuzz_seeds $(addprefix fuzz_,$(FUZZERS))
	bash fuzz/run_fuzzers.sh $(BUILD_DIR)-fuzz $(FUZZ_SECONDS) $(FUZZERS)

bench: deps
	cmake -S . -B $(BUILD_DIR)-bench -DCMAKE_BUILD_TYPE=Release -DCARINOVA_BUILD_BENCHMARKS=ON
	cmake --build $(BUILD_DIR)-bench -j $(JOBS)
	for b in $(BUILD_DIR)-bench/bench/bench_*; do $$b; done

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench $(BUILD_DIR)-sanitize $(BUILD_DIR)-fuzz
