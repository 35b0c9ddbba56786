#pragma once

#include <QByteArray>

#include <algorithm>

// Qt 5.15's JSON parser recurses per level of nesting and leaks what a repeated key replaces; past this
// depth that leak's stack outgrows the longest one the sanitizer records, and its suppression no longer
// matches. The fuzzers that feed JSON skip deeper inputs: no file the program reads nests beyond five.
constexpr int kMaxFuzzedJsonDepth = 48;

// How deep `json`'s brackets and braces nest, strings not told apart: an upper bound is all it needs.
inline int jsonNestingDepth(const QByteArray &json)
{
    int depth = 0;
    int deepest = 0;
    for (const char c : json) {
        if (c == '[' || c == '{')
            deepest = std::max(deepest, ++depth);
        else if (c == ']' || c == '}')
            --depth;
    }
    return deepest;
}
