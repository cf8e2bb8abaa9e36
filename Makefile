# Convenience targets. `make demo` runs the batch tool on the bundled samples; `make test`
# runs the whole test suite. Both install missing Debian packages, configure and build first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build demo test bench clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

demo: build
	$(BUILD_DIR)/src/cli/carinova-cli info samples/valves.tps samples/valves.msd samples/valves.txt

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD_DIR)-bench -DCMAKE_BUILD_TYPE=Release -DCARINOVA_BUILD_BENCHMARKS=ON
	cmake --build $(BUILD_DIR)-bench -j $(JOBS)
	for b in $(BUILD_DIR)-bench/bench/bench_*; do $$b; done

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench
