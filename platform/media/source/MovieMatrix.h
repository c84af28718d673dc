// The transform a movie is drawn through: a 3x3 affine matrix in the
// classic movie toolbox convention (row vectors: [x y 1] * M), limited in
// practice to what this program builds: identity, scalings, translations,
// quarter-turn rotations about (0,0) and flips.
//
//   x' = m[0][0]*x + m[1][0]*y + m[2][0]
//   y' = m[0][1]*x + m[1][1]*y + m[2][1]
//
// Every operation appends its transform after the ones already in the
// matrix, so the order of the calls is the order in which they act.
#pragma once

#include <cmath>

struct MovieRect {
    double left = 0, top = 0, right = 0, bottom = 0;

    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    static MovieRect Make(double left, double top, double right, double bottom) {
        return MovieRect{left, top, right, bottom};
    }
    static MovieRect OfSize(double width, double height) { return MovieRect{0, 0, width, height}; }
    friend bool operator==(const MovieRect&, const MovieRect&) = default;
};

struct MoviePoint {
    double x = 0, y = 0;
    friend bool operator==(const MoviePoint&, const MoviePoint&) = default;
};

// A matrix taken apart into the operations it is made of, in the order they
// act on a source point:
//   1. scale by (scaleX, scaleY) along the source's own axes (both > 0),
//   2. mirror left-right (x -> -x) when `mirrored`,
//   3. turn clockwise (on screen, y pointing down) by quarterTurns x 90
//      degrees about (0,0),
//   4. translate by (translateX, translateY).
// The eight (mirrored, quarterTurns) pairs are the eight orientations of a
// rectangle.
struct MatrixParts {
    bool valid = false;  // false when the matrix is not made of those steps
    double scaleX = 1, scaleY = 1;
    bool mirrored = false;
    int quarterTurns = 0;  // 0..3
    double translateX = 0, translateY = 0;

    // 0..7: quarterTurns + 4 when mirrored.
    int Orientation() const { return quarterTurns + (mirrored ? 4 : 0); }
    // Whether the source's x axis ends up vertical.
    bool SwapsAxes() const { return (quarterTurns & 1) != 0; }
};

class MovieMatrix {
public:
    MovieMatrix() { SetIdentity(); }

    static MovieMatrix Identity() { return MovieMatrix(); }
    // The matrix that maps `from` onto `to` by a scaling and a translation.
    static MovieMatrix RectMatrix(const MovieRect& from, const MovieRect& to);

    void SetIdentity();
    bool IsIdentity() const;

    MovieMatrix& Translate(double dx, double dy);
    MovieMatrix& Scale(double sx, double sy, double aboutX = 0, double aboutY = 0);
    // Clockwise on screen for positive degrees; multiples of 90 are exact.
    MovieMatrix& Rotate(double degrees, double aboutX = 0, double aboutY = 0);
    MovieMatrix& FlipHorizontal(double width);  // x -> width - x
    MovieMatrix& FlipVertical(double height);   // y -> height - y
    // This matrix followed by `after`.
    MovieMatrix& Concat(const MovieMatrix& after);
    static MovieMatrix Concat(const MovieMatrix& first, const MovieMatrix& then);

    // False when the matrix cannot be inverted.
    bool Invert(MovieMatrix& out) const;

    MoviePoint MapPoint(MoviePoint p) const;
    // The bounding box of the mapped corners.
    MovieRect MapRect(const MovieRect& r) const;

    MatrixParts Decompose() const;

    double At(int row, int column) const { return m[row][column]; }
    void Set(int row, int column, double value) { m[row][column] = value; }

    bool NearlyEquals(const MovieMatrix& other, double tolerance = 1e-9) const;

private:
    double m[3][3];
};
