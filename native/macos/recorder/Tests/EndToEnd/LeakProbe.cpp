// Leaks on purpose. The leak sweep runs it first: a sweep whose sanitizer would
// not report this leak could not report any other either.
#include <cstdio>
#include <cstdlib>

int main() {
    void* volatile lost = std::malloc(64);
    lost = nullptr;
    std::puts("leaked");
    return lost == nullptr ? 0 : 1;
}
