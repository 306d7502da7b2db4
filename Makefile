BUILD ?= build

.PHONY: all deps configure build test demo clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja >/dev/null

build: configure
	@cmake --build $(BUILD)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# Only the interpreter (and the window-system module it loads).
demo: configure
	@cmake --build $(BUILD) --target tilmor
	@bash scripts/demo.sh $(BUILD)/bin/tilmor $(BUILD)/demo.png

clean:
	rm -rf $(BUILD)

.PHONY: bench
bench: build
	@bash bench/install-peers.sh
	@bash bench/compare.sh $(BUILD)/bin/tilmor
	@echo
	@bash bench/odbc_bench.sh $(BUILD)/bin/tilmor
