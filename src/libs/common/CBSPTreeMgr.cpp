#include "common/CBSPTreeMgr.h"

#include "common/Assert.h"
#include "common/CBSPTree.h"

namespace common
{
CBSPTreeMgr& CBSPTreeMgr::Instance()
{
    static CBSPTreeMgr s_instance;
    return s_instance;
}

CBSPTreeMgr::CBSPTreeMgr() = default;

CBSPTreeMgr::~CBSPTreeMgr() = default;

CBSPTree* CBSPTreeMgr::GetTree(const std::string& name) const
{
    const auto found = m_trees.find(name);
    return found == m_trees.end() ? nullptr : found->second.get();
}

CBSPTree* CBSPTreeMgr::AddTree(const std::string& name, std::unique_ptr<CBSPTree> tree)
{
    CBSPTree* existing = GetTree(name);
    if (!DORVO_ASSERT(existing == nullptr,
                      "CBSPTreeMgr::AddTree - a tree is already registered under that name."))
    {
        return existing;
    }
    if (!DORVO_ASSERT(tree != nullptr, "CBSPTreeMgr::AddTree - no tree given."))
    {
        return nullptr;
    }
    CBSPTree* added = tree.get();
    m_trees.emplace(name, std::move(tree));
    return added;
}
} // namespace common
