// Lazy process-wide instance of T for the managers (message database, router and clock,
// graphics managers...). Created on the first Instance() with T's default constructor on the
// main thread, no lock; never destroyed, so it outlives every function-local static.
#pragma once

#include "common/OutOfMemException.h"

#include <new>

namespace common
{
// Allocation failures of every singleton are reported at this one place: this file and line
// 48, whatever T is, so exception logs from different managers read alike.
constexpr int kSingletonFailureLine = 48;

template <typename T> class Singleton
{
public:
    static T* Instance()
    {
        if (s_instance)
        {
            return s_instance;
        }
        try
        {
            s_instance = new T();
        }
        catch (const std::bad_alloc&)
        {
            // The pointer stays null, so a later call tries again.
            throw COutOfMemException(__FILE__, kSingletonFailureLine);
        }
        return s_instance;
    }

private:
    static inline T* s_instance = nullptr;
};
} // namespace common
