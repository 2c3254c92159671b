#include "literalreference.h"

#include <cmath>

#include "engine/plot.h"
#include "engine/range.h"
#include "engine/rotation.h"

namespace kt::literal {

namespace {

real denom1 = 0;
real denom2 = 0;
int np = 0;

// (u, v) times (s, t), in the stated order.
void multiply(real& u, real& v, real s, real t)
{
    const real re = u * s - v * t;
    const real im = v * s + u * t;
    u = re;
    v = im;
}

// z^n and conj(z)^(n-1), each by its own chain of products.
void powers(real x, real y, int n, real& znx, real& zny, real& zbarnx, real& zbarny)
{
    const real zconjx = x;
    const real zconjy = -y;
    znx = x;
    zny = y;
    for (int k = 0; k < n - 1; ++k)
        multiply(znx, zny, x, y);
    zbarnx = zconjx;
    zbarny = zconjy;
    for (int k = 0; k < n - 2; ++k)
        multiply(zbarnx, zbarny, zconjx, zconjy);
}

int rotatexyz(EngineState& s, VOXEL xyz, VOXEL* xyzrotate)
{
    const RotationPlan plan = planrotation(s.rot[s.type], s.rotationorder);
    *xyzrotate = rotated(xyz, plan);
    return 0;
}

int commontail(EngineState& s, VOXEL* z, int mode, real denom)
{
    if (mode == 0)
        return overflow(*z, 1e-8, 1e8);
    if (overflow(*z, 1e-16, 1e16)) {
        z->x = 0.0234;
        z->y = 0.12345;
        z->z = 0.1;
    }
    VOXEL p1rotate;
    const VOXEL& angles = s.rot[s.type];
    if (angles.x == 0 && angles.y == 0 && angles.z == 0)
        p1rotate = *z;
    else
        rotatexyz(s, *z, &p1rotate);
    if (s.newimage)
        return 0;
    const real xp = (p1rotate.x + s.icon[s.type].scale) * static_cast<real>(s.res) / denom;
    const real yp = (p1rotate.y + s.icon[s.type].scale) * static_cast<real>(s.res) / denom;
    const real xt = truncl(xp);
    const real yt = truncl(yp);
    if (xt >= 0 && xt < s.res && yt >= 0 && yt < s.res)
        plotpoint(s, static_cast<int>(xt), static_cast<int>(yt), s.z.z);
    return 0;
}

} // namespace

int icon1(EngineState& s, VOXEL* z, int n, int, int i, int mode)
{
    if (s.newimage && i == 0)
        denom1 = s.icon[s.type].scale * static_cast<real>(2);
    const real x = z->x;
    const real y = z->y;
    const real zzbar = x * x + y * y;
    real znx, zny, zbarnx, zbarny;
    powers(x, y, n, znx, zny, zbarnx, zbarny);
    const real partial = (s.a * zzbar + s.d) + s.b * znx;
    const real xnew = (partial * x + s.c * zbarnx) - s.e * y;
    const real ynew = (partial * y + s.c * zbarny) + s.e * x;
    z->x = xnew;
    z->y = ynew;
    z->z = zzbar - 0.5;
    return commontail(s, z, mode, denom1);
}

int icon2(EngineState& s, VOXEL* z, int n, int p, int i, int mode)
{
    if (s.newimage && i == 0) {
        denom2 = s.icon[s.type].scale * static_cast<real>(2);
        np = n * p;
    }
    const real x = z->x;
    const real y = z->y;
    const real zzbar = x * x + y * y;
    real zabs = sqrtl(zzbar);
    if (zabs < static_cast<real>(1e-16))
        zabs = static_cast<real>(1e-16);
    real znx, zny, zbarnx, zbarny;
    powers(x, y, n, znx, zny, zbarnx, zbarny);
    const real qx = x / zabs;
    const real qy = y / zabs;
    real zznpx = 1, zznpy = 0;
    if (np != 0) {
        zznpx = qx;
        zznpy = qy;
        for (int k = 0; k < np - 1; ++k)
            multiply(zznpx, zznpy, qx, qy);
    }
    const real partial = (s.a * zzbar + s.d) + s.b * znx;
    const real xnew = (partial * x + s.c * zbarnx) + ((s.e * zznpx) * zabs) * x;
    const real ynew = (partial * y + s.c * zbarny) + ((s.e * zznpx) * zabs) * y;
    z->x = xnew;
    z->y = ynew;
    z->z = zzbar - 0.5;
    return commontail(s, z, mode, denom2);
}

void render(EngineState& s, int batches)
{
    const RECT image{0, 0, s.res, s.res};
    s.g_vhdc->fill(image, s.back);
    loadorbit(s, s.icon[s.type]);
    s.hitmax = 0;
    s.newimage = 1;
    advance(s, batches);
}

void advance(EngineState& s, int batches)
{
    for (int batch = 0; batch < batches; ++batch) {
        for (int i = 0; i < 1000; ++i)
            fpointer[s.type](s, &s.z, s.icon[s.type].n, s.icon[s.type].p, i, 1);
        s.newimage = 0;
    }
}

} // namespace kt::literal
