// The creator interface behind every name-keyed factory of components (and of physics forces):
// makes a fresh default object of one class and registers that class's by-name functions on a
// template controller. One creator object per class lives for the whole run; registries keep
// only a pointer to it.
#pragma once

class GobController;

template <class T> class DefaultCreator
{
public:
    virtual ~DefaultCreator() = default;

    // A new default-constructed object, owned by the caller.
    virtual T* Create() = 0;
    virtual void RegisterFunctions(GobController*) {}
};
