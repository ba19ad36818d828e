// The post-processing effect ids 0 to 50: the file each id queues, the fixed chains some ids
// stand for, and the names the console's "qpp" knows them by.
#pragma once

#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
constexpr unsigned kPostProcessIdCount = 51;

// The effect files id queues, in queue order: one file, the files of its chain (ids 8, 11 and
// 12), or none (9, 10, 32, 35 and ids above 50).
std::vector<std::string> PostProcessFilesOfId(unsigned id);

// The id "qpp" queues for the name (exact, case-sensitive); false for a name it does not know.
bool PostProcessIdOfName(const std::string& name, unsigned& id);
} // namespace gfx
} // namespace dorvo
