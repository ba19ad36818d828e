// An object whose functions can be called by name with their arguments on a ParamStack: how
// console lines of the form "obj A.B args", the message database and scripts reach a game object.
#pragma once

#include <string>

class ParamStack;

class Caller
{
public:
    virtual ~Caller();

    // Calls `name` with the arguments on `params`; the result is left on `params`. With `report`
    // set the outcome is written to the console ("Function: ... called successfully." etc.).
    virtual void CallFunction(const std::string& name, ParamStack& params, bool report) = 0;
    // The same with no arguments, on a fresh stack that is released afterwards.
    virtual void CallFunction(const std::string& name, bool report);
};
