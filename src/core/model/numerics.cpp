#include "model/numerics.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <optional>

// The routines keep the operation order of the classic single-precision algorithms
// (Golub-Reinsch SVD, Householder tridiagonalisation, implicit-shift QL): the figures the
// program shows depend on it. Where the classic code mixes in a double constant, the
// intermediate is double and the stored result float, as there.

namespace numerics {

namespace {

// Number of elements in lo..hi plus the one float of slack in front, or nothing when the
// bounds are inverted or the count does not fit what operator new[] can be asked for.
std::optional<std::size_t> slack_count(long lo, long hi, std::size_t elementSize) {
    long span = 0;
    if (__builtin_sub_overflow(hi, lo, &span) || __builtin_add_overflow(span, 2L, &span) ||
        span < 1)
        return std::nullopt;
    const auto count = static_cast<std::size_t>(span);
    if (count > static_cast<std::size_t>(PTRDIFF_MAX) / elementSize)
        return std::nullopt;
    return count;
}

// Rows times columns plus one float of slack, checked for overflow.
std::optional<std::size_t> block_count(long nrl, long nrh, long ncl, long nch) {
    const auto rows = slack_count(nrl, nrh, sizeof(float));
    const auto cols = slack_count(ncl, nch, sizeof(float));
    if (!rows || !cols)
        return std::nullopt;
    std::size_t cells = 0;
    if (__builtin_mul_overflow(*rows - 1, *cols - 1, &cells) ||
        __builtin_add_overflow(cells, std::size_t{1}, &cells) ||
        cells > static_cast<std::size_t>(PTRDIFF_MAX) / sizeof(float))
        return std::nullopt;
    return cells;
}

// Handle that addresses block[1] as element lo. For the lower bound 1 used throughout the
// program the handle is the block itself and never points outside it.
template <typename T> T* shifted(T* block, long lo) {
    return block + (1 - lo);
}

template <typename T> T* unshifted(T* handle, long lo) {
    return handle + (lo - 1);
}

template <typename T> T* allocate(std::optional<std::size_t> count) {
    return count ? new (std::nothrow) T[*count] : nullptr;
}

double sign(double a, double b) {
    return b >= 0.0 ? std::fabs(a) : -std::fabs(a);
}

float fmax_classic(float a, float b) {
    return a > b ? a : b;
}

// |x| is negligible against scale when adding it does not change scale in single precision.
bool negligible(float x, float scale) {
    const float sum = std::fabs(x) + scale;
    return sum == scale;
}

// Applies the plane rotation (c, s) to columns i and j of the rows 1..rows of a.
void rotate_columns(float** a, int rows, int i, int j, float c, float s) {
    for (int k = 1; k <= rows; k++) {
        const float y = a[k][i];
        const float z = a[k][j];
        a[k][i] = y * c + z * s;
        a[k][j] = z * c - y * s;
    }
}

// Householder reflection from the left on column i (rows i..m); returns the new diagonal
// element.
float reflect_column(float** a, int m, int n, int i) {
    if (i > m)
        return 0.0f;
    float scale = 0.0f;
    for (int k = i; k <= m; k++)
        scale += std::fabs(a[k][i]);
    if (scale == 0.0f)
        return 0.0f;
    float s = 0.0f;
    for (int k = i; k <= m; k++) {
        a[k][i] /= scale;
        s += a[k][i] * a[k][i];
    }
    float f = a[i][i];
    const float g = static_cast<float>(-sign(std::sqrt(s), f));
    const float h = f * g - s;
    a[i][i] = f - g;
    for (int j = i + 1; j <= n; j++) {
        s = 0.0f;
        for (int k = i; k <= m; k++)
            s += a[k][i] * a[k][j];
        f = s / h;
        for (int k = i; k <= m; k++)
            a[k][j] += f * a[k][i];
    }
    for (int k = i; k <= m; k++)
        a[k][i] *= scale;
    return scale * g;
}

// Householder reflection from the right on row i (columns i+1..n), using rv1[i+1..n] as
// work space; returns the super-diagonal element that belongs to column i+1.
float reflect_row(float** a, int m, int n, int i, float* rv1) {
    if (i > m || i == n)
        return 0.0f;
    const int l = i + 1;
    float scale = 0.0f;
    for (int k = l; k <= n; k++)
        scale += std::fabs(a[i][k]);
    if (scale == 0.0f)
        return 0.0f;
    float s = 0.0f;
    for (int k = l; k <= n; k++) {
        a[i][k] /= scale;
        s += a[i][k] * a[i][k];
    }
    const float f = a[i][l];
    const float g = static_cast<float>(-sign(std::sqrt(s), f));
    const float h = f * g - s;
    a[i][l] = f - g;
    for (int k = l; k <= n; k++)
        rv1[k] = a[i][k] / h;
    for (int j = l; j <= m; j++) {
        s = 0.0f;
        for (int k = l; k <= n; k++)
            s += a[j][k] * a[i][k];
        for (int k = l; k <= n; k++)
            a[j][k] += s * rv1[k];
    }
    for (int k = l; k <= n; k++)
        a[i][k] *= scale;
    return scale * g;
}

// Bidiagonal form: diagonal in w, super-diagonal in rv1[2..n] (rv1[1] = 0). Returns anorm.
float bidiagonalize(float** a, int m, int n, float* w, float* rv1) {
    float anorm = 0.0f;
    float carried = 0.0f;
    for (int i = 1; i <= n; i++) {
        rv1[i] = carried;
        w[i] = reflect_column(a, m, n, i);
        carried = reflect_row(a, m, n, i, rv1);
        anorm = fmax_classic(anorm, std::fabs(w[i]) + std::fabs(rv1[i]));
    }
    return anorm;
}

// Accumulates the right-hand transformations into v.
void accumulate_right(float** a, int n, const float* rv1, float** v) {
    for (int i = n; i >= 1; i--) {
        const int l = i + 1;
        if (i < n) {
            const float g = rv1[l];
            if (g != 0.0f) {
                for (int j = l; j <= n; j++)
                    v[j][i] = (a[i][j] / a[i][l]) / g;
                for (int j = l; j <= n; j++) {
                    float s = 0.0f;
                    for (int k = l; k <= n; k++)
                        s += a[i][k] * v[k][j];
                    for (int k = l; k <= n; k++)
                        v[k][j] += s * v[k][i];
                }
            }
            for (int j = l; j <= n; j++)
                v[i][j] = v[j][i] = 0.0f;
        }
        v[i][i] = 1.0f;
    }
}

// Accumulates the left-hand transformations into a, which becomes U.
void accumulate_left(float** a, int m, int n, const float* w) {
    for (int i = (m < n ? m : n); i >= 1; i--) {
        const int l = i + 1;
        float g = w[i];
        for (int j = l; j <= n; j++)
            a[i][j] = 0.0f;
        if (g != 0.0f) {
            g = static_cast<float>(1.0 / g);
            for (int j = l; j <= n; j++) {
                float s = 0.0f;
                for (int k = l; k <= m; k++)
                    s += a[k][i] * a[k][j];
                const float f = (s / a[i][i]) * g;
                for (int k = i; k <= m; k++)
                    a[k][j] += f * a[k][i];
            }
            for (int j = i; j <= m; j++)
                a[j][i] *= g;
        } else {
            for (int j = i; j <= m; j++)
                a[j][i] = 0.0f;
        }
        ++a[i][i];
    }
}

struct SvdState {
    float** a;
    int m;
    int n;
    float* w;
    float** v;
    float* rv1;
    float anorm;
};

// Index l of the block l..k that splits off; sets cancel when w[l-1] is negligible and
// rv1[l] must be zeroed first. rv1[1] is zero by construction, so the search stops at 1
// even when anorm is not a number.
int split_point(const SvdState& st, int k, bool& cancel) {
    for (int l = k; l >= 1; l--) {
        if (l == 1 || negligible(st.rv1[l], st.anorm)) {
            cancel = false;
            return l;
        }
        if (negligible(st.w[l - 1], st.anorm)) {
            cancel = true;
            return l;
        }
    }
    cancel = false;
    return 1;
}

// Zeroes rv1[l] by rotations when w[l-1] is negligible.
void cancel_superdiagonal(SvdState& st, int l, int k) {
    const int nm = l - 1;
    float c = 0.0f;
    float s = 1.0f;
    for (int i = l; i <= k; i++) {
        const float f = s * st.rv1[i];
        st.rv1[i] = c * st.rv1[i];
        if (negligible(f, st.anorm))
            break;
        const float g = st.w[i];
        float h = hypot_safe(f, g);
        st.w[i] = h;
        h = static_cast<float>(1.0 / h);
        c = g * h;
        s = -f * h;
        rotate_columns(st.a, st.m, nm, i, c, s);
    }
}

// One implicit-shift QR sweep over the block l..k.
void qr_sweep(SvdState& st, int l, int k) {
    float* w = st.w;
    float* rv1 = st.rv1;
    float z = w[k];
    float x = w[l];
    const int nm = k - 1;
    float y = w[nm];
    float g = rv1[nm];
    float h = rv1[k];
    float f = static_cast<float>(((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y));
    g = hypot_safe(f, 1.0f);
    f = static_cast<float>(((x - z) * (x + z) + h * ((y / (f + sign(g, f))) - h)) / x);
    float c = 1.0f;
    float s = 1.0f;
    for (int j = l; j <= nm; j++) {
        const int i = j + 1;
        g = rv1[i];
        y = w[i];
        h = s * g;
        g = c * g;
        z = hypot_safe(f, h);
        rv1[j] = z;
        c = f / z;
        s = h / z;
        f = x * c + g * s;
        g = g * c - x * s;
        h = y * s;
        y *= c;
        rotate_columns(st.v, st.n, j, i, c, s);
        z = hypot_safe(f, h);
        w[j] = z;
        if (z != 0.0f) {
            z = static_cast<float>(1.0 / z);
            c = f * z;
            s = h * z;
        }
        f = c * g + s * y;
        x = c * y - s * g;
        rotate_columns(st.a, st.m, j, i, c, s);
    }
    rv1[l] = 0.0f;
    rv1[k] = f;
    w[k] = x;
}

// Diagonalises the bidiagonal form, last singular value first.
void diagonalize(SvdState& st) {
    for (int k = st.n; k >= 1; k--) {
        for (int its = 1; its <= 30; its++) {
            bool cancel = false;
            const int l = split_point(st, k, cancel);
            if (cancel)
                cancel_superdiagonal(st, l, k);
            const float z = st.w[k];
            if (l == k) {
                if (z < 0.0f) {
                    st.w[k] = -z;
                    for (int j = 1; j <= st.n; j++)
                        st.v[j][k] = -st.v[j][k];
                }
                break;
            }
            if (its == 30)
                nrerror("no convergence in 30 svdcmp iterations");
            qr_sweep(st, l, k);
        }
    }
}

// Householder step of tridiag_reduce for row i: zeroes a[i][1..i-2], stores the
// sub-diagonal in e[i] and returns h (0 when no reflection was needed).
float tridiag_row(float** a, int i, float* e) {
    const int l = i - 1;
    float h = 0.0f;
    float scale = 0.0f;
    if (l <= 1) {
        e[i] = a[i][l];
        return h;
    }
    for (int k = 1; k <= l; k++)
        scale += std::fabs(a[i][k]);
    if (scale == 0.0f) {
        e[i] = a[i][l];
        return h;
    }
    for (int k = 1; k <= l; k++) {
        a[i][k] /= scale;
        h += a[i][k] * a[i][k];
    }
    float f = a[i][l];
    float g = f >= 0.0f ? -std::sqrt(h) : std::sqrt(h);
    e[i] = scale * g;
    h -= f * g;
    a[i][l] = f - g;
    f = 0.0f;
    for (int j = 1; j <= l; j++) {
        a[j][i] = a[i][j] / h;
        g = 0.0f;
        for (int k = 1; k <= j; k++)
            g += a[j][k] * a[i][k];
        for (int k = j + 1; k <= l; k++)
            g += a[k][j] * a[i][k];
        e[j] = g / h;
        f += e[j] * a[i][j];
    }
    const float hh = f / (h + h);
    for (int j = 1; j <= l; j++) {
        f = a[i][j];
        e[j] = g = e[j] - hh * f;
        for (int k = 1; k <= j; k++)
            a[j][k] -= (f * e[k] + g * a[i][k]);
    }
    return h;
}

// Builds the orthogonal reduction matrix in a from the stored reflections; d gets the
// diagonal.
void tridiag_accumulate(float** a, int n, float* d) {
    for (int i = 1; i <= n; i++) {
        const int l = i - 1;
        if (d[i] != 0.0f) {
            for (int j = 1; j <= l; j++) {
                float g = 0.0f;
                for (int k = 1; k <= l; k++)
                    g += a[i][k] * a[k][j];
                for (int k = 1; k <= l; k++)
                    a[k][j] -= g * a[k][i];
            }
        }
        d[i] = a[i][i];
        a[i][i] = 1.0f;
        for (int j = 1; j <= l; j++)
            a[j][i] = a[i][j] = 0.0f;
    }
}

// Smallest m >= l whose off-diagonal element is negligible (n when there is none).
int tqli_split(const float* d, const float* e, int n, int l) {
    int m = l;
    for (; m <= n - 1; m++) {
        const float dd = std::fabs(d[m]) + std::fabs(d[m + 1]);
        if (negligible(e[m], dd))
            break;
    }
    return m;
}

// One QL sweep with implicit shift over l..m. A vanishing rotation ends it early; the caller
// then searches for a split again.
void tqli_sweep(float* d, float* e, int n, float** z, int l, int m) {
    float g = static_cast<float>((d[l + 1] - d[l]) / (2.0 * e[l]));
    float r = hypot_safe(g, 1.0f);
    g = static_cast<float>(d[m] - d[l] + e[l] / (g + sign(r, g)));
    float s = 1.0f;
    float c = 1.0f;
    float p = 0.0f;
    for (int i = m - 1; i >= l; i--) {
        float f = s * e[i];
        const float b = c * e[i];
        e[i + 1] = (r = hypot_safe(f, g));
        if (r == 0.0f) {
            d[i + 1] -= p;
            e[m] = 0.0f;
            return;
        }
        s = f / r;
        c = g / r;
        g = d[i + 1] - p;
        r = static_cast<float>((d[i] - g) * s + 2.0 * c * b);
        d[i + 1] = g + (p = s * r);
        g = c * r - b;
        for (int k = 1; k <= n; k++) {
            f = z[k][i + 1];
            z[k][i + 1] = s * z[k][i] + c * f;
            z[k][i] = c * z[k][i] - s * f;
        }
    }
    d[l] -= p;
    e[l] = g;
    e[m] = 0.0f;
}

} // namespace

void nrerror(const char* message) {
    throw CNumericalError(message);
}

float* vector(long nl, long nh) {
    float* block = allocate<float>(slack_count(nl, nh, sizeof(float)));
    if (!block)
        nrerror("allocation failure in vector()");
    return shifted(block, nl);
}

float** matrix(long nrl, long nrh, long ncl, long nch) {
    // An empty row range still needs the slot m[nrl] that carries the data block.
    const long rowEnd = (nrh < nrl && nrh >= nrl - 1) ? nrl : nrh;
    float** handles = allocate<float*>(slack_count(nrl, rowEnd, sizeof(float*)));
    if (!handles)
        nrerror("allocation failure 1 in matrix()");
    float* block = allocate<float>(block_count(nrl, nrh, ncl, nch));
    if (!block) {
        delete[] handles;
        nrerror("allocation failure 2 in matrix()");
    }
    float** m = shifted(handles, nrl);
    m[nrl] = shifted(block, ncl);
    const long ncol = nch - ncl + 1;
    for (long i = nrl + 1; i <= nrh; i++)
        m[i] = m[i - 1] + ncol;
    return m;
}

void free_vector(float* v, long nl, long /*nh*/) {
    if (v)
        delete[] unshifted(v, nl);
}

void free_matrix(float** m, long nrl, long /*nrh*/, long ncl, long /*nch*/) {
    if (!m)
        return;
    delete[] unshifted(m[nrl], ncl);
    delete[] unshifted(m, nrl);
}

float hypot_safe(float a, float b) {
    const float absa = std::fabs(a);
    const float absb = std::fabs(b);
    if (absa > absb) {
        const float q = absb / absa;
        return static_cast<float>(absa * std::sqrt(1.0 + q * q));
    }
    if (absb == 0.0f)
        return 0.0f;
    const float q = absa / absb;
    return static_cast<float>(absb * std::sqrt(1.0 + q * q));
}

void svdcmp(float** a, int m, int n, float* w, float** v) {
    Vector rv1(1, n);
    SvdState st{a, m, n, w, v, rv1.get(), 0.0f};
    st.anorm = bidiagonalize(a, m, n, w, st.rv1);
    accumulate_right(a, n, st.rv1, v);
    accumulate_left(a, m, n, w);
    diagonalize(st);
}

void tridiag_reduce(float** a, int n, float* d, float* e) {
    for (int i = n; i >= 2; i--)
        d[i] = tridiag_row(a, i, e);
    d[1] = 0.0f;
    e[1] = 0.0f;
    tridiag_accumulate(a, n, d);
}

void tqli(float* d, float* e, int n, float** z) {
    for (int i = 2; i <= n; i++)
        e[i - 1] = e[i];
    e[n] = 0.0f;
    for (int l = 1; l <= n; l++) {
        int iter = 0;
        for (;;) {
            const int m = tqli_split(d, e, n, l);
            if (m == l)
                break;
            if (iter++ == 30)
                nrerror("Too many iterations in tqli");
            tqli_sweep(d, e, n, z, l, m);
        }
    }
}

void pseudo_inverse(float** a, int m, int n, float** p) {
    Matrix s(1, m, 1, n);
    for (int i = 1; i <= m; i++)
        for (int j = 1; j <= n; j++)
            s[i][j] = a[i][j];
    Vector w(1, n);
    Matrix v(1, n, 1, n);
    svdcmp(s.get(), m, n, w.get(), v.get());

    Matrix t(1, n, 1, m);
    for (int k = 1; k <= n; k++)
        for (int j = 1; j <= m; j++)
            t[k][j] = s[j][k];
    // Singular values that are zero in exact arithmetic come out of a single-precision
    // decomposition as rounding noise, a few float epsilons of the largest one times the size of
    // the matrix. They count as zero, so that a rank-deficient matrix gets its minimum-norm
    // answer instead of the inverse of its noise.
    float largest = 0.0f;
    for (int k = 1; k <= n; k++)
        largest = fmax_classic(largest, w[k]);
    const float threshold =
        largest * std::numeric_limits<float>::epsilon() * static_cast<float>(m > n ? m : n);
    for (int k = 1; k <= n; k++) {
        // Written so that a value that is not a number stays one.
        w[k] = w[k] <= threshold ? 0.0f : static_cast<float>(1.0 / w[k]);
        for (int j = 1; j <= m; j++)
            t[k][j] *= w[k];
    }
    for (int i = 1; i <= n; i++) {
        for (int j = 1; j <= m; j++) {
            float sum = 0.0f;
            for (int k = 1; k <= n; k++)
                sum += v[i][k] * t[k][j];
            p[i][j] = sum;
        }
    }
}

} // namespace numerics
