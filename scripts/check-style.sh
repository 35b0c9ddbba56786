#!/usr/bin/env bash
# Fails on any source file clang-format would change and on any cppcheck finding. A finding that is wrong
# is silenced where it stands, with "// cppcheck-suppress <id> ; <reason>" on the line before it.
set -euo pipefail
cd "$(dirname "$0")/.."

git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

checks=(--quiet --error-exitcode=1 --enable=warning,style,performance,portability --inline-suppr
    --std=c++17 --language=c++ --library=qt
    # Qt's own typedefs; cppcheck's Qt library takes qint64 for a long, which %lld then trips over.
    "-Dqint64=long long" "-Dquint64=unsigned long long")
# The simulator is a program of its own with its own model types, so it is checked apart from the rest.
cppcheck "${checks[@]}" -Isrc src bench fuzz tools tests
cppcheck "${checks[@]}" sim
echo "Formatting and cppcheck: clean"
