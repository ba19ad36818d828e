#include "engine/Caller.h"

#include "common/ParamStack.h"

Caller::~Caller() = default;

void Caller::CallFunction(const std::string& name, bool report)
{
    ParamStack params;
    CallFunction(name, params, report);
}
