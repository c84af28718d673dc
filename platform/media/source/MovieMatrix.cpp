#include "platform/media/source/MovieMatrix.h"

#include <algorithm>
#include <cmath>

namespace {

// Sine and cosine that are exact for multiples of 90 degrees, so quarter
// turns leave no 1e-17 residue that would spoil the decomposition.
void SinCos(double degrees, double& s, double& c) {
    double turns = degrees / 90.0;
    double nearest = std::round(turns);
    if (std::fabs(turns - nearest) < 1e-12) {
        int q = int(std::fmod(std::fmod(nearest, 4.0) + 4.0, 4.0));
        static const double kSin[4] = {0, 1, 0, -1};
        static const double kCos[4] = {1, 0, -1, 0};
        s = kSin[q];
        c = kCos[q];
        return;
    }
    double r = degrees * M_PI / 180.0;
    s = std::sin(r);
    c = std::cos(r);
}

bool NearZero(double v) { return std::fabs(v) < 1e-9; }

}  // namespace

void MovieMatrix::SetIdentity() {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r][c] = r == c ? 1.0 : 0.0;
}

bool MovieMatrix::IsIdentity() const { return NearlyEquals(MovieMatrix()); }

MovieMatrix MovieMatrix::Concat(const MovieMatrix& first, const MovieMatrix& then) {
    MovieMatrix out;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            double sum = 0;
            for (int k = 0; k < 3; ++k) sum += first.m[r][k] * then.m[k][c];
            out.m[r][c] = sum;
        }
    return out;
}

MovieMatrix& MovieMatrix::Concat(const MovieMatrix& after) {
    *this = Concat(*this, after);
    return *this;
}

MovieMatrix& MovieMatrix::Translate(double dx, double dy) {
    MovieMatrix t;
    t.m[2][0] = dx;
    t.m[2][1] = dy;
    return Concat(t);
}

MovieMatrix& MovieMatrix::Scale(double sx, double sy, double aboutX, double aboutY) {
    Translate(-aboutX, -aboutY);
    MovieMatrix s;
    s.m[0][0] = sx;
    s.m[1][1] = sy;
    Concat(s);
    return Translate(aboutX, aboutY);
}

MovieMatrix& MovieMatrix::Rotate(double degrees, double aboutX, double aboutY) {
    double s, c;
    SinCos(degrees, s, c);
    Translate(-aboutX, -aboutY);
    // x' = x cos - y sin, y' = x sin + y cos: clockwise on a y-down screen.
    MovieMatrix r;
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    Concat(r);
    return Translate(aboutX, aboutY);
}

MovieMatrix& MovieMatrix::FlipHorizontal(double width) {
    MovieMatrix f;
    f.m[0][0] = -1;
    f.m[2][0] = width;
    return Concat(f);
}

MovieMatrix& MovieMatrix::FlipVertical(double height) {
    MovieMatrix f;
    f.m[1][1] = -1;
    f.m[2][1] = height;
    return Concat(f);
}

MovieMatrix MovieMatrix::RectMatrix(const MovieRect& from, const MovieRect& to) {
    MovieMatrix out;
    double sx = from.Width() != 0 ? to.Width() / from.Width() : 1.0;
    double sy = from.Height() != 0 ? to.Height() / from.Height() : 1.0;
    out.Translate(-from.left, -from.top);
    MovieMatrix s;
    s.m[0][0] = sx;
    s.m[1][1] = sy;
    out.Concat(s);
    out.Translate(to.left, to.top);
    return out;
}

bool MovieMatrix::Invert(MovieMatrix& out) const {
    const auto& a = m;
    double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                 a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                 a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    if (NearZero(det) || !std::isfinite(det)) return false;
    double inv = 1.0 / det;
    out.m[0][0] = (a[1][1] * a[2][2] - a[1][2] * a[2][1]) * inv;
    out.m[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) * inv;
    out.m[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) * inv;
    out.m[1][0] = (a[1][2] * a[2][0] - a[1][0] * a[2][2]) * inv;
    out.m[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) * inv;
    out.m[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) * inv;
    out.m[2][0] = (a[1][0] * a[2][1] - a[1][1] * a[2][0]) * inv;
    out.m[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) * inv;
    out.m[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) * inv;
    return true;
}

MoviePoint MovieMatrix::MapPoint(MoviePoint p) const {
    double x = p.x * m[0][0] + p.y * m[1][0] + m[2][0];
    double y = p.x * m[0][1] + p.y * m[1][1] + m[2][1];
    double w = p.x * m[0][2] + p.y * m[1][2] + m[2][2];
    if (!NearZero(w - 1.0) && !NearZero(w)) {
        x /= w;
        y /= w;
    }
    return MoviePoint{x, y};
}

MovieRect MovieMatrix::MapRect(const MovieRect& r) const {
    MoviePoint corners[4] = {MapPoint({r.left, r.top}), MapPoint({r.right, r.top}),
                             MapPoint({r.left, r.bottom}), MapPoint({r.right, r.bottom})};
    MovieRect out{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const auto& c : corners) {
        out.left = std::min(out.left, c.x);
        out.right = std::max(out.right, c.x);
        out.top = std::min(out.top, c.y);
        out.bottom = std::max(out.bottom, c.y);
    }
    return out;
}

MatrixParts MovieMatrix::Decompose() const {
    MatrixParts parts;
    if (!NearZero(m[0][2]) || !NearZero(m[1][2]) || NearZero(m[2][2])) return parts;
    double w = m[2][2];
    double a = m[0][0] / w, b = m[0][1] / w, c = m[1][0] / w, d = m[1][1] / w;
    parts.translateX = m[2][0] / w;
    parts.translateY = m[2][1] / w;
    // Source x goes to output (a, b), source y to (c, d). Exactly one of
    // each pair is non-zero for the matrices this program builds.
    int ux, uy, vx, vy;  // unit images of the source axes
    if (!NearZero(a) && NearZero(b) && NearZero(c) && !NearZero(d)) {
        parts.scaleX = std::fabs(a);
        parts.scaleY = std::fabs(d);
        ux = a > 0 ? 1 : -1; uy = 0;
        vx = 0; vy = d > 0 ? 1 : -1;
    } else if (NearZero(a) && !NearZero(b) && !NearZero(c) && NearZero(d)) {
        parts.scaleX = std::fabs(b);
        parts.scaleY = std::fabs(c);
        ux = 0; uy = b > 0 ? 1 : -1;
        vx = c > 0 ? 1 : -1; vy = 0;
    } else {
        return parts;
    }
    // Find the (mirror, turns) whose unit images match.
    for (int mirror = 0; mirror < 2; ++mirror) {
        for (int turns = 0; turns < 4; ++turns) {
            int x1 = mirror ? -1 : 1, y1 = 0;  // image of (1, 0)
            int x2 = 0, y2 = 1;                // image of (0, 1)
            for (int t = 0; t < turns; ++t) {
                // clockwise quarter turn on screen: (x, y) -> (-y, x)
                int nx1 = -y1, ny1 = x1, nx2 = -y2, ny2 = x2;
                x1 = nx1; y1 = ny1; x2 = nx2; y2 = ny2;
            }
            if (x1 == ux && y1 == uy && x2 == vx && y2 == vy) {
                parts.mirrored = mirror != 0;
                parts.quarterTurns = turns;
                parts.valid = true;
                return parts;
            }
        }
    }
    return parts;
}

bool MovieMatrix::NearlyEquals(const MovieMatrix& other, double tolerance) const {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (std::fabs(m[r][c] - other.m[r][c]) > tolerance) return false;
    return true;
}
