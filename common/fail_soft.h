// The boundary between the libraries and their host: an exception (in
// practice std::bad_alloc) must never leave an export or a window procedure,
// since it would end the host's process. Work that runs out of memory gives
// the caller the answer of a refusal instead.
#pragma once

#include <utility>

template <class Result, class Work>
Result failSoft(Result refusal, Work&& work) noexcept
{
    try {
        return std::forward<Work>(work)();
    } catch (...) {
        return refusal;
    }
}
