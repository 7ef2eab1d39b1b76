# The two commands of the README: `make demo` and `make test`.
.PHONY: demo test deps build package clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build

demo: build
	scripts/demo

test: deps
	scripts/test

# The Debian packages quarvel and quarvel-server, in build/packages.
package: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARVEL_GUI=ON
	cmake --build build --target package

clean:
	rm -rf build build-nogui-asan
