// Bytes that look like a file's contents and are the same for the same seed on every run.
#pragma once

#include <cstddef>
#include <random>
#include <string>

inline std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}
