# Sourced by the scripts that time ravolin-expand: sets `expand` to the program named in $1, or to a Release
# build made in build-release when none is named. Runs from the repository's top folder.
expand=${1:-}
if [[ -z $expand ]]; then
    cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=TRUE >/dev/null
    cmake --build build-release --target ravolin-expand >/dev/null
    expand=build-release/cli/ravolin-expand
fi
