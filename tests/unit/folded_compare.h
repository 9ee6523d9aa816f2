// A comparison that ignores the case of ASCII letters: a stand-in for a locale in which
// two different spellings compare equal.
#pragma once

inline int compareFolded(const wchar_t* a, const wchar_t* b) {
    auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? c - 32 : c; };
    for (;; ++a, ++b) {
        if (fold(*a) != fold(*b))
            return fold(*a) < fold(*b) ? -1 : 1;
        if (*a == 0)
            return 0;
    }
}
