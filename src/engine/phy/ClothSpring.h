// A damped spring between two particles of one cloth: it pulls them towards its rest length and
// damps their relative motion along it. It points into its cloth's particle array and lives
// exactly as long as the cloth, which owns it.
#pragma once

namespace dorvo
{
namespace phy
{
class ClothParticle;

class ClothSpring
{
public:
    ClothSpring(ClothParticle* a, ClothParticle* b, float stiffness, float damping, float restLength)
        : a(a), b(b), stiffness(stiffness), damping(damping), restLength(restLength)
    {
    }

    // Adds F = -((L - rest) * stiffness + ((va - vb) . d) * damping / L) * d / L to a and -F to
    // b, with d = a - b and L = |d|. Coincident particles (L zero) give no force: there is no
    // direction to push along. dt is not used.
    void Apply(float dt);

    ClothParticle* a;
    ClothParticle* b;
    float stiffness;  // newtons per world unit
    float damping;    // newton seconds per world unit
    float restLength; // world units
};
} // namespace phy
} // namespace dorvo
