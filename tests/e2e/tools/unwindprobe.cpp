// Throws C++ exceptions out of the static C++ library's own functions and
// catches them in main, for the test that the Release exe's two-pass link
// (cmake/UnwindGcLink.cmake) keeps every frame description the unwinder
// needs. Built and linked as the Release exe is. Exit code 0 when each was
// caught, with the locals of the frames it left destroyed; otherwise the
// number of the first that was not. A frame description left out ends the
// program in std::terminate instead.
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

int destroyed = 0;

struct Counted {
    ~Counted() { ++destroyed; }
};

// Runs step, which must throw E; true when it did and its local was destroyed.
template <typename E, typename Step>
bool Throws(Step step) {
    const int before = destroyed;
    try {
        Counted local;
        step();
    } catch (const E& e) {
        std::printf("caught: %s\n", e.what());
        return destroyed == before + 1;
    }
    return false;
}

}  // namespace

int main() {
    // Each one leaves through library functions of its own: std::string's
    // and std::wstring's members (template instances in the library),
    // std::vector's range check, std::thread and std::function.
    if (!Throws<std::length_error>([] {
            std::string text("x");
            text.reserve(text.max_size() + 1);
        }))
        return 1;
    if (!Throws<std::length_error>([] {
            std::wstring text(L"x");
            text.resize(text.max_size() + 1);
        }))
        return 2;
    if (!Throws<std::out_of_range>([] {
            std::vector<int> none;
            std::printf("%d\n", none.at(1));
        }))
        return 3;
    if (!Throws<std::system_error>([] { std::thread().join(); })) return 4;
    if (!Throws<std::bad_function_call>([] { std::function<void()>()(); })) return 5;
    return 0;
}
