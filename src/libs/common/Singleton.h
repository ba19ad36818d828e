// Lazy process-wide instance of T for the managers (message database, router and clock,
// graphics managers...). Created on the first Instance() with T's default constructor on the
// main thread, no lock. Never destroyed unless its owner says so (the graphics facade lets its
// managers go in a fixed order); otherwise it outlives every function-local static.
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

    // Whether an instance exists now (never creates one).
    static bool Exists() { return s_instance != nullptr; }
    // Deletes the instance; the next Instance() makes a fresh one.
    static void Destroy()
    {
        T* instance = s_instance;
        s_instance = nullptr;
        delete instance;
    }

private:
    static inline T* s_instance = nullptr;
};
} // namespace common
