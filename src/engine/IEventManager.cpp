#include "engine/IEventManager.h"

dorvo::IEventManager* g_pEventManager = nullptr;
