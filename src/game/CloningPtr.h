// The earlier name of ClonedPtr, kept for code written against it.
#pragma once

#include "game/ClonedPtr.h"

namespace QUORB
{
template <class T> using CloningPtr = ClonedPtr<T>;
} // namespace QUORB
