#include "engine/GobController.h"

#include "common/loki/BaseFunctor.h"

GobController::~GobController() = default;

void GobController::RegisterComponentFunction(const std::string&, Loki::BaseFunctor* functor, std::uint32_t)
{
    delete functor;
}

void GobController::RegisterFunction(const std::string&, Loki::BaseFunctor* functor)
{
    delete functor;
}
