// operator new for tgaconv_failing_new: allocation number TGACONV_FAIL_NEW,
// counted from 1, throws std::bad_alloc and says so on stderr; every other
// one comes from malloc.
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

unsigned long long allocations = 0;

void *allocate(size_t size) {
    static const char *fail_at = std::getenv("TGACONV_FAIL_NEW");
    if (fail_at && ++allocations == std::strtoull(fail_at, nullptr, 10)) {
        std::fputs("failing allocation\n", stderr);
        throw std::bad_alloc();
    }
    void *block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    return block;
}

}  // namespace

void *operator new(size_t size) { return allocate(size); }
void *operator new[](size_t size) { return allocate(size); }
void operator delete(void *block) noexcept { std::free(block); }
void operator delete[](void *block) noexcept { std::free(block); }
void operator delete(void *block, size_t) noexcept { std::free(block); }
void operator delete[](void *block, size_t) noexcept { std::free(block); }
