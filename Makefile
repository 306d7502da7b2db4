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

demo: build
	@$(BUILD)/bin/tilmor examples/demo.tmf

clean:
	rm -rf $(BUILD)

.PHONY: bench
bench: build
	@bash bench/install-peers.sh
	@bash bench/compare.sh $(BUILD)/bin/tilmor
