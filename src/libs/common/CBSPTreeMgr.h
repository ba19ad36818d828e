// Keeps one BSP tree per mesh name so each mesh is partitioned once and shared by every
// object that uses it: a graphics unit looks its mesh name up and, when nothing is there,
// builds a tree and hands it over. The manager owns the trees until the process ends.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

namespace common
{
class CBSPTree;

class CBSPTreeMgr
{
public:
    // The process-wide manager, created on first use and destroyed at exit.
    static CBSPTreeMgr& Instance();

    // Tests build their own managers; the game uses Instance.
    CBSPTreeMgr();
    CBSPTreeMgr(const CBSPTreeMgr&) = delete;
    CBSPTreeMgr& operator=(const CBSPTreeMgr&) = delete;
    virtual ~CBSPTreeMgr();

    // The tree registered under the name, or null.
    CBSPTree* GetTree(const std::string& name) const;
    // Takes ownership and returns the tree now registered under the name. A name that is
    // already taken keeps its first tree (other units may point into it); the newcomer is
    // deleted and the kept one returned, so callers always continue with the registered tree.
    CBSPTree* AddTree(const std::string& name, std::unique_ptr<CBSPTree> tree);

private:
    std::unordered_map<std::string, std::unique_ptr<CBSPTree>> m_trees;
};
} // namespace common
