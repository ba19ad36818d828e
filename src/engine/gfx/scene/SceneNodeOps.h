// What a scene-graph walk does at a node of each kind: one operation interface per kind. An
// operation answers whether the walk descends into the node's children. Operations are
// stateless, so Clone gives a fresh object of the same class; the visitor owns the ones
// installed in it.
#pragma once

#include "common/ICloneable.h"

namespace dorvo
{
namespace gfx
{
class CBatchNode;
class CEffectNode;
class CGeometryNode;
class CSPINode;
class CTransformationNode;

class IGeometryNodeOp : public common::ICloneable
{
public:
    IGeometryNodeOp* Clone() const override = 0;
    virtual bool operator()(CGeometryNode& node) = 0;
};

class ITransformationNodeOp : public common::ICloneable
{
public:
    ITransformationNodeOp* Clone() const override = 0;
    virtual bool operator()(CTransformationNode& node) = 0;
};

class IEffectNodeOp : public common::ICloneable
{
public:
    IEffectNodeOp* Clone() const override = 0;
    virtual bool operator()(CEffectNode& node) = 0;
};

class IBatchNodeOp : public common::ICloneable
{
public:
    IBatchNodeOp* Clone() const override = 0;
    virtual bool operator()(CBatchNode& node) = 0;
};

class ISPINodeOp : public common::ICloneable
{
public:
    ISPINodeOp* Clone() const override = 0;
    virtual bool operator()(CSPINode& node) = 0;
};
} // namespace gfx
} // namespace dorvo
