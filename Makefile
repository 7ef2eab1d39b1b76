# The two commands of the README: `make demo` and `make test`.
.PHONY: demo test deps build clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build

demo: build
	scripts/demo

test: deps
	scripts/test

clean:
	rm -rf build build-nogui-asan
