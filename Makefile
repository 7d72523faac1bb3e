# Set-up commands: `make run` and `make test` install what is missing, build and go.
TEST_DIR := build/test
RELEASE_DIR := build/release
PACKAGE_DIR := build/package
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60
# The system's Python, which has Debian's python3-matplotlib.
PYTHON ?= /usr/bin/python3

.PHONY: deps run demo test bench sensitivity build-test build-release build-fuzz fuzz package format

deps:
	./scripts/install-deps.sh

build-test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_SANITIZE=ON
	cmake --build $(TEST_DIR)

build-release: deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_BENCH=ON
	cmake --build $(RELEASE_DIR)

test: build-test
	ctest --test-dir $(TEST_DIR) --output-on-failure

run: build-release
	./scripts/run.sh $(RELEASE_DIR)

# The window on a simulated system: no receiver, no sound card, nothing of the user's touched.
demo: build-release
	./scripts/run.sh $(RELEASE_DIR) --demo

# The Debian package: $(PACKAGE_DIR)/tarvo_<version>_<arch>.deb
package: deps
	cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=OFF
	cmake --build $(PACKAGE_DIR)
	cd $(PACKAGE_DIR) && cpack --config CPackConfig.cmake

bench: build-release
	$(RELEASE_DIR)/bench/tarvo-bench

# Frames decoded from weak signals, both decoders and demodulators: table, CSV and plot.
sensitivity: build-release
	$(RELEASE_DIR)/bench/tarvo-sensitivity --csv $(RELEASE_DIR)/sensitivity.csv
	$(PYTHON) scripts/plot_sensitivity.py $(RELEASE_DIR)/sensitivity.csv $(RELEASE_DIR)/sensitivity.png

build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DTARVO_FUZZ=ON -DTARVO_TESTS=OFF
	cmake --build $(FUZZ_DIR)

# Each fuzz target for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=300).
fuzz: build-fuzz
	./scripts/run-fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

format:
	find src tests bench fuzz -name '*.h' -o -name '*.cpp' | xargs clang-format -i
