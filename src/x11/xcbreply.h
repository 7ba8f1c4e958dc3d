#pragma once

#include <cstdlib>
#include <memory>

// An xcb reply or event, freed with free() when it goes out of scope.
struct XcbFree
{
    void operator()(void *memory) const { std::free(memory); }
};
template<typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;
