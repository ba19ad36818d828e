#include "common/math/Triangle.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace math
{
Triangle::Triangle()
{
    BindVertices();
}

Triangle::Triangle(const Vector3& a, const Vector3& b, const Vector3& c) : v0(a), v1(b), v2(c)
{
    BindVertices();
    ComputeNormal();
}

Triangle::Triangle(const Triangle& other) : v0(other.v0), v1(other.v1), v2(other.v2), normal(other.normal)
{
    BindVertices();
}

Triangle& Triangle::operator=(const Triangle& other)
{
    v0 = other.v0;
    v1 = other.v1;
    v2 = other.v2;
    normal = other.normal;
    return *this;
}

void Triangle::BindVertices()
{
    m_vertices[0] = &v0;
    m_vertices[1] = &v1;
    m_vertices[2] = &v2;
}

void Triangle::Set(const Vector3& a, const Vector3& b, const Vector3& c)
{
    *m_vertices[0] = a;
    *m_vertices[1] = b;
    *m_vertices[2] = c;
    ComputeNormal();
}

void Triangle::ComputeNormal()
{
    normal = (v1 - v0).Cross(v2 - v0).GetNormalized();
}

void Triangle::ProjectOntoAxis(float& min, float& max, const Vector3& axis) const
{
    const float a = v0.Dot(axis);
    const float b = v1.Dot(axis);
    const float c = v2.Dot(axis);
    min = std::min(a, std::min(b, c));
    max = std::max(a, std::max(b, c));
}

bool Triangle::ContainsPoint(const Vector3& p) const
{
    for (int i = 0; i < 3; ++i)
    {
        const Vector3& from = *m_vertices[i];
        const Vector3& to = *m_vertices[(i + 1) % 3];
        const Vector3 outward = (to - from).Cross(normal);
        if ((p - from).Dot(outward) > 0.0f)
        {
            return false;
        }
    }
    return true;
}

Vector3 Triangle::PointAt(float s, float t) const
{
    return (v0 + (v1 - v0) * s) + (v2 - v0) * t;
}

Vector3 Triangle::GetCentroid() const
{
    return (v0 + v1 + v2) * (1.0f / 3.0f);
}

float Triangle::SquaredDistance(const Vector3& p, float* sOut, float* tOut) const
{
    // The closest point is V0 + s E0 + t E1. The (s, t) plane splits into seven regions around
    // the triangle (0 inside; 1, 3, 5 beyond an edge; 2, 4, 6 beyond a vertex): minimise the
    // quadratic inside, else clamp to the edge or vertex of the region.
    const Vector3 edge0 = v1 - v0;
    const Vector3 edge1 = v2 - v0;
    const Vector3 diff = v0 - p;
    const float a00 = edge0.Dot(edge0);
    const float a01 = edge0.Dot(edge1);
    const float a11 = edge1.Dot(edge1);
    const float b0 = diff.Dot(edge0);
    const float b1 = diff.Dot(edge1);
    const float c = diff.Dot(diff);
    const float det = std::fabs(a00 * a11 - a01 * a01);
    if (IsZero(det))
    {
        return std::numeric_limits<float>::infinity();
    }

    float s = a01 * b1 - a11 * b0;
    float t = a01 * b0 - a00 * b1;
    float squared = 0.0f;
    const auto general = [&]
    { return s * (a00 * s + a01 * t + 2.0f * b0) + t * (a01 * s + a11 * t + 2.0f * b1) + c; };
    // Closest point on the edge v = 0, u free in [0, 1], where (u, v) is (s, t) or (t, s) and auu,
    // bu the terms of u.
    const auto clampToEdge = [&](float& u, float& v, float auu, float bu)
    {
        v = 0.0f;
        if (bu >= 0.0f)
        {
            u = 0.0f;
            squared = c;
        }
        else if (-bu >= auu)
        {
            u = 1.0f;
            squared = auu + 2.0f * bu + c;
        }
        else
        {
            u = -bu / auu;
            squared = bu * u + c;
        }
    };
    const auto clampS = [&] { clampToEdge(s, t, a00, b0); }; // on the edge t = 0
    const auto clampT = [&] { clampToEdge(t, s, a11, b1); }; // on the edge s = 0
    // Regions 2 (u = s) and 6 (u = t), beyond s + t = 1 with u < 0: closest on the edge V1V2 or on
    // the edge u = 0.
    const auto nearCorner =
        [&](float& u, float& v, float auu, float bu, float avv, float bv, float denominator)
    {
        const float tmp0 = a01 + bu;
        const float tmp1 = avv + bv;
        if (tmp1 > tmp0)
        {
            const float numerator = tmp1 - tmp0;
            if (numerator >= denominator)
            {
                u = 1.0f;
                v = 0.0f;
                squared = auu + 2.0f * bu + c;
            }
            else
            {
                u = numerator / denominator;
                v = 1.0f - u;
                squared = general();
            }
        }
        else
        {
            u = 0.0f;
            if (tmp1 <= 0.0f)
            {
                v = 1.0f;
                squared = avv + 2.0f * bv + c;
            }
            else if (bv >= 0.0f)
            {
                v = 0.0f;
                squared = c;
            }
            else
            {
                v = -bv / avv;
                squared = bv * v + c;
            }
        }
    };

    if (s + t <= det)
    {
        if (s < 0.0f)
        {
            if (t < 0.0f)
            {
                // Region 4: nearest to V0, on one of the two edges that meet there.
                if (b0 < 0.0f)
                {
                    clampS();
                }
                else
                {
                    clampT();
                }
            }
            else
            {
                clampT(); // region 3
            }
        }
        else if (t < 0.0f)
        {
            clampS(); // region 5
        }
        else
        {
            // Region 0: inside.
            const float inverse = 1.0f / det;
            s *= inverse;
            t *= inverse;
            squared = general();
        }
    }
    else
    {
        const float denominator = a00 - 2.0f * a01 + a11; // |V2 - V1|^2
        if (s < 0.0f)
        {
            nearCorner(s, t, a00, b0, a11, b1, denominator); // region 2
        }
        else if (t < 0.0f)
        {
            nearCorner(t, s, a11, b1, a00, b0, denominator); // region 6
        }
        else
        {
            // Region 1: beyond the edge V1V2.
            const float numerator = a11 + b1 - a01 - b0;
            if (numerator <= 0.0f)
            {
                s = 0.0f;
                t = 1.0f;
                squared = a11 + 2.0f * b1 + c;
            }
            else if (numerator >= denominator)
            {
                s = 1.0f;
                t = 0.0f;
                squared = a00 + 2.0f * b0 + c;
            }
            else
            {
                s = numerator / denominator;
                t = 1.0f - s;
                squared = general();
            }
        }
    }

    if (sOut)
    {
        *sOut = s;
    }
    if (tOut)
    {
        *tOut = t;
    }
    // Rounding can leave the expression slightly below zero.
    return std::fabs(squared);
}
} // namespace math
