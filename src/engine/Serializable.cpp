#include "engine/Serializable.h"

Serializable::~Serializable() = default;
