# Two entry points for a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
# Optimised code without debug information builds about a third faster; developers who step
# through the code use `make BUILD_TYPE=RelWithDebInfo` (or Debug) with their own BUILD folder.
BUILD_TYPE ?= Release
# ccache, when installed, lets rebuilds and other checkouts reuse compiled objects.
LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: deps configure build run test bench fuzz format clean

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(LAUNCHER) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/Kelvo $(ARGS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $$(find $(BUILD)/bench -maxdepth 2 -type f -name "bench_*" -executable | sort); do echo "== $$b"; $$b; done

fuzz: deps
	@scripts/fuzz-smoke.sh

format:
	@find platform core cli app densor tests bench fuzz tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
