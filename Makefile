# The two commands a newcomer needs: `make run` and `make test`.
BUILD     ?= build
SAN_BUILD ?= build-san
JOBS      ?= 2

.PHONY: all build run test san bench clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

# Trains the bundled iris example and writes its trained network.
run: build
	cd examples/iris && ../../$(BUILD)/KESTRAN iris.par

test: build
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j$(JOBS)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
san:
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKESTRAN_SANITIZE=ON
	cmake --build $(SAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(SAN_BUILD) --output-on-failure --no-tests=error -j$(JOBS)

bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKESTRAN_BENCH=ON
	cmake --build build-bench -j$(JOBS) --target kestran_bench
	./build-bench/kestran_bench

clean:
	rm -rf $(BUILD) $(SAN_BUILD) build-bench
