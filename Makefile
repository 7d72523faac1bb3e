# Set-up commands: `make run` and `make test` install what is missing, build and go.
TEST_DIR := build/test
RELEASE_DIR := build/release
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60

.PHONY: deps run test bench build-test build-release build-fuzz fuzz format

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

bench: build-release
	$(RELEASE_DIR)/bench/tarvo-bench

build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DTARVO_FUZZ=ON -DTARVO_TESTS=OFF
	cmake --build $(FUZZ_DIR)

# Each fuzz target for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=300).
fuzz: build-fuzz
	./scripts/run-fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

format:
	find src tests bench fuzz -name '*.h' -o -name '*.cpp' | xargs clang-format -i
